#pragma once
// The share bus page: shows ShareLogic and forwards the user's choices and buttons.
#include "pages/share_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

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

private:
    ControlViews views;
};
