#include "filter/frmDigFilter.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/power_stage_picture.h"
#include "link/platform.h"
#include "shell/frmMain.h"
#include "shell/print_snapshot.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// Choosing a frequency reads both filter sets again and loses unapplied drags: a wheel passing
// over the list must not choose one. The wheel works once the user gave the list focus.
class NoWheelList : public QComboBox {
public:
    using QComboBox::QComboBox;

protected:
    void wheelEvent(QWheelEvent* e) override {
        if (hasFocus())
            QComboBox::wheelEvent(e);
        else
            e->ignore();
    }
};

// A box whose text the model cannot use stands out, and says which value the model keeps.
void ShowRefused(QLineEdit* e, bool refused, double inUse) {
    const QString style = refused ? QStringLiteral("QLineEdit { background: rgb(255, 190, 190); }") : QString();
    if (e->styleSheet() != style) e->setStyleSheet(style);
    e->setToolTip(refused ? QStringLiteral("Not a usable number: the model keeps %1").arg(NumberText(inUse))
                          : QString());
}

template <class W>
W* Named(W* w, const char* name) {
    w->setObjectName(QString::fromLatin1(name));
    return w;
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y, int w = 130, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(x, y, w, 18);
    return l;
}

struct LegendRow {
    const char* caption;
    const char* gainName;
    const char* gainColour;  // empty: the default text colour
    const char* phaseName;
    const char* phaseColour;
};
constexpr LegendRow kLegendRows[4] = {
    {"Digital Filter", "chkDigFilter", "0,0,255", "chkDigFilterPhase", "0,192,0"},
    {"LC Filter", "chkLCFilter", "255,0,255", "chkLCFilterPhase", "255,128,0"},
    {"Full Loop", "chkFullLoop", "", "chkFullLoopPhase", "255,0,0"},
    {"Feedback", "chkFB", "128,128,0", "chkFBPhase", "0,192,192"},
};
constexpr LegendBox kLegendBoxes[8] = {LegendBox::DigFilter, LegendBox::DigFilterPhase, LegendBox::LCFilter,
                                       LegendBox::LCFilterPhase, LegendBox::FullLoop, LegendBox::FullLoopPhase,
                                       LegendBox::FB, LegendBox::FBPhase};

bool Ticked(const CurveSelection& s, LegendBox b) {
    switch (b) {
    case LegendBox::DigFilter: return s.DigFilter;
    case LegendBox::DigFilterPhase: return s.DigFilterPhase;
    case LegendBox::LCFilter: return s.LCFilter;
    case LegendBox::LCFilterPhase: return s.LCFilterPhase;
    case LegendBox::FullLoop: return s.FullLoop;
    case LegendBox::FullLoopPhase: return s.FullLoopPhase;
    case LegendBox::FB: return s.FB;
    case LegendBox::FBPhase: return s.FBPhase;
    }
    return false;
}

Qt::CursorShape CursorOf(PointerShape s) {
    switch (s) {
    case PointerShape::Move: return Qt::SizeAllCursor;
    case PointerShape::LeftRight: return Qt::SizeHorCursor;
    case PointerShape::UpDown: return Qt::SizeVerCursor;
    case PointerShape::Default: break;
    }
    return Qt::ArrowCursor;
}

}  // namespace

