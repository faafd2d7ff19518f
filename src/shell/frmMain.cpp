#include "shell/frmMain.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/system_timer.h"
#include "core/twips.h"
#include "registers/readings.h"
#include "shell/live_text.h"
#include "shell/toolbar_icons.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDateTime>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>

namespace {

std::array<WindowFactory, static_cast<size_t>(PageKind::Count)>& PageFactories() {
    static std::array<WindowFactory, static_cast<size_t>(PageKind::Count)> f;
    return f;
}
std::array<WindowFactory, static_cast<size_t>(ToolKind::Count)>& ToolFactories() {
    static std::array<WindowFactory, static_cast<size_t>(ToolKind::Count)> f;
    return f;
}
QPointer<frmMain>& MainFormPtr() {
    static QPointer<frmMain> p;
    return p;
}

struct MenuItem {
    PageKind kind;
    const char* name;
    const char* caption;
};
const MenuItem kDeviceMenu[] = {
    {PageKind::Device, "mnuBlockDiagram", "Block Diagram"},
    {PageKind::General, "mnuGeneral", "General Settings"},
    {PageKind::PWM, "mnuPWM", "PWM Control"},
    {PageKind::DigFilter, "mnuDigFilter", "Digital Filter"},
    {PageKind::Limits, "mnuLimits", "Readings and Limits"},
    {PageKind::CurrentSense, "mnuCurrentSense", "Current Sense Settings"},
    {PageKind::VoltageSense, "mnuVoltageSense", "Voltage Sense Settings"},
    {PageKind::Share, "mnuShare", "Share Bus Settings"},
    {PageKind::OrFET, "mnuOrFET", "OrFET Control"},
};

size_t K(PageKind k) { return static_cast<size_t>(k); }
size_t K(ToolKind k) { return static_cast<size_t>(k); }

}  // namespace

void RegisterPageFactory(PageKind kind, WindowFactory factory) { PageFactories()[K(kind)] = std::move(factory); }
void RegisterToolFactory(ToolKind kind, WindowFactory factory) { ToolFactories()[K(kind)] = std::move(factory); }

QString PageTitle(PageKind kind) {
    switch (kind) {
    case PageKind::Device: return QStringLiteral("ZVC7140 at SMBus Address = 0x");
    case PageKind::General: return QStringLiteral("General Settings (0x");
    case PageKind::PWM: return QStringLiteral("PWM Output Control (0x");
    case PageKind::DigFilter: return QStringLiteral("Filter Settings (0x");
    case PageKind::Limits: return QStringLiteral("Limits and Graphs (0x");
    case PageKind::CurrentSense: return QStringLiteral("Current Sensing (0x");
    case PageKind::VoltageSense: return QStringLiteral("Voltage Sensing (0x");
    case PageKind::Share: return QStringLiteral("Share Bus Settings (0x");
    case PageKind::OrFET: return QStringLiteral("OrFET Control (0x");
    case PageKind::Count: break;
    }
    return {};
}

frmMain* MainForm() { return MainFormPtr().data(); }
void SetMainForm(frmMain* form) { MainFormPtr() = form; }

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setAttribute(Qt::WA_DeleteOnClose);
    mdi = new QMdiArea(this);
    mdi->setObjectName(QStringLiteral("MDIClient"));
    // Closing a window brings forward the one the user had active before it, not the next one
    // opened; the Window menu keeps listing them in the order they were opened.
    mdi->setActivationOrder(QMdiArea::ActivationHistoryOrder);
    setCentralWidget(mdi);
    mdi->installEventFilter(this);
    tmrMaster.setInterval(50);
    connect(&tmrMaster, &QTimer::timeout, this, &frmMain::tmrMaster_Timer);
    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    if (!MainForm()) SetMainForm(this);
}

frmMain::~frmMain() {
    tmrMaster.stop();
    mdi->removeEventFilter(this);
}

void frmMain::MDIForm_Load() {
    setWindowTitle(kAppTitle);
    setWindowState(windowState() | Qt::WindowMaximized);
    Shared().SavedTopologyIndex = -1;
    Shared().PowerStageTopology = 1;
    if (Shared().SimulationMode) setWindowTitle(windowTitle() + QStringLiteral(" (simulation mode)"));
}

