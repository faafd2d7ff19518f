// Opens every window of the program offscreen in simulation mode, as a user would through the
// main window, and writes one PNG per window and tab into the folder given (default: snapshots).
#include "app/wiring.h"
#include "core/run_state.h"
#include "link/platform.h"
#include "link/startup.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"
#include "shell/frmSplash.h"
#include "shell/layout_font.h"
#include "shell/program_icon.h"
#include "shell/qt_prompts.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTabWidget>
#include <QTemporaryFile>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Every question is answered at once, so nothing waits for a user.
class AnsweringPrompts : public Prompts {
public:
    MsgResult MsgBox(const QString&, MsgButtons buttons, MsgIcon, const QString&) override {
        return buttons == MsgButtons::OK || buttons == MsgButtons::OKCancel ? MsgResult::OK : MsgResult::Yes;
    }
};

QDir out;
int written = 0;
int failed = 0;

void Save(QWidget* w, const QString& name) {
    QApplication::processEvents();
    const QString path = out.filePath(name + QStringLiteral(".png"));
    if (w->grab().save(path)) {
        ++written;
        std::printf("%s\n", qPrintable(path));
    } else {
        std::fprintf(stderr, "could not write %s\n", qPrintable(path));
        ++failed;
    }
}

// Lets the master timer run, so live values show.
void RunFor(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

QWidget* Outer(PageWindow* page) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(page->parentWidget())) return sub;
    return page;
}

// One picture per tab when the window has tabs, else one of the window.
void SaveWindow(PageWindow* page, const QString& name) {
    if (!page) {
        std::fprintf(stderr, "%s did not open\n", qPrintable(name));
        ++failed;
        return;
    }
    const QList<QTabWidget*> tabs = page->findChildren<QTabWidget*>();
    if (tabs.isEmpty()) {
        Save(Outer(page), name);
        return;
    }
    QTabWidget* t = tabs.first();
    for (int i = 0; i < t->count(); ++i) {
        t->setCurrentIndex(i);
        RunFor(150);
        QString tab = t->tabText(i).toLower().remove(u'&');
        tab.replace(QRegularExpression(QStringLiteral("[^a-z0-9]+")), QStringLiteral("_"));
        Save(Outer(page), QStringLiteral("%1_tab%2_%3").arg(name).arg(i + 1).arg(tab));
    }
}

// A roomy offscreen screen of 96 dpi (unless another platform is asked for), so that twips map to pixels as on the designer's machine.
// A larger font makes larger windows: the screen grows with it.
void UseOffscreenScreen(QTemporaryFile& config, double points) {
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (!platform.isEmpty() && platform != "offscreen") return;
    if (!config.open()) return;
    const double grow = std::max(1.0, points / 9);
    config.write(QStringLiteral(R"({"screens": [{"name": "snapshots", "x": 0, "y": 0, "width": %1, "height": %2,
                     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(std::lround(1600 * grow))
                     .arg(std::lround(1000 * grow))
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(config.fileName()));
}

}  // namespace

int main(int argc, char** argv) {
    QTemporaryFile screenConfig;
    const double points = argc > 2 ? std::atof(argv[2]) : 0;
    UseOffscreenScreen(screenConfig, points);
    QApplication app(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    QApplication::setWindowIcon(ProgramIcon());

    out = QDir(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("snapshots"));
    // The desktop font to picture the windows at, in points (the toolkit's default without one).
    if (argc > 2) {
        bool ok = false;
        QString::fromLocal8Bit(argv[2]).toDouble(&ok);
        if (!ok || !(points >= 4 && points <= 72)) {
            std::fprintf(stderr, "font size must be 4 to 72 points, not %s\n", argv[2]);
            return 1;
        }
        QFont f = QApplication::font();
        f.setPointSizeF(points);
        QApplication::setFont(f);
    }
    FollowApplicationFont();
    if (!out.mkpath(QStringLiteral("."))) {
        std::fprintf(stderr, "cannot make %s\n", qPrintable(out.path()));
        return 1;
    }

    // No board: the start-up's offer of simulation mode, answered Yes.
    AnsweringPrompts prompts;
    WirePlatform(QCoreApplication::applicationDirPath(), nullptr, &prompts);
    QApplication::setQuitOnLastWindowClosed(false);

    {
        frmSplash splash;
        splash.show();
        SimulationSetup();
        Shared().Devices[0].Name = Shared().Devices[1].Name = QStringLiteral("ZVC7140");
        splash.ShowProgress();
        splash.SetProgressWidth(54 * 76);
        splash.SetStatus(QStringLiteral("Searching for ZVC7140 on USB..."));
        Save(&splash, QStringLiteral("splash"));
    }
    {
        std::unique_ptr<QMessageBox> box =
            MakeMessageBox(QStringLiteral("The ZVC7140 evaluation board has not been found.\r\nContinue in simulation mode?"),
                           MsgButtons::YesNo, MsgIcon::None, kAppTitle, nullptr);
        box->show();
        Save(box.get(), QStringLiteral("message_box"));
    }

    auto* chooser = new frmMultiDevice;
    chooser->show();
    Save(chooser, QStringLiteral("chooser"));
    chooser->cmdOK->click();
    frmMain* main = MainForm();
    if (!main) {
        std::fprintf(stderr, "the main window did not open\n");
        return 1;
    }
    // The monitor records from its opening on: open it first, picture it last.
    QPointer<PageWindow> spy = main->OpenTool(ToolKind::Spy);
    if (spy) {
        for (const char* name : {"chkReads", "chkWrites"})
            if (auto* box = spy->findChild<QAbstractButton*>(QString::fromLatin1(name))) box->click();
    }
    RunFor(1200);
    PageWindow* device = main->Form(PageKind::Device, 0);
    if (device) main->MdiArea()->setActiveSubWindow(qobject_cast<QMdiSubWindow*>(device->parentWidget()));
    Save(main, QStringLiteral("main_window"));
    SaveWindow(device, QStringLiteral("block_diagram"));

    struct Page {
        PageKind kind;
        const char* name;
    };
    const Page pages[] = {{PageKind::PWM, "pwm"},
                          {PageKind::Limits, "readings"},
                          {PageKind::Share, "share"},
                          {PageKind::CurrentSense, "current_sense"},
                          {PageKind::VoltageSense, "voltage_sense"},
                          {PageKind::General, "general"},
                          {PageKind::OrFET, "orfet"},
                          {PageKind::DigFilter, "filter"}};
    for (const Page& pg : pages) {
        QPointer<PageWindow> page = main->OpenDevicePage(pg.kind, 0);
        RunFor(700);
        SaveWindow(page, QString::fromLatin1(pg.name));
        if (page) page->Unload();
        QApplication::processEvents();
    }
    struct Tool {
        ToolKind kind;
        const char* name;
    };
    for (const Tool& t : {Tool{ToolKind::RegMap, "register_map"}, Tool{ToolKind::Save, "save_recall"}}) {
        QPointer<PageWindow> w = main->OpenTool(t.kind, true);
        RunFor(700);
        SaveWindow(w, QString::fromLatin1(t.name));
        if (w) w->Unload();
        QApplication::processEvents();
    }
    SaveWindow(spy, QStringLiteral("monitor"));

    std::printf("%d pictures in %s\n", written, qPrintable(QDir::cleanPath(out.absolutePath())));
    std::fflush(nullptr);
    // Ending here skips the unload handling of the windows still open, as Exit does.
    std::_Exit(failed == 0 && written > 0 ? 0 : 1);
}