frmDigFilter::frmDigFilter() {
    setObjectName(QStringLiteral("frmDigFilter"));
    SSTab1 = Named(new QTabWidget(this), "SSTab1");
    auto* page = new QVBoxLayout(this);
    page->setContentsMargins(0, 0, 0, 0);
    page->addWidget(SSTab1);
    auto* stage = new QWidget;
    auto* plots = new QWidget;
    SSTab1->addTab(stage, QStringLiteral("LC Filter Stage"));
    SSTab1->addTab(plots, QStringLiteral("Full Loop Gain and Phase Plots"));

    // The power stage with its inputs on it.
    pctPowerOptions = new PowerStagePicture(stage);
    pctPowerOptions->move(2, 2);
    for (int i = 0; i < kModelBoxCount; ++i) {
        const auto b = static_cast<ModelBox>(i);
        const QPoint at = PowerStageInputPlace(b);
        const bool sharesLabel = b == ModelBox::N2;
        if (!sharesLabel)
            boxLabels_[static_cast<size_t>(i)] = Label(pctPowerOptions, ModelBoxCaption(b), at.x(), at.y(), 90);
        auto* e = Named(new QLineEdit(pctPowerOptions), ModelBoxName(b).toLatin1().constData());
        const bool turns = b == ModelBox::N1 || b == ModelBox::N2;
        e->setGeometry(at.x() - (b == ModelBox::N1 ? 10 : 0), at.y() + kInputLabelHeight, turns ? 40 : kInputBoxWidth,
                       kInputBoxHeight);
        boxes_[static_cast<size_t>(i)] = e;
        connect(e, &QLineEdit::textEdited, this, [this, b](const QString& text) {
            logic.SetText(b, text);
            ShowState();
        });
        connect(e, &QLineEdit::editingFinished, this, [this, b] { logic.FinishEdit(b); });
    }
    chkL2C2 = Named(new QCheckBox(QStringLiteral("Enable L2/C2 stage"), pctPowerOptions), "chkL2C2");
    chkL2C2->move(kL2C2CheckPlace);
    chkC3C4 = Named(new QCheckBox(QStringLiteral("Enable C3/C4 stage"), pctPowerOptions), "chkC3C4");
    chkC3C4->move(kC3C4CheckPlace);
    connect(chkL2C2, &QCheckBox::clicked, this, [this](bool on) {
        logic.SetL2C2(on);
        ShowState();
    });
    connect(chkC3C4, &QCheckBox::clicked, this, [this](bool on) {
        logic.SetC3C4(on);
        ShowState();
    });

    // The plot and every other control.
    pctFilter = new BodeCanvas(logic, plots);
    connect(pctFilter, &BodeCanvas::mousePressedAt, this, [this](float X, float Y) {
        logic.pctFilter_MouseDown(X, Y);
        ShowState();
    });
    connect(pctFilter, &BodeCanvas::mouseMovedTo, this, [this](float X, float Y) {
        logic.pctFilter_MouseMove(X, Y);
        setCursor(CursorOf(logic.Drag.Pointer));
        ShowState();
    });

    Label(plots, QStringLiteral("Switching Frequency"), 8, 4, 135);
    cmbFreq = Named(new NoWheelList(plots), "cmbFreq");
    cmbFreq->setGeometry(8, 24, 110, 22);
    for (const QString& t : SwitchingFrequencyTexts()) cmbFreq->addItem(t);
    connect(cmbFreq, &QComboBox::activated, this, [this](int i) {
        logic.ChooseFrequency(i);
        ShowState();
    });
    Label(plots, QStringLiteral("CCM/DCM Threshold"), 150, 4, 130);
    cmbCCMDCM = Named(new NoWheelList(plots), "cmbCCMDCM");
    cmbCCMDCM->setGeometry(150, 24, 100, 22);
    for (const QString& t : ThresholdTexts()) cmbCCMDCM->addItem(t);
    connect(cmbCCMDCM, &QComboBox::activated, this, [this](int i) { logic.ChooseThreshold(i); });

    const char* modes[2] = {"CCM settings", "DCM settings"};
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(modes[i]), plots);
        o->setObjectName(QStringLiteral("optFilterMode(%1)").arg(i));
        o->setGeometry(275, 4 + 22 * i, 110, 20);
        connect(o, &QRadioButton::clicked, this, [this, i] {
            if (logic.FilterMode != i) logic.optFilterMode_Click(i);
            ShowState();
        });
        optFilterMode[static_cast<size_t>(i)] = o;
    }

    auto value = [plots](const char* caption, const char* name, int x, int y) {
        Label(plots, QString::fromLatin1(caption), x, y, 128);
        return Label(plots, QString(), x + 130, y, 60, name);
    };
    lblLowFGain = value("Low Frequency Gain", "lblLowFGain", 386, 4);
    lblHighFGain = value("High Frequency Gain", "lblHighFGain", 386, 26);
    lblPoleFreq = value("Pole Frequency", "lblPoleFreq", 580, 4);
    lblZeroFreq = value("Zero Frequency", "lblZeroFreq", 580, 26);
    Label(plots, QStringLiteral("Loop Filter Bandwidth"), 772, 4, 160);
    lblLoopBandwidth = Label(plots, QString(), 934, 4, 76, "lblLoopBandwidth");
    Label(plots, QStringLiteral("Loop Filter Phase Margin"), 772, 26, 160);
    lblLoopPhaseMargin = Label(plots, QString(), 934, 26, 76, "lblLoopPhaseMargin");

    auto* frame = Named(new QGroupBox(QStringLiteral("Enable Plot"), plots), "fraEnablePlot");
    frame->setGeometry(860, 64, 142, 200);
    for (int r = 0; r < 4; ++r) {
        const LegendRow& row = kLegendRows[r];
        Label(frame, QString::fromLatin1(row.caption), 6, 18 + 44 * r, 130);
        for (int k = 0; k < 2; ++k) {
            const size_t idx = static_cast<size_t>(2 * r + k);
            auto* c = new QCheckBox(k == 0 ? QStringLiteral("Gain") : QStringLiteral("Phase"), frame);
            c->setObjectName(QString::fromLatin1(k == 0 ? row.gainName : row.phaseName));
            c->setGeometry(6 + 66 * k, 36 + 44 * r, 64, 20);
            const QString rgb = QString::fromLatin1(k == 0 ? row.gainColour : row.phaseColour);
            if (!rgb.isEmpty()) c->setStyleSheet(QStringLiteral("color: rgb(%1);").arg(rgb));
            const LegendBox box = kLegendBoxes[idx];
            connect(c, &QCheckBox::clicked, this, [this, box](bool on) {
                logic.SetLegend(box, on);
                ShowState();
            });
            legend_[idx] = c;
        }
    }
    chkShowLabels = Named(new QCheckBox(QStringLiteral("Show Frequency and Gain Values"), plots), "chkShowLabels");
    chkShowLabels->setGeometry(8, TwipsToPixels(kPlotTop + kPlotHeight) + 6, 260, 20);
    connect(chkShowLabels, &QCheckBox::clicked, this, [this](bool on) {
        logic.SetShowLabels(on);
        ShowState();
    });
    lblPrinting = Label(plots, QStringLiteral("Printing..."), 420, TwipsToPixels(kPlotTop + kPlotHeight) + 6, 120,
                        "lblPrinting");
    lblPrinting->setStyleSheet(QStringLiteral("font-weight: bold;"));
    lblPrinting->hide();

    const std::pair<const char*, const char*> buttons[3] = {
        {"cmdApply", "Apply"}, {"cmdPrint", "Print"}, {"cmdCancel", "Close"}};
    for (int i = 0; i < 3; ++i) {
        auto* b = Named(new QPushButton(QString::fromLatin1(buttons[i].second), plots), buttons[i].first);
        b->setGeometry(870, 420 + 40 * i, 120, 30);
        if (i == 0) connect(b, &QPushButton::clicked, this, [this] { logic.cmdApply_Click(); });
        if (i == 1) connect(b, &QPushButton::clicked, this, &frmDigFilter::cmdPrint_Click);
        if (i == 2) connect(b, &QPushButton::clicked, this, [this] { logic.cmdCancel_Click(); });
    }

    logic.ShowWindow = [this] { ShowWindow(true); };
    logic.HideWindow = [this] { ShowWindow(false); };
    logic.UnloadWindow = [this] { Unload(); };
    logic.ShowPowerStage = [this](int n) { pctPowerOptions->SetPowerStageTopology(n, Plat().ProgramFolder); };
    logic.HandFrequencyToPwmPage = [](int device, const QString& text) {
        frmMain* main = MainForm();
        if (PageWindow* pwm = main ? main->Form(PageKind::PWM, device) : nullptr) pwm->ChooseSwitchingFrequency(text);
    };
}

