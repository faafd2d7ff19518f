#pragma once
#include <QWidget>

class QListWidget;
class QPushButton;
class QLabel;
class QKeyEvent;

// The device chooser: lists the chips found; OK opens the main window.
class frmMultiDevice : public QWidget {
    Q_OBJECT
public:
    frmMultiDevice();
    void cmdOK_Click();
    void cmdCancel_Click();

    QLabel* Label1 = nullptr;
    QListWidget* lstDevices = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

// What the chooser's OK runs once the main window is loaded.
class frmMain;
void StartMainSession(frmMain& main);