void frmMain::BuildMenus() {
    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuFile->setObjectName(QStringLiteral("mnuFile"));
    QAction* save = mnuFile->addAction(QStringLiteral("Save/Recall Registers"));
    save->setObjectName(QStringLiteral("mnuSave"));
    connect(save, &QAction::triggered, this, [this] { OpenTool(ToolKind::Save); });
    QAction* log = mnuFile->addAction(QStringLiteral("Log Data"));
    log->setObjectName(QStringLiteral("mnuLog"));
    log->setEnabled(false);
    QAction* exitItem = mnuFile->addAction(QStringLiteral("Exit"));
    exitItem->setObjectName(QStringLiteral("mnuExit"));
    // Exit ends the run at once, without the windows' unload handling.
    connect(exitItem, &QAction::triggered, this, [] { QCoreApplication::exit(0); });

    for (int d = 0; d < 2; ++d) {
        QMenu* m = menuBar()->addMenu(QStringLiteral("Device&%1").arg(d + 1));
        m->setObjectName(QStringLiteral("mnuDevice%1").arg(d + 1));
        for (const MenuItem& item : kDeviceMenu) {
            QAction* a = m->addAction(QString::fromLatin1(item.caption));
            a->setObjectName(QString::fromLatin1(item.name) + QString::number(d + 1));
            const PageKind kind = item.kind;
            connect(a, &QAction::triggered, this, [this, kind, d] { OpenDevicePage(kind, d); });
        }
        mnuDevice[static_cast<size_t>(d)] = m;
    }

    mnuCommon = menuBar()->addMenu(QStringLiteral("&Common"));
    mnuCommon->setObjectName(QStringLiteral("mnuCommon"));
    QAction* spy = mnuCommon->addAction(QStringLiteral("Monitor Communications"));
    spy->setObjectName(QStringLiteral("mnuSpy"));
    connect(spy, &QAction::triggered, this, [this] { OpenTool(ToolKind::Spy); });
    QAction* regmap = mnuCommon->addAction(QStringLiteral("Register Map"));
    regmap->setObjectName(QStringLiteral("mnuRegMap"));
    connect(regmap, &QAction::triggered, this, [this] { OpenTool(ToolKind::RegMap); });

    mnuWindow = menuBar()->addMenu(QStringLiteral("&Window"));
    mnuWindow->setObjectName(QStringLiteral("mnuWindow"));
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::FillWindowMenu);
}

void frmMain::FillWindowMenu() {
    mnuWindow->clear();
    int n = 0;
    for (QMdiSubWindow* sub : mdi->subWindowList()) {
        QAction* a = mnuWindow->addAction(QStringLiteral("&%1 %2").arg(++n).arg(sub->windowTitle()));
        a->setCheckable(true);
        a->setChecked(sub == mdi->activeSubWindow());
        QPointer<QMdiSubWindow> target(sub);
        connect(a, &QAction::triggered, this, [this, target] {
            if (target) mdi->setActiveSubWindow(target);
        });
    }
}

void frmMain::BuildToolBar() {
    tbToolBar = addToolBar(QStringLiteral("tbToolBar"));
    tbToolBar->setObjectName(QStringLiteral("tbToolBar"));
    tbToolBar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    tbToolBar->setMovable(false);
    const int icon = ScaledPixels(tbToolBar->style()->pixelMetric(QStyle::PM_ToolBarIconSize, nullptr, tbToolBar));
    tbToolBar->setIconSize(QSize(icon, icon));
    struct Button {
        const char* text;
        const char* key;
        const char* icon;
    };
    const Button buttons[] = {{"Reg", "Reg", "Tree"},         {"File", "File", "File"}, {"Spy", "Spy", "Graph"},
                              {nullptr, nullptr, nullptr},     {nullptr, nullptr, nullptr},
                              {"Dev1", "Device1", "Config"},   {"Dev2", "Device2", "Config"}};
    for (size_t i = 0; i < 7; ++i) {
        if (!buttons[i].text) {
            tbButtons[i] = tbToolBar->addSeparator();
            continue;
        }
        const QString key = QString::fromLatin1(buttons[i].key);
        QAction* a = tbToolBar->addAction(ToolbarIcon(QString::fromLatin1(buttons[i].icon)),
                                          QString::fromLatin1(buttons[i].text));
        a->setObjectName(QStringLiteral("tb") + key);
        a->setData(key);
        connect(a, &QAction::triggered, this, [this, key] { tbToolBar_ButtonClick(key); });
        tbButtons[i] = a;
    }
}

