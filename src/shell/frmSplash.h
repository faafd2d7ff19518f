#pragma once
#include "link/startup.h"

#include <QWidget>

class QLabel;

// The start-up window with its progress bar and status line.
class frmSplash : public QWidget, public SplashView {
    Q_OBJECT
public:
    frmSplash();
    int ProgressDesignWidth() const override { return 5415; }
    void SetProgressWidth(int twips) override;
    void SetStatus(const QString& text) override;
    void ShowProgress() override;

    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblPlatform = nullptr;
    QLabel* lblProgInfo = nullptr;
    QLabel* lblProgress = nullptr;
};
