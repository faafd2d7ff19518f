#pragma once
// The "Save/Recall Settings" window: a chip's registers and the filter-design inputs in a "*.sav" file.
#include "shell/page_window.h"

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

class frmSave : public PageWindow {
    Q_OBJECT
public:
    frmSave();
    void Form_Load() override;

    void cmdsave_Click();
    void cmdRecall_Click();
    void cmdClose_Click();

    QGroupBox* Frame2 = nullptr;
    QLabel* Label1 = nullptr;
    QComboBox* cmbDevAddr = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtComment = nullptr;
    QPushButton* cmdsave = nullptr;
    QPushButton* cmdRecall = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    int ChosenDevice() const;
};
