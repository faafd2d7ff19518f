// The whole program's event loop offscreen, as a user leaves it watching a supply: the real start-up,
// chooser, main window and pages against the emulated board with two chips whose readings change at
// every poll. For each state it prints the process's CPU time over wall time, as % of one core and as
// a multiple of the floor: an empty event loop woken by a 50 ms timer. The floor is measured first on
// its own, and then again in a second process of this program over the same seconds as each state, so
// that what else the machine does at the time weighs on both alike.
//
//   QT_QPA_PLATFORM=offscreen build/bench/bench_whole_run [--seconds=20] [--settle=2] [--states=abcde]
//                                                         [--pictures=DIR]  (a PNG of each state)
// With --states= it measures the floor alone.
//
// Exits 0 whether or not the goals are met; the table says which are.
#include "app/wiring.h"
#include "core/run_state.h"
#include "link/platform.h"
#include "shell/frmMain.h"
#include "shell/frmMultiDevice.h"
#include "shell/layout_font.h"
#include "shell/startup_main.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QSocketNotifier>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "emulated_board.h"
#include "scripted_prompts.h"

namespace {

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// Lets the event loop run for the given time.
void RunFor(double seconds) {
    QEventLoop loop;
    QTimer::singleShot(static_cast<int>(seconds * 1000), &loop, &QEventLoop::quit);
    loop.exec();
}

// The event loop's CPU time over its wall time, % of one core.
double CpuPercent(double seconds) {
    const auto wall0 = std::chrono::steady_clock::now();
    const double cpu0 = ProcessCpuSeconds();
    RunFor(seconds);
    const double cpu = ProcessCpuSeconds() - cpu0;
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
    return 100.0 * cpu / wall;
}

struct State {
    char key;
    const char* what;
    double goal;  // multiple of the floor
};
const State kStates[] = {
    {'a', "main window and the first block diagram", 1.5},
    {'b', "every page of both chips, register map, monitor showing reads and writes", 3},
    {'c', "one readings page, \"Readings and Limits\" in front", 6},
    {'d', "the same, \"Graphs\" in front", 6},
    {'e', "the same, \"Flags\" in front", 2},
};

void Trigger(QMenu* menu) {
    for (QAction* item : menu->actions())
        if (item->isEnabled() && !item->isSeparator()) item->trigger();
}

void Click(QWidget* window, const char* name) {
    if (auto* b = window->findChild<QAbstractButton*>(QString::fromLatin1(name))) b->click();
}

// Closes every child window but the first block diagram.
void CloseAllButHome(frmMain* main) {
    PageWindow* home = main->Form(PageKind::Device, 0);
    for (QMdiSubWindow* sub : main->MdiArea()->subWindowList())
        if (sub->widget() != home) sub->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void ShowTab(PageWindow* page, const QString& text) {
    auto* tabs = page ? page->findChild<QTabWidget*>() : nullptr;
    if (!tabs) return;
    for (int i = 0; i < tabs->count(); ++i)
        if (tabs->tabText(i) == text) tabs->setCurrentIndex(i);
}

// Puts the program in the state: from (a) on, each state is reached from the one before it.
bool Enter(char key, frmMain* main) {
    switch (key) {
    case 'a': CloseAllButHome(main); return main->Form(PageKind::Device, 0) != nullptr;
    case 'b': {
        CloseAllButHome(main);
        Trigger(main->mnuDevice[0]);
        Trigger(main->mnuDevice[1]);
        PageWindow* regmap = main->OpenTool(ToolKind::RegMap, true);
        if (regmap) Click(regmap, "chkContRead");
        PageWindow* spy = main->OpenTool(ToolKind::Spy, true);
        if (spy) {
            Click(spy, "chkReads");
            Click(spy, "chkWrites");
        }
        return regmap && spy && main->Form(PageKind::OrFET, 1);
    }
    case 'c':
    case 'd':
    case 'e': {
        if (!main->Form(PageKind::Limits, 0) || main->MdiArea()->subWindowList().size() > 2) {
            CloseAllButHome(main);
            main->OpenDevicePage(PageKind::Limits, 0);
        }
        PageWindow* page = main->Form(PageKind::Limits, 0);
        ShowTab(page, key == 'c' ? QStringLiteral("Readings and Limits")
                                 : key == 'd' ? QStringLiteral("Graphs") : QStringLiteral("Flags"));
        return page != nullptr;
    }
    }
    return false;
}

// The floor on its own: an event loop woken every 50 ms, nothing else.
class Wakeups {
public:
    Wakeups() {
        timer_.setInterval(50);
        QObject::connect(&timer_, &QTimer::timeout, [] {});
        timer_.start();
    }

private:
    QTimer timer_;
};

// The floor process: measures itself between an 's' and an 'e' on its input and prints the result;
// the end of its input ends it.
int FloorProcess(int argc, char** argv) {
    QApplication app(argc, argv);
    Wakeups wakeups;
    QSocketNotifier commands(0, QSocketNotifier::Read);
    double cpu0 = 0;
    auto wall0 = std::chrono::steady_clock::now();
    QObject::connect(&commands, &QSocketNotifier::activated, [&] {
        char buffer[16];
        const ssize_t n = read(0, buffer, sizeof buffer);
        if (n <= 0) QCoreApplication::quit();
        for (ssize_t i = 0; i < n; ++i) {
            if (buffer[i] == 's') {
                cpu0 = ProcessCpuSeconds();
                wall0 = std::chrono::steady_clock::now();
            } else if (buffer[i] == 'e') {
                const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
                std::printf("%.6f\n", 100.0 * (ProcessCpuSeconds() - cpu0) / wall);
                std::fflush(stdout);
            }
        }
    });
    return QApplication::exec();
}

// The floor process, started with plain pipes that the event loop here does not watch, so that it
// adds nothing to what this program's loop does.
class FloorRun {
public:
    bool Start(const char* program) {
        int in[2], out[2];
        if (pipe(in) != 0 || pipe(out) != 0) return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], 0);
        posix_spawn_file_actions_adddup2(&actions, out[1], 1);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        for (int fd : {in[0], in[1], out[0], out[1]}) posix_spawn_file_actions_addclose(&actions, fd);
        char* args[] = {const_cast<char*>(program), const_cast<char*>("--floor-process"), nullptr};
        const bool started = posix_spawn(&pid_, program, &actions, nullptr, args, environ) == 0;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        commands_ = in[1];
        results_ = fdopen(out[0], "r");
        return started && results_;
    }
    void Begin() { Send('s'); }
    double End() {
        Send('e');
        char line[64];
        return std::fgets(line, sizeof line, results_) ? std::atof(line) : 0;
    }
    ~FloorRun() {
        if (commands_ >= 0) close(commands_);
        if (results_) std::fclose(results_);
        if (pid_ > 0) waitpid(pid_, nullptr, 0);
    }

private:
    void Send(char c) {
        if (write(commands_, &c, 1) != 1) std::fprintf(stderr, "the floor process is gone\n");
    }
    pid_t pid_ = 0;
    int commands_ = -1;
    FILE* results_ = nullptr;
};

