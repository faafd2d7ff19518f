#pragma once
// The OrFET control page: shows OrFETLogic; every choice reaches the chip at once, so OK and
// Close only close the page and Apply has nothing left to write.
#include "pages/orfet_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

class frmOrFET : public PageWindow {
    Q_OBJECT
public:
    frmOrFET();
    void Form_Load() override;
    void SetupFormAfterLoad() override;

    OrFETLogic logic;

private:
    ControlViews views;
};
