#include "shell/startup_main.h"

#include "link/startup.h"
#include "shell/frmMultiDevice.h"
#include "shell/frmSplash.h"

#include <QApplication>

frmMultiDevice* Main() {
    // The start-up's questions must not end the run when they close: the run ends where it says so.
    QApplication::setQuitOnLastWindowClosed(false);
    {
        frmSplash splash;
        splash.show();
        splash.repaint();
        QApplication::processEvents();
        RunBoardStartup(splash);
    }
    auto* chooser = new frmMultiDevice;
    chooser->show();
    QApplication::setQuitOnLastWindowClosed(true);
    return chooser;
}
