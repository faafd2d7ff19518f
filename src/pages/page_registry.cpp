#include "pages/page_registry.h"

#include "pages/frmCurrentSense.h"
#include "pages/frmGeneral.h"
#include "pages/frmLimits.h"
#include "pages/frmOrFET.h"
#include "pages/frmPWM.h"
#include "pages/frmShare.h"
#include "pages/frmVoltageSense.h"
#include "shell/frmMain.h"

void RegisterConfigurationPages() {
    RegisterPageFactory(PageKind::General, [] { return new frmGeneral; });
    RegisterPageFactory(PageKind::CurrentSense, [] { return new frmCurrentSense; });
    RegisterPageFactory(PageKind::VoltageSense, [] { return new frmVoltageSense; });
    RegisterPageFactory(PageKind::Share, [] { return new frmShare; });
    RegisterPageFactory(PageKind::OrFET, [] { return new frmOrFET; });
    RegisterPageFactory(PageKind::Limits, [] { return new frmLimits; });
    RegisterPageFactory(PageKind::PWM, [] { return new frmPWM; });
}