void frmMain::BuildStatusBar() {
    auto* status = new QLabel(QStringLiteral("Status"));
    sbDate = new LiveText;
    sbTime = new LiveText;
    statusBar()->addWidget(status, 1);
    statusBar()->addPermanentWidget(sbDate);
    statusBar()->addPermanentWidget(sbTime);
    // Opaque panels: a new time repaints its panel alone, not the bar and the window under it.
    for (QLabel* panel : {sbDate, sbTime}) panel->setAutoFillBackground(true);
    connect(&sbClock, &QTimer::timeout, this, &frmMain::RefreshStatusClock);
    RefreshStatusClock();
}

// A panel whose size may change makes the status bar lay itself out and repaint whole at every new
// text. Fixed to the size its text needs, a new text repaints the panel alone; it grows for a
// longer text and takes a new height with a new font. The size is worked out for the text with
// each digit the font's widest, so any time of the same form fits, and only when that form or the
// font changes: measuring the text anew each second would cost more than showing it.
void frmMain::ShowInPanel(QLabel* panel, const QString& text, PanelFit& fit) {
    panel->setText(text);  // an unchanged text repaints nothing
    const QFont font = panel->font();
    if (fit.widestDigit.isNull() || !(font == fit.font)) {
        const QFontMetricsF fm(font);
        fit.widestDigit = QLatin1Char('0');
        for (char d = '1'; d <= '9'; ++d)
            if (fm.horizontalAdvance(QLatin1Char(d)) > fm.horizontalAdvance(fit.widestDigit)) fit.widestDigit = QLatin1Char(d);
        fit.font = font;
        fit.shape.clear();
    }
    QString shape = text;
    for (QChar& c : shape)
        if (c.isDigit()) c = fit.widestDigit;
    if (shape == fit.shape) return;
    fit.shape = shape;
    const QMargins m = panel->contentsMargins();
    const QSize need = (QFontMetrics(font).size(0, shape) + QSize(m.left() + m.right(), m.top() + m.bottom()))
                           .expandedTo(panel->sizeHint());
    const QSize fixed = panel->minimumSize() == panel->maximumSize() ? panel->minimumSize() : QSize(0, 0);
    if (need.width() > fixed.width() || need.height() != fixed.height()) panel->setFixedSize(need);
}

void frmMain::RefreshStatusClock() {
    LocalClock& clock = SystemLocalClock();
    shownSecond_ = clock.LocalSecond();
    const QDateTime now = clock.Now();
    ShowInPanel(sbDate, QLocale().toString(now.date(), QLocale::ShortFormat), panelFits_[0]);
    ShowInPanel(sbTime, QLocale().toString(now.time(), QLocale::ShortFormat), panelFits_[1]);
    // While the master timer runs, its ticks show each new second and this timer never comes due.
    sbClock.start(tmrMaster.isActive() ? 2000 : 1000);
}

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    if (key == QLatin1String("Reg"))
        OpenTool(ToolKind::RegMap, true);
    else if (key == QLatin1String("File"))
        OpenTool(ToolKind::Save);
    else if (key == QLatin1String("Spy"))
        OpenTool(ToolKind::Spy);
    else if (key == QLatin1String("Device1"))
        OpenDevicePage(PageKind::Device, 0);
    else if (key == QLatin1String("Device2"))
        OpenDevicePage(PageKind::Device, 1);
}

void frmMain::DisableSecondDeviceUI() {
    if (Shared().DeviceCount != 1) return;
    mnuDevice[1]->setEnabled(false);
    mnuDevice[1]->menuAction()->setEnabled(false);
    tbButtons[6]->setEnabled(false);
}

QMdiSubWindow* frmMain::AddChild(PageWindow* page) {
    QMdiSubWindow* sub = mdi->addSubWindow(page);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

void frmMain::BringForward(PageWindow* page) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(page->parentWidget())) {
        sub->show();
        sub->raise();
        mdi->setActiveSubWindow(sub);
    } else {
        page->show();
        page->raise();
    }
}