void frmDigFilter::Form_Load() {
    SetFormSize(15270, 10005);
    SSTab1->setCurrentIndex(1);
    logic.Form_Load();
    CenterForm();
}

void frmDigFilter::SetupFormAfterLoad() {
    QPointer<frmDigFilter> self(this);
    logic.SetupFormAfterLoad(PageAddress());
    if (self) ShowState();
}

void frmDigFilter::ShowWindow(bool shown) {
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame) frame = this;
    frame->setVisible(shown);
}

void frmDigFilter::cmdPrint_Click() {
    lblPrinting->show();
    repaint();
    PrintWindowSnapshot(static_cast<int16_t>(logic.DeviceIndex));
    lblPrinting->hide();
}

void frmDigFilter::ShowState() {
    for (int i = 0; i < kModelBoxCount; ++i) {
        const auto b = static_cast<ModelBox>(i);
        QLineEdit* e = boxes_[static_cast<size_t>(i)];
        if (e->text() != logic.Text[static_cast<size_t>(i)]) {
            const QSignalBlocker block(e);
            e->setText(logic.Text[static_cast<size_t>(i)]);
        }
        bool shown = true;
        if (b == ModelBox::L2 || b == ModelBox::C2 || b == ModelBox::ESR2) shown = logic.StageTwoVisible;
        if (b == ModelBox::C3 || b == ModelBox::C4) shown = logic.C3C4Visible;
        e->setVisible(shown);
        if (QLabel* l = boxLabels_[static_cast<size_t>(i)]) l->setVisible(shown);
        ShowRefused(e, logic.Refused[static_cast<size_t>(i)], logic.Value[static_cast<size_t>(i)]);
    }
    {
        const QSignalBlocker a(chkL2C2), b(chkC3C4), c(chkShowLabels);
        chkL2C2->setChecked(logic.chkL2C2);
        chkC3C4->setChecked(logic.chkC3C4);
        chkShowLabels->setChecked(logic.chkShowLabels);
    }
    for (size_t i = 0; i < legend_.size(); ++i) {
        const QSignalBlocker block(legend_[i]);
        legend_[i]->setChecked(Ticked(logic.Legend, kLegendBoxes[i]));
    }
    {
        const QSignalBlocker a(cmbFreq), b(cmbCCMDCM);
        const int f = logic.Registers.FreqCode, t = logic.Registers.ThresholdCode;
        cmbFreq->setCurrentIndex(f >= 0 && f < kFrequencyCount ? f : -1);
        cmbCCMDCM->setCurrentIndex(t >= 0 && t < kThresholdCount ? t : -1);
    }
    for (size_t i = 0; i < 2; ++i) {
        const QSignalBlocker block(optFilterMode[i]);
        optFilterMode[i]->setChecked(logic.FilterMode == static_cast<int>(i));
    }
    const FilterMarkers& m = logic.Plot.Markers;
    lblLowFGain->setText(m.lblLowFGain);
    lblHighFGain->setText(m.lblHighFGain);
    lblPoleFreq->setText(m.lblPoleFreq);
    lblZeroFreq->setText(m.lblZeroFreq);
    lblLoopBandwidth->setText(logic.lblLoopBandwidth);
    lblLoopPhaseMargin->setText(logic.lblLoopPhaseMargin);
    pctFilter->Refresh();
    pctPowerOptions->update();
}
