#pragma once
// The main window: per-device menus, common tools, the page-opening protocol and the master timer.
#include "registers/master_timer.h"
#include "shell/page_window.h"

#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QTimer>
#include <array>
#include <functional>

class QMdiArea;
class QMdiSubWindow;
class QMenu;
class QToolBar;
class QAction;
class QLabel;

enum class PageKind { Device, General, PWM, DigFilter, Limits, CurrentSense, VoltageSense, Share, OrFET, Count };
enum class ToolKind { Save, Spy, RegMap, Count };

using WindowFactory = std::function<PageWindow*()>;
// Pages and tools plug in here; a kind with no factory opens nothing.
void RegisterPageFactory(PageKind kind, WindowFactory factory);
void RegisterToolFactory(ToolKind kind, WindowFactory factory);

// The caption title a menu item gives its page, ending in " (0x".
QString PageTitle(PageKind kind);

class frmMain : public QMainWindow, public MasterTimerTargets {
    Q_OBJECT
public:
    frmMain();
    ~frmMain() override;

    void MDIForm_Load();
    void StartMasterTimer() { tmrMaster.start(); }
    void StopMasterTimer() { tmrMaster.stop(); }
    bool MasterTimerRunning() const { return tmrMaster.isActive(); }
    void tmrMaster_Timer();

    // The page-opening protocol: load on first use, caption, set up and show (the block diagram is
    // shown before its set-up). Reopening re-captions, re-reads and brings the page forward.
    // Returns null when the kind is not available or the page closed itself during set-up.
    PageWindow* OpenDevicePage(PageKind kind, int index, const QString& title, int address);
    PageWindow* OpenDevicePage(PageKind kind, int index);  // as the menu item of the device does
    PageWindow* OpenTool(ToolKind kind, bool bringToFront = false);

    PageWindow* Form(PageKind kind, int index) const;
    PageWindow* Tool(ToolKind kind) const;
    QMdiArea* MdiArea() const { return mdi; }

    // The date and time panels of the status bar, from the program's local clock (every second).
    void RefreshStatusClock();

    void DisableSecondDeviceUI();
    void tbToolBar_ButtonClick(const QString& key);

    // Keeps the page centred while the main window takes its final size (a window manager
    // maximises it after it first shows), until the user moves the page.
    void CentreOnFinalSize(PageWindow* page);

    // The chooser, unloaded with the main window should it still be loaded.
    void SetChooser(QWidget* chooser) { chooser_ = chooser; }

    // Master timer targets.
    void PollReadings() override;
    void DeviceDisplayValues(int i) override;
    void VoltageSenseDisplayValues(int i) override;
    void CurrentSenseDisplayValues(int i) override;
    void LimitsRefresh(int i) override;
    bool RegMapContinuousRead() override;
    void RegMapRead() override;

    std::array<QMenu*, 2> mnuDevice{};
    QMenu* mnuFile = nullptr;
    QMenu* mnuCommon = nullptr;
    QMenu* mnuWindow = nullptr;
    QToolBar* tbToolBar = nullptr;
    std::array<QAction*, 7> tbButtons{};  // index 3 and 4 are separators

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    struct PanelFit;
    static void ShowInPanel(QLabel* panel, const QString& text, PanelFit& fit);
    void FillWindowMenu();
    QMdiSubWindow* AddChild(PageWindow* page);
    void BringForward(PageWindow* page);

    QMdiArea* mdi = nullptr;
    QTimer tmrMaster;
    MasterTimer clock_;
    std::array<std::array<QPointer<PageWindow>, 2>, static_cast<size_t>(PageKind::Count)> forms_;
    std::array<QPointer<PageWindow>, static_cast<size_t>(ToolKind::Count)> tools_;
    QPointer<QWidget> chooser_;
    QPointer<PageWindow> centred_;
    QPoint centredAt_;
    QLabel* sbDate = nullptr;
    QLabel* sbTime = nullptr;
    QTimer sbClock;  // keeps the clock going while the master timer is stopped
    qint64 shownSecond_ = -1;
    // What a clock panel was last sized for: its text with every digit the font's widest, in its font.
    struct PanelFit {
        QFont font;
        QChar widestDigit;
        QString shape;
    };
    std::array<PanelFit, 2> panelFits_;
};

// The one main window of the run, or null before the device choice.
frmMain* MainForm();
void SetMainForm(frmMain* form);
