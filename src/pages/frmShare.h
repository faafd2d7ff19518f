#pragma once
// The share bus page: shows ShareLogic and forwards the user's choices and buttons.
#include "pages/share_logic.h"
#include "shell/page_window.h"

class QCheckBox;
class QComboBox;
class QPushButton;

class frmShare : public PageWindow {
    Q_OBJECT
public:
    frmShare();
    void Form_Load() override;
    void SetupFormAfterLoad() override;

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    ShareLogic logic;
    QComboBox *cmbOffset, *cmbSlope, *cmbBandwidth, *cmbCapture;
    QCheckBox* chkEnableShare;
    QPushButton *cmdOK, *cmdApply, *cmdCancel;

private:
    void ShowState();
};