// This program's CPU over a time, and the floor process's over the same time.
struct Reading {
    double cpu = 0;
    double floor = 0;
};
Reading MeasureWithFloor(FloorRun& floor, double seconds) {
    floor.Begin();
    Reading r;
    r.cpu = CpuPercent(seconds);
    r.floor = floor.End();
    return r;
}

double Option(int argc, char** argv, const char* name, double fallback) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) return std::atof(argv[i] + prefix.size());
    return fallback;
}

std::string TextOption(int argc, char** argv, const char* name, const char* fallback) {
    const std::string prefix = std::string("--") + name + "=";
    for (int i = 1; i < argc; ++i)
        if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0) return argv[i] + prefix.size();
    return fallback;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::strcmp(argv[1], "--floor-process") == 0) return FloorProcess(argc, argv);
    const double seconds = Option(argc, argv, "seconds", 20);
    const double settle = Option(argc, argv, "settle", 2);
    const std::string states = TextOption(argc, argv, "states", "abcde");
    const QString pictures = QString::fromStdString(TextOption(argc, argv, "pictures", ""));

    // A desktop-sized offscreen screen, so that the maximised main window holds the pages as on a desk.
    QTemporaryFile screen;
    if (qgetenv("QT_QPA_PLATFORM").isEmpty() || qgetenv("QT_QPA_PLATFORM") == "offscreen") {
        if (screen.open()) {
            screen.write(R"({"screens": [{"name": "bench", "x": 0, "y": 0, "width": 1600, "height": 1000,
                             "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
            screen.close();
            qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + QFile::encodeName(screen.fileName()));
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(kAppTitle);
    FollowApplicationFont();

    EmulatedBoard board;
    board.VaryReadings = true;
    board.KeepLog = false;
    board.AddChip(0x48);
    board.AddChip(0x4A);
    ScriptedPrompts prompts;
    WirePlatform(QCoreApplication::applicationDirPath(), &board, &prompts);

    FloorRun floor;
    if (!floor.Start(QFile::encodeName(QCoreApplication::applicationFilePath()).constData())) {
        std::fprintf(stderr, "the floor process did not start\n");
        return 1;
    }
    RunFor(1);

    std::printf("%.0f s a state, %.0f s to settle first\n", seconds, settle);
    std::printf("%-76s %8s %8s %8s %6s\n", "state", "% core", "floor %", "x floor", "goal");
    Reading alone;
    {
        Wakeups wakeups;
        alone = MeasureWithFloor(floor, seconds);
    }
    std::printf("%-76s %8.3f %8.3f %8.2f\n", "floor: empty event loop woken by a 50 ms timer", alone.cpu, alone.floor,
                alone.floor > 0 ? alone.cpu / alone.floor : 0);
    std::fflush(stdout);
    if (states.empty()) return 0;

    // The real start-up against the board: splash, search, chooser; OK opens the main window.
    frmMultiDevice* chooser = Main();
    chooser->cmdOK->click();
    frmMain* main = MainForm();
    if (!main) {
        std::fprintf(stderr, "the main window did not open\n");
        return 1;
    }
    int failed = 0;
    for (const State& s : kStates) {
        if (states.find(s.key) == std::string::npos) continue;
        if (!Enter(s.key, main)) {
            std::fprintf(stderr, "state %c could not be reached\n", s.key);
            ++failed;
            continue;
        }
        RunFor(settle);
        if (!pictures.isEmpty()) main->grab().save(pictures + QStringLiteral("/state_%1.png").arg(QChar::fromLatin1(s.key)));
        const Reading r = MeasureWithFloor(floor, seconds);
        const double times = r.floor > 0 ? r.cpu / r.floor : 0;
        std::printf("(%c) %-72s %8.3f %8.3f %8.2f %5.1fx %s\n", s.key, s.what, r.cpu, r.floor, times, s.goal,
                    times <= s.goal ? "met" : "NOT MET");
        std::fflush(stdout);
    }
    std::fflush(nullptr);
    // Ending here skips the windows' unload handling, as Exit does.
    std::_Exit(failed == 0 ? 0 : 1);
}
