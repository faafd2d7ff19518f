#pragma once
// The voltage sensing page: shows VoltageSenseLogic; the output voltage setting and the trims reach
// the chip at once, the limits on Apply or OK; the live voltages refresh from the master timer.
#include "pages/voltage_sense_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

class frmVoltageSense : public PageWindow {
    Q_OBJECT
public:
    frmVoltageSense();
    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void DisplayValues() override;
    void Form_Unload() override;

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdClose_Click();

    VoltageSenseLogic logic;

private:
    ControlViews views;
    QLabel *lblVS1Val, *lblVS2Val, *lblVS3Val, *lblOutputVal;
};
