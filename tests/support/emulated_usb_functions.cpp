// The emulated board built as the board library, for running the real program end to end.
// Configured by the environment:
//   ZVC_EMU_CHIPS     chip addresses, such as "0x48,0x4A"
//   ZVC_EMU_FIRMWARE  result of the firmware load (default 0)
//   ZVC_EMU_LOG       file that gets one line per request
//   ZVC_EMU_REPORT    when set, the library also plays the user: it answers questions with
//                     ZVC_EMU_ANSWER (Yes or No), presses OK in the device chooser, writes what the
//                     main window shows to this file and ends the run.
//   ZVC_EMU_VARY      when 1, the reading registers move on at every read, as a live supply's do.
//   ZVC_EMU_DRIVE     when set (without ZVC_EMU_REPORT), the library plays the user up to the main
//                     window as above and then takes these steps, separated by commas, and leaves
//                     the program running: "menu:NAME" chooses every item of a menu from top to
//                     bottom, an action's object name chooses that item, "click:NAME" clicks a
//                     button, "tab:TEXT" brings the tab of that text of the window in front forward.
//                     It then writes "ready" to the file ZVC_EMU_READY, when set.
#include "emulated_board.h"

#include "link/usb_functions.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMenu>
#include <QMessageBox>
#include <QTabWidget>
#include <QTextStream>
#include <QTimer>
#include <QToolBar>

namespace {

EmulatedBoard& Board() {
    static EmulatedBoard board = [] {
        EmulatedBoard b;
        for (const QString& a : qEnvironmentVariable("ZVC_EMU_CHIPS").split(u',', Qt::SkipEmptyParts))
            b.AddChip(a.trimmed().toInt(nullptr, 0));
        if (qEnvironmentVariableIsSet("ZVC_EMU_FIRMWARE"))
            b.FirmwareResult = static_cast<int16_t>(qEnvironmentVariableIntValue("ZVC_EMU_FIRMWARE"));
        b.VaryReadings = qEnvironmentVariableIntValue("ZVC_EMU_VARY") == 1;
        b.KeepLog = false;  // nothing here reads it, and a run of hours would grow it without end
        return b;
    }();
    return board;
}

void Append(const QString& file, const QString& line) {
    if (file.isEmpty()) return;
    QFile f(file);
    if (f.open(QIODevice::Append | QIODevice::Text)) QTextStream(&f) << line << '\n';
}

void Report(const QString& line) { Append(qEnvironmentVariable("ZVC_EMU_REPORT"), line); }

QTimer* driver = nullptr;

// The steps of ZVC_EMU_DRIVE in the main window.
void TakeSteps(QMainWindow* main, QMdiArea* mdi) {
    for (const QString& step : qEnvironmentVariable("ZVC_EMU_DRIVE").split(u',', Qt::SkipEmptyParts)) {
        const QString arg = step.section(u':', 1);
        if (step.startsWith(QLatin1String("menu:"))) {
            if (auto* menu = main->findChild<QMenu*>(arg))
                for (QAction* a : menu->actions())
                    if (a->isEnabled() && !a->isSeparator()) a->trigger();
        } else if (step.startsWith(QLatin1String("click:"))) {
            if (auto* b = main->findChild<QAbstractButton*>(arg)) b->click();
        } else if (step.startsWith(QLatin1String("tab:"))) {
            QMdiSubWindow* front = mdi->activeSubWindow();
            if (auto* tabs = front ? front->findChild<QTabWidget*>() : nullptr)
                for (int i = 0; i < tabs->count(); ++i)
                    if (tabs->tabText(i) == arg) tabs->setCurrentIndex(i);
        } else if (auto* a = main->findChild<QAction*>(step)) {
            a->trigger();
        }
    }
    Append(qEnvironmentVariable("ZVC_EMU_READY"), QStringLiteral("ready"));
}

void DriveOnce() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible()) continue;
        if (auto* box = qobject_cast<QMessageBox*>(w)) {
            Report(QStringLiteral("question=") + box->text().replace(QStringLiteral("\r\n"), QStringLiteral("|")));
            const bool yes = qEnvironmentVariable("ZVC_EMU_ANSWER", QStringLiteral("Yes")) == QLatin1String("Yes");
            if (QAbstractButton* b = box->button(yes ? QMessageBox::Yes : QMessageBox::No))
                b->click();
            else if (QAbstractButton* ok = box->button(QMessageBox::Ok))
                ok->click();
            return;
        }
        if (w->objectName() == QLatin1String("frmMultiDevice")) {
            Report(QStringLiteral("chooser=") + w->windowTitle());
            if (auto* list = w->findChild<QListWidget*>(QStringLiteral("lstDevices")))
                for (int i = 0; i < list->count(); ++i) Report(QStringLiteral("device=") + list->item(i)->text());
            if (auto* ok = w->findChild<QAbstractButton*>(QStringLiteral("cmdOK"))) ok->click();
            return;
        }
        if (auto* main = qobject_cast<QMainWindow*>(w)) {
            auto* mdi = main->findChild<QMdiArea*>();
            if (!mdi || mdi->subWindowList().isEmpty()) return;
            if (qEnvironmentVariable("ZVC_EMU_REPORT").isEmpty()) {
                // The steps are taken outside this handler, so that the driver goes on answering
                // the boxes they show (a timer does not fire again inside its own handler); once
                // they are done the run goes on undisturbed.
                static bool stepping = false;
                if (stepping) continue;
                stepping = true;
                QMetaObject::invokeMethod(
                    qApp,
                    [main, mdi] {
                        TakeSteps(main, mdi);
                        driver->stop();
                    },
                    Qt::QueuedConnection);
                return;
            }
            Report(QStringLiteral("main=") + main->windowTitle());
            Report(QStringLiteral("maximized=") + QString::number(main->isMaximized() ? 1 : 0));
            for (QAction* a : main->menuBar()->actions())
                Report(QStringLiteral("menu=%1:%2").arg(a->text()).arg(a->isEnabled() ? 1 : 0));
            for (QMdiSubWindow* s : mdi->subWindowList()) Report(QStringLiteral("child=") + s->windowTitle());
            Report(QStringLiteral("done=1"));
            QApplication::exit(0);
            return;
        }
    }
}