PageWindow* frmMain::OpenDevicePage(PageKind kind, int index, const QString& title, int address) {
    if (index < 0 || index > 1) return nullptr;
    QPointer<PageWindow>& slot = forms_[K(kind)][static_cast<size_t>(index)];
    // A closed page waits for deletion until the event loop runs: it counts as not loaded.
    if (slot && slot->IsUnloaded()) slot = nullptr;
    if (!slot) {
        const WindowFactory& make = PageFactories()[K(kind)];
        if (!make) return nullptr;
        PageWindow* page = make();
        if (!page) return nullptr;
        slot = page;
        AddChild(page);
        page->Form_Load();
    }
    QPointer<PageWindow> page = slot;
    page->setWindowTitle(title + HexText(address) + (kind == PageKind::Device ? QString() : QStringLiteral(")")));
    if (kind == PageKind::Device) {
        BringForward(page);
        page->SetupFormAfterLoad();
        return page;
    }
    page->SetupFormAfterLoad();
    // A page may close itself while it is set up: it must not come back on screen.
    if (!page || page->IsUnloaded()) return nullptr;
    BringForward(page);
    return page;
}

PageWindow* frmMain::OpenDevicePage(PageKind kind, int index) {
    if (index < 0 || index > 1) return nullptr;
    return OpenDevicePage(kind, index, PageTitle(kind), Shared().DeviceAddress[static_cast<size_t>(index)]);
}

PageWindow* frmMain::OpenTool(ToolKind kind, bool bringToFront) {
    QPointer<PageWindow>& slot = tools_[K(kind)];
    if (slot && slot->IsUnloaded()) slot = nullptr;
    if (!slot) {
        const WindowFactory& make = ToolFactories()[K(kind)];
        if (!make) return nullptr;
        PageWindow* w = make();
        if (!w) return nullptr;
        slot = w;
        AddChild(w);
        w->Form_Load();
        if (!slot || w->IsUnloaded()) return nullptr;
    }
    if (auto* sub = qobject_cast<QMdiSubWindow*>(slot->parentWidget())) sub->show();
    if (bringToFront) BringForward(slot);
    return slot;
}

PageWindow* frmMain::Form(PageKind kind, int index) const {
    if (index < 0 || index > 1) return nullptr;
    PageWindow* p = forms_[K(kind)][static_cast<size_t>(index)].data();
    return p && !p->IsUnloaded() ? p : nullptr;
}

PageWindow* frmMain::Tool(ToolKind kind) const {
    PageWindow* p = tools_[K(kind)].data();
    return p && !p->IsUnloaded() ? p : nullptr;
}

void frmMain::tmrMaster_Timer() {
    // The clock's new second rides on a tick rather than waking the program once more a second.
    if (SystemLocalClock().LocalSecond() != shownSecond_) RefreshStatusClock();
    clock_.Tick(*this);
}

void frmMain::PollReadings() { ::PollReadings(); }

void frmMain::DeviceDisplayValues(int i) {
    if (PageWindow* p = Form(PageKind::Device, i)) p->DisplayValues();
}
void frmMain::VoltageSenseDisplayValues(int i) {
    if (PageWindow* p = Form(PageKind::VoltageSense, i)) p->DisplayValues();
}
void frmMain::CurrentSenseDisplayValues(int i) {
    if (PageWindow* p = Form(PageKind::CurrentSense, i)) p->DisplayValues();
}
void frmMain::LimitsRefresh(int i) {
    QPointer<PageWindow> p = Form(PageKind::Limits, i);
    if (p) p->PlotData();
    if (p) p->DisplayData();
    if (p) p->UpdateFlags();
}
bool frmMain::RegMapContinuousRead() {
    PageWindow* p = Tool(ToolKind::RegMap);
    return p && p->ContinuousReadTicked();
}
void frmMain::RegMapRead() {
    if (PageWindow* p = Tool(ToolKind::RegMap)) p->cmdRead_Click();
}

namespace {
QWidget* OuterFrame(PageWindow* page) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(page->parentWidget())) return sub;
    return page;
}
}  // namespace

void frmMain::CentreOnFinalSize(PageWindow* page) {
    centred_ = page;
    if (!page) return;
    page->CenterForm();
    centredAt_ = OuterFrame(page)->pos();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == mdi && event->type() == QEvent::Resize && centred_ && !centred_->IsUnloaded()) {
        // A page the user has moved stays where it was put.
        if (OuterFrame(centred_)->pos() == centredAt_)
            CentreOnFinalSize(centred_);
        else
            centred_ = nullptr;
    }
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::closeEvent(QCloseEvent* event) {
    tmrMaster.stop();
    mdi->closeAllSubWindows();
    if (chooser_) chooser_->close();
    if (MainForm() == this) SetMainForm(nullptr);
    QMainWindow::closeEvent(event);
}
