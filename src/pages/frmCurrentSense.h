#pragma once
// The current sensing page: shows CurrentSenseLogic on a sketch of the current-sense path; every
// choice reaches the chip at once; the live currents refresh from the master timer.
#include "pages/current_sense_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

class frmCurrentSense : public PageWindow {
    Q_OBJECT
public:
    frmCurrentSense();
    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void DisplayValues() override;
    void Form_Unload() override;

    CurrentSenseLogic logic;

private:
    ControlViews views;
    QLabel* lblCS1Val;
    QLabel* lblCS2Val;
};