void StartDriving() {
    if ((qEnvironmentVariable("ZVC_EMU_REPORT").isEmpty() && !qEnvironmentVariableIsSet("ZVC_EMU_DRIVE")) || !qApp)
        return;
    driver = new QTimer(qApp);
    QObject::connect(driver, &QTimer::timeout, DriveOnce);
    driver->start(50);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int16_t LoadFirmWare(uint8_t* path) {
    Append(qEnvironmentVariable("ZVC_EMU_LOG"),
           QStringLiteral("firmware %1").arg(QString::fromLocal8Bit(reinterpret_cast<const char*>(path))));
    StartDriving();
    return Board().LoadFirmWare(path);
}

__attribute__((visibility("default"))) int16_t VendorIORequest(int16_t request, int32_t value, int32_t index,
                                                               int16_t direction, int16_t length, uint8_t* buffer) {
    const int16_t r = Board().VendorIORequest(request, value, index, direction, length, buffer);
    // Looked up once: a watching run makes hundreds of requests a second.
    static const QString logFile = qEnvironmentVariable("ZVC_EMU_LOG");
    if (logFile.isEmpty()) return r;
    Append(logFile, QStringLiteral("request %1 %2 %3 %4 %5 -> %6 %7")
                                                    .arg(request, 0, 16)
                                                    .arg(value, 0, 16)
                                                    .arg(index, 0, 16)
                                                    .arg(direction)
                                                    .arg(length)
                                                    .arg(r)
                                                    .arg(buffer ? buffer[0] : 0, 0, 16));
    return r;
}
}
