#include "shell/frmSpy.h"

#include "core/run_state.h"
#include "shell/monitor_log.h"
#include "shell/monitor_view.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

frmSpy::frmSpy() {
    setObjectName(QStringLiteral("frmSpy"));
    setWindowTitle(QStringLiteral("Device I/O  Monitor"));

    lines_ = new MonitorListModel(this);
    lstSpy = new MonitorListView(this);
    lstSpy->setObjectName(QStringLiteral("lstSpy"));
    lstSpy->setModel(lines_);

    auto box = [this](const char* name, const char* caption) {
        auto* c = new QCheckBox(QString::fromLatin1(caption), this);
        c->setObjectName(QString::fromLatin1(name));
        return c;
    };
    auto button = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(QString::fromLatin1(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        return b;
    };
    chkReads = box("chkReads", "Show Reads");
    chkWrites = box("chkWrites", "Show Writes");
    chkIgnoreContinuousReads = box("chkIgnoreContinuousReads", "Ignore Polled Reads");
    cmdPause = button("cmdPause", "Pause");
    cmdClear = button("cmdClear", "Clear");
    cmdClose = button("cmdClose", "Close");

    auto* controls = new QGridLayout;
    controls->addWidget(chkReads, 0, 0);
    controls->addWidget(chkWrites, 0, 1);
    controls->addWidget(chkIgnoreContinuousReads, 0, 2);
    controls->addWidget(cmdPause, 1, 0);
    controls->addWidget(cmdClear, 1, 1);
    controls->addWidget(cmdClose, 1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lstSpy, 1);
    layout->addLayout(controls);

    connect(chkIgnoreContinuousReads, &QCheckBox::clicked, this, &frmSpy::chkIgnoreContinuousReads_Click);
    connect(cmdPause, &QPushButton::clicked, this, &frmSpy::cmdPause_Click);
    connect(cmdClear, &QPushButton::clicked, this, &frmSpy::cmdClear_Click);
    connect(cmdClose, &QPushButton::clicked, this, &frmSpy::cmdClose_Click);
}

frmSpy::~frmSpy() {
    // Deleted with the main window without a close: the accesses must not reach a dead window.
    if (!IsUnloaded()) Form_Unload();
    Detach();
}

void frmSpy::Form_Load() {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                            Qt::WindowCloseButtonHint);
    SetFormSize(6240, 6675);
    CenterForm();
    RunState& s = Shared();
    s.SpyOpen = true;
    SetAccessMonitor(this);
    {
        const QSignalBlocker block(chkIgnoreContinuousReads);
        chkIgnoreContinuousReads->setChecked(s.IgnorePolledReads);
    }
    cmdPause->setText(s.SpyPaused ? QStringLiteral("Start") : QStringLiteral("Pause"));
}

void frmSpy::Form_Unload() {
    Shared().SpyOpen = false;
    Detach();
}

void frmSpy::Detach() {
    if (CurrentAccessMonitor() == this) SetAccessMonitor(nullptr);
}

void frmSpy::chkIgnoreContinuousReads_Click() { Shared().IgnorePolledReads = chkIgnoreContinuousReads->isChecked(); }

void frmSpy::cmdPause_Click() {
    RunState& s = Shared();
    s.SpyPaused = !s.SpyPaused;
    cmdPause->setText(s.SpyPaused ? QStringLiteral("Start") : QStringLiteral("Pause"));
}

void frmSpy::cmdClear_Click() { lines_->Clear(); }

void frmSpy::cmdClose_Click() { Unload(); }

bool frmSpy::ShowReads() const { return chkReads->isChecked(); }
bool frmSpy::ShowWrites() const { return chkWrites->isChecked(); }

void frmSpy::AppendRead(int32_t DevAddr, int32_t RegAddr, int32_t Value) {
    lines_->Append(AccessKind::Read, DevAddr, RegAddr, Value);
}

void frmSpy::AppendWrite(int32_t DevAddr, int32_t RegAddr, int32_t Data) {
    lines_->Append(AccessKind::Write, DevAddr, RegAddr, Data);
}
