#include "filter/frmDigFilter.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "core/twips.h"
#include "filter/bode_canvas.h"
#include "filter/power_stage_picture.h"
#include "link/platform.h"
#include "shell/frmMain.h"
#include "shell/layout_font.h"
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
#include <algorithm>
#include <cmath>
#include <vector>

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

QLabel* Label(QWidget* parent, const QString& text, const QRect& at, const char* name = nullptr) {
    auto* l = new QLabel(text, parent);
    if (name) l->setObjectName(QString::fromLatin1(name));
    l->setGeometry(at);
    return l;
}

int TextWidth(const QWidget* w, const QString& text) {
    return static_cast<int>(std::ceil(QFontMetricsF(w->font()).horizontalAdvance(text))) + 1;
}

// One column of the row over the plot: its controls one above the other, as wide as the widest.
struct Column {
    std::vector<QWidget*> Widgets;
    int Width = 0;
    bool Value = false;  // the values beside the column before: close to it, and given the room after
};

// Lays the columns out from left to right within [left, right]: values close to their captions,
// the groups apart, and the room left over shared between the groups.
void LayOutRow(std::vector<Column>& columns, int left, int right) {
    const int close = ScaledPixels(6), apart = ScaledPixels(12);
    int used = 0, gaps = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        used += columns[i].Width;
        if (i == 0) continue;
        used += columns[i].Value ? close : apart;
        gaps += !columns[i].Value;
    }
    const int spare = std::max(0, right - left - used);
    std::vector<int> x(columns.size());
    int at = left, gap = 0;
    for (size_t i = 0; i < columns.size(); ++i) {
        if (i > 0 && columns[i].Value) at += close;
        if (i > 0 && !columns[i].Value) {
            if (gaps > 0) at += spare * (gap + 1) / gaps - spare * gap / gaps;
            at += apart;
            ++gap;
        }
        x[i] = at;
        at += columns[i].Width;
    }
    for (size_t i = 0; i < columns.size(); ++i) {
        // A value may use the room up to the next group, for a longer value than the widest foreseen.
        const int end = i + 1 < columns.size() ? x[i + 1] - close : right;
        const int w = columns[i].Value ? end - x[i] : columns[i].Width;
        for (QWidget* c : columns[i].Widgets) c->setGeometry(x[i], c->y(), w, c->height());
    }
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
    pctPowerOptions->move(ScaledPixels(2), ScaledPixels(2));
    for (int i = 0; i < kModelBoxCount; ++i) {
        const auto b = static_cast<ModelBox>(i);
        const bool sharesLabel = b == ModelBox::N2;
        if (!sharesLabel)
            boxLabels_[static_cast<size_t>(i)] = Label(pctPowerOptions, ModelBoxCaption(b), PowerStageLabelRect(b));
        auto* e = Named(new QLineEdit(pctPowerOptions), ModelBoxName(b).toLatin1().constData());
        e->setGeometry(PowerStageBoxRect(b));
        boxes_[static_cast<size_t>(i)] = e;
        connect(e, &QLineEdit::textEdited, this, [this, b](const QString& text) {
            logic.SetText(b, text);
            ShowState();
        });
        connect(e, &QLineEdit::editingFinished, this, [this, b] { logic.FinishEdit(b); });
    }
    chkL2C2 = Named(new QCheckBox(QStringLiteral("Enable L2/C2 stage"), pctPowerOptions), "chkL2C2");
    chkL2C2->move(L2C2CheckPlace());
    chkC3C4 = Named(new QCheckBox(QStringLiteral("Enable C3/C4 stage"), pctPowerOptions), "chkC3C4");
    chkC3C4->move(C3C4CheckPlace());
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

    // The row over the plot.
    const int row0 = ScaledPixels(4), row1 = ScaledPixels(26), rowHeight = ScaledPixels(18);
    auto caption = [plots, rowHeight](const char* text, int y) {
        return Label(plots, QString::fromLatin1(text), QRect(0, y, 0, rowHeight));
    };
    auto value = [plots, rowHeight](const char* name, int y) {
        return Label(plots, QString(), QRect(0, y, 0, rowHeight), name);
    };
    std::vector<Column> row;
    auto add = [&row](std::vector<QWidget*> widgets, int width, bool isValue = false) {
        row.push_back({std::move(widgets), width, isValue});
    };
    auto widest = [](std::initializer_list<int> widths) { return std::max(widths); };

    QLabel* freqCaption = caption("Switching Frequency", row0);
    cmbFreq = Named(new NoWheelList(plots), "cmbFreq");
    cmbFreq->setGeometry(0, ScaledPixels(24), 0, ScaledPixels(22));
    for (const QString& t : SwitchingFrequencyTexts()) cmbFreq->addItem(t);
    connect(cmbFreq, &QComboBox::activated, this, [this](int i) {
        logic.ChooseFrequency(i);
        ShowState();
    });
    add({freqCaption, cmbFreq},
        widest({TextWidth(freqCaption, freqCaption->text()), ScaledPixels(110), cmbFreq->sizeHint().width()}));

    QLabel* thresholdCaption = caption("CCM/DCM Threshold", row0);
    cmbCCMDCM = Named(new NoWheelList(plots), "cmbCCMDCM");
    cmbCCMDCM->setGeometry(0, ScaledPixels(24), 0, ScaledPixels(22));
    for (const QString& t : ThresholdTexts()) cmbCCMDCM->addItem(t);
    connect(cmbCCMDCM, &QComboBox::activated, this, [this](int i) { logic.ChooseThreshold(i); });
    add({thresholdCaption, cmbCCMDCM}, widest({TextWidth(thresholdCaption, thresholdCaption->text()), ScaledPixels(100),
                                               cmbCCMDCM->sizeHint().width()}));

    const char* modes[2] = {"CCM settings", "DCM settings"};
    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(QString::fromLatin1(modes[i]), plots);
        o->setObjectName(QStringLiteral("optFilterMode(%1)").arg(i));
        o->setGeometry(0, i == 0 ? row0 : row1, 0, ScaledPixels(20));
        connect(o, &QRadioButton::clicked, this, [this, i] {
            if (logic.FilterMode != i) logic.optFilterMode_Click(i);
            ShowState();
        });
        optFilterMode[static_cast<size_t>(i)] = o;
    }
    add({optFilterMode[0], optFilterMode[1]},
        widest({optFilterMode[0]->sizeHint().width(), optFilterMode[1]->sizeHint().width()}));

    // Caption pairs with their values, each value column wide enough for the widest value foreseen.
    struct Pair {
        const char *caption0, *caption1, *name0, *name1, *widestValue;
        QLabel **value0, **value1;
    };
    const Pair pairs[3] = {
        {"Low Frequency Gain", "High Frequency Gain", "lblLowFGain", "lblHighFGain", "-88.88dB ", &lblLowFGain,
         &lblHighFGain},
        {"Pole Frequency", "Zero Frequency", "lblPoleFreq", "lblZeroFreq", "888.88 kHz", &lblPoleFreq, &lblZeroFreq},
        {"Loop Filter Bandwidth", "Loop Filter Phase Margin", "lblLoopBandwidth", "lblLoopPhaseMargin", "888.88 kHz",
         &lblLoopBandwidth, &lblLoopPhaseMargin},
    };
    for (const Pair& pr : pairs) {
        QLabel* c0 = caption(pr.caption0, row0);
        QLabel* c1 = caption(pr.caption1, row1);
        add({c0, c1}, widest({TextWidth(c0, c0->text()), TextWidth(c1, c1->text())}));
        *pr.value0 = value(pr.name0, row0);
        *pr.value1 = value(pr.name1, row1);
        add({*pr.value0, *pr.value1}, TextWidth(*pr.value0, QString::fromLatin1(pr.widestValue)), true);
    }
    const QRect framePlace = ScaledRect(860, 64, 142, 200);
    LayOutRow(row, ScaledPixels(8), framePlace.right() + 1);

    auto* frame = Named(new QGroupBox(QStringLiteral("Enable Plot"), plots), "fraEnablePlot");
    frame->setGeometry(framePlace);
    for (int r = 0; r < 4; ++r) {
        const LegendRow& legendRow = kLegendRows[r];
        Label(frame, QString::fromLatin1(legendRow.caption), ScaledRect(6, 18 + 44 * r, 130, 18));
        for (int k = 0; k < 2; ++k) {
            const size_t idx = static_cast<size_t>(2 * r + k);
            auto* c = new QCheckBox(k == 0 ? QStringLiteral("Gain") : QStringLiteral("Phase"), frame);
            c->setObjectName(QString::fromLatin1(k == 0 ? legendRow.gainName : legendRow.phaseName));
            c->setGeometry(ScaledRect(6 + 66 * k, 36 + 44 * r, 64, 20));
            const QString rgb = QString::fromLatin1(k == 0 ? legendRow.gainColour : legendRow.phaseColour);
            if (!rgb.isEmpty()) c->setStyleSheet(QStringLiteral("color: rgb(%1);").arg(rgb));
            const LegendBox box = kLegendBoxes[idx];
            connect(c, &QCheckBox::clicked, this, [this, box](bool on) {
                logic.SetLegend(box, on);
                ShowState();
            });
            legend_[idx] = c;
        }
    }
    const int underPlot = TwipsToPixels(kPlotTop + kPlotHeight) + ScaledPixels(6);
    chkShowLabels = Named(new QCheckBox(QStringLiteral("Show Frequency and Gain Values"), plots), "chkShowLabels");
    const int showLabelsWidth = std::max(ScaledPixels(260), chkShowLabels->sizeHint().width());
    chkShowLabels->setGeometry(ScaledPixels(8), underPlot, showLabelsWidth, ScaledPixels(20));
    connect(chkShowLabels, &QCheckBox::clicked, this, [this](bool on) {
        logic.SetShowLabels(on);
        ShowState();
    });
    lblPrinting = Label(plots, QStringLiteral("Printing..."),
                        QRect(ScaledPixels(420), underPlot, ScaledPixels(120), rowHeight), "lblPrinting");
    lblPrinting->setStyleSheet(QStringLiteral("font-weight: bold;"));
    lblPrinting->hide();

    const std::pair<const char*, const char*> buttons[3] = {
        {"cmdApply", "Apply"}, {"cmdPrint", "Print"}, {"cmdCancel", "Close"}};
    for (int i = 0; i < 3; ++i) {
        auto* b = Named(new QPushButton(QString::fromLatin1(buttons[i].second), plots), buttons[i].first);
        b->setGeometry(ScaledRect(870, 420 + 40 * i, 120, 30));
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
