#include "pages/frmLimits.h"

#include "pages/widgets/gauge.h"
#include "pages/widgets/lamp.h"
#include "pages/widgets/strip_chart.h"
#include "core/twips.h"
#include "registers/readings.h"
#include "shell/live_text.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QAbstractItemView>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char* const kLampCaptions[32] = {
    "Power Supply",  "OrFET",          "PGood Fault",     "ACSNS Timing",   "ACSNS Amplitude", "Fast OCP",
    "OCP CS1",       "OCP CS2",        "Voltage Sense",   "UVP",            "Reverse Voltage", "Vdd UV",
    "Vdd OV",        "Ground Fault",   "Load OVP",        "Local OVP",      "OTP",             "Share Bus",
    "Chip Temp Alert", "Constant Power", "Reserved",      "Line Impedance", "Efficiency",      "External Flag",
    "Reserved",      "ACSNS",          "ADDRESS",         "DCM",            "Subharmonic",     "Duty Cycle",
    "CRC Fault",     "EEPROM Unlocked"};

// Of the page's font, for the rows of the fault configuration tab.
constexpr double kFaultRowsFontScale = 0.75;

QString Name(const char* base, int k) { return QString::fromLatin1(base) + QString::number(k); }

QLabel* RightLabel(const QString& caption) {
    QLabel* l = NewLabel(caption);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
}

// The register-code caption of a scale row: the code at the left and the closing "=" at the right
// edge, so the "=" of every row lines up whatever the width of the code and the blanks.
class CodeEqualsLabel : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QString all = text();
        const qsizetype eq = all.lastIndexOf(u'=');
        const QRect r = contentsRect();
        p.setPen(palette().color(foregroundRole()));
        p.drawText(r, Qt::AlignLeft | Qt::AlignVCenter, eq < 0 ? all : all.left(eq));
        if (eq >= 0) p.drawText(r, Qt::AlignRight | Qt::AlignVCenter, all.mid(eq));
    }
};

}  // namespace

frmLimits::frmLimits() {
    setObjectName(QStringLiteral("frmLimits"));
    setWindowTitle(QStringLiteral("Limits and Graphs"));
    views.onChoose = [this](ListControl& l, int i) {
        logic.Choose(l, i);
        ShowGraphs();
    };

    SSTab1 = new QTabWidget;
    SSTab1->setObjectName(QStringLiteral("SSTab1"));
    SSTab1->addTab(BuildFlagsTab(), QStringLiteral("Flags"));
    SSTab1->addTab(BuildFaultTab(), QStringLiteral("Fault Configuration"));
    SSTab1->addTab(BuildReadingsTab(), QStringLiteral("Readings and Limits"));
    SSTab1->addTab(BuildGraphsTab(), QStringLiteral("Graphs"));
    SSTab1->addTab(BuildDefaultsTab(), QStringLiteral("Defaults"));
    SSTab1->setCurrentIndex(1);
    auto* page = new QVBoxLayout(this);
    page->addWidget(SSTab1);
}

QWidget* frmLimits::BuildFlagsTab() {
    auto* tab = new QWidget;
    auto* first = new QGroupBox(QStringLiteral("First Flag Information"));
    first->setObjectName(QStringLiteral("Frame7"));
    auto* row = new QHBoxLayout(first);
    tglStatus[kFirstFlagLamp] = new Lamp;
    lblFlag = NewLiveLabel("lblFlag");
    lblFlagValue = NewLiveLabel("lblFlagValue");
    // Of fixed size, room for any flag's name and value: a new first flag then repaints the two
    // labels alone, not the whole tab around them.
    int widest = 0;
    for (int k = 0; k < 32; ++k) widest = std::max(widest, lblFlag->fontMetrics().horizontalAdvance(GetFlagName(k)));
    lblFlag->setFixedSize(std::max(ScaledPixels(120), widest + ScaledPixels(8)), lblFlag->sizeHint().height());
    lblFlagValue->setFixedSize(ScaledPixels(80), lblFlagValue->sizeHint().height());
    row->addWidget(NewLabel(QStringLiteral("Status")));
    row->addWidget(tglStatus[kFirstFlagLamp]);
    row->addSpacing(ScaledPixels(20));
    row->addWidget(NewLabel(QStringLiteral("Flag")));
    row->addWidget(lblFlag);
    row->addWidget(NewLabel(QStringLiteral("Value")));
    row->addWidget(lblFlagValue);
    row->addStretch();

    auto* status = new QGroupBox(QStringLiteral("Fault Status "));
    status->setObjectName(QStringLiteral("Frame1"));
    auto* grid = new QGridLayout(status);
    grid->setVerticalSpacing(1);
    for (int j = 0; j < 32; ++j) {
        if (j != kFirstFlagLamp) tglStatus[static_cast<size_t>(j)] = new Lamp;
        const int col = j < 16 ? 0 : 2;
        grid->addWidget(RightLabel(QString::fromLatin1(kLampCaptions[j])), j % 16, col);
        grid->addWidget(tglStatus[static_cast<size_t>(j)], j % 16, col + 1);
    }
    grid->setColumnMinimumWidth(1, ScaledPixels(60));
    for (int j = 0; j <= kFirstFlagLamp; ++j) {
        Lamp* l = tglStatus[static_cast<size_t>(j)];
        l->setObjectName(Name("tglStatus", j));
        l->setToolTip(QStringLiteral("Interrupt Status: Green=OK, Red=Bad, Invisible=Disabled"));
    }

    auto* v = new QVBoxLayout(tab);
    v->addWidget(first);
    v->addWidget(status);
    v->addStretch();
    return tab;
}

QWidget* frmLimits::BuildFaultTab() {
    auto* tab = new QWidget;
    auto* frame = new QGroupBox;
    frame->setObjectName(QStringLiteral("Frame3"));
    // Four columns of whole items need more than the window's width at the page's font.
    QFont rows = frame->font();
    rows.setPointSizeF(rows.pointSizeF() * kFaultRowsFontScale);
    frame->setFont(rows);
    auto* grid = new QGridLayout(frame);
    grid->setHorizontalSpacing(ScaledPixels(4));
    const int edge = ScaledPixels(6);
    grid->setContentsMargins(edge, edge, edge, edge);
    grid->addWidget(NewLabel(QStringLiteral("Action"), "Label1_0"), 0, 1);
    grid->addWidget(NewLabel(QStringLiteral("Resolve Issue"), "Label1_1"), 0, 2);
    grid->addWidget(NewLabel(QStringLiteral("Timing"), "Label1_2"), 0, 3);
    grid->setColumnStretch(2, 1);
    for (int k = 0; k < kFaultRows; ++k) {
        const auto r = static_cast<size_t>(k);
        QLabel* label = RightLabel(FaultRowCaption(k));
        label->setObjectName(Name("lblFault", k));
        // "Ext Flag Input (FLAGIN)" spans two lines, right-aligned with the other captions.
        if (k == 10) {
            label->setWordWrap(true);
            label->setFixedWidth(QFontMetrics(rows).horizontalAdvance(QStringLiteral("Ext Flag Input")) + 4);
        }
        QWidget* row[] = {label,
                          views.Add(NewList(Name("cmbConfig", k).toLatin1().constData()), logic.cmbConfig[r]),
                          views.Add(NewList(Name("cmbResolve", k).toLatin1().constData()), logic.cmbResolve[r]),
                          views.Add(NewList(Name("cmbTiming", k).toLatin1().constData()), logic.cmbTiming[r])};
        // Each list is as wide as its longest item; its drop-down, a window of its own, would not
        // take the smaller font by itself.
        for (int c = 1; c < 4; ++c) {
            auto* box = static_cast<QComboBox*>(row[c]);
            box->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            box->view()->setFont(rows);
        }
        for (int c = 0; c < 4; ++c) {
            grid->addWidget(row[c], k + 1, c, c == 0 ? Qt::AlignRight | Qt::AlignVCenter : Qt::Alignment());
            if (k >= 12) row[c]->setVisible(false);  // the chip's last two rows are not offered
        }
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    QPushButton* apply = NewButton("cmdApply", QStringLiteral("Apply"));
    QPushButton* close = NewButton("cmdClose", QStringLiteral("Close"));
    buttons->addWidget(apply);
    buttons->addSpacing(ScaledPixels(40));
    buttons->addWidget(close);
    buttons->addStretch();
    connect(apply, &QPushButton::clicked, this, &frmLimits::cmdApply_Click);
    connect(close, &QPushButton::clicked, this, &frmLimits::cmdClose_Click);

    auto* v = new QVBoxLayout(tab);
    v->setContentsMargins(edge, edge, edge, edge);
    v->addWidget(frame);
    v->addStretch();
    v->addLayout(buttons);
    return tab;
}

QWidget* frmLimits::BuildReadingsTab() {
    auto* tab = new QWidget;
    auto frame = [](const char* caption) {
        auto* f = new QGroupBox(QString::fromLatin1(caption));
        f->setObjectName(QString::fromLatin1(caption));
        auto* grid = new QGridLayout(f);
        // Little room between the columns, so that the dials are as large as the width allows;
        // the rows of labels and gauges stand in the middle of the frame's height.
        const int edge = ScaledPixels(4);
        grid->setContentsMargins(edge, edge, edge, edge);
        grid->setHorizontalSpacing(ScaledPixels(2));
        grid->setVerticalSpacing(ScaledPixels(2));
        grid->setRowStretch(0, 1);
        grid->setRowStretch(3, 1);
        return f;
    };
    QGroupBox* input = frame("Input");
    QGroupBox* output = frame("Output");
    QGroupBox* general = frame("General");
    int columns[3] = {0, 0, 0};
    for (const GaugeSpec& g : Gauges()) {
        const int which = g.frame[0] == 'I' ? 0 : g.frame[0] == 'O' ? 1 : 2;
        QGroupBox* f = which == 0 ? input : which == 1 ? output : general;
        auto* grid = static_cast<QGridLayout*>(f->layout());
        const int col = columns[which]++;
        auto* gauge = new Gauge(g.number);
        gauge->setObjectName(Name("ggeReadings", g.number));
        gauge->SetScale({g.min, g.max});
        gauge->setToolTip(QStringLiteral("Drag the sliders to change the limits"));
        connect(gauge, &Gauge::SliderChange, this, [this, gauge](int k) {
            logic.slider[static_cast<size_t>(k)] = {gauge->SliderValue(2), gauge->SliderValue(3)};
            logic.ggeReadings_SliderChange(k);
            ShowSliders(k);
        });
        ggeReadings[static_cast<size_t>(g.number)] = gauge;
        QLabel* label = NewLabel(QString::fromLatin1(g.label));
        label->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 1, col);
        grid->addWidget(gauge, 2, col);
        ShowSliders(g.number);
    }
    auto* top = new QHBoxLayout;
    top->addWidget(input);
    top->addWidget(output);
    auto* v = new QVBoxLayout(tab);
    v->addLayout(top);
    v->addWidget(general);
    return tab;
}

QWidget* frmLimits::BuildGraphsTab() {
    auto* tab = new QWidget;
    auto* v = new QVBoxLayout(tab);
    auto* chooser = new QHBoxLayout;
    QComboBox* graph = views.Add(NewList("cmbGraph"), logic.cmbGraph);
    graph->setSizeAdjustPolicy(QComboBox::AdjustToContents);  // the chosen chart's name shows whole
    graph->setMinimumWidth(TwipsToPixels(3375));
    chooser->addWidget(graph);
    chooser->addStretch();
    v->addLayout(chooser);
    auto* stack = new QGridLayout;
    const auto& charts = Charts();
    for (std::size_t c = 0; c < charts.size(); ++c) {
        auto* chart = new StripChart;
        chart->setObjectName(Name("stpGraph", static_cast<int>(c)));
        chart->setToolTip(QStringLiteral("Drag the arrows at the edges of this graph to zoom in and out"));
        QStringList axes;
        for (const char* a : charts[c].axes) axes << QString::fromLatin1(a);
        chart->SetAxes(axes);
        for (const TraceSpec& t : charts[c].traces) chart->AddTrace(QString::fromLatin1(t.name), t.axis);
        chart->setVisible(false);
        stpGraph[c] = chart;
        stack->addWidget(chart, 0, 0);  // on top of each other: one shows at a time
    }
    v->addLayout(stack, 1);
    return tab;
}

QWidget* frmLimits::BuildDefaultsTab() {
    auto* tab = new QWidget;
    auto* frame = new QGroupBox(QStringLiteral("Default Scale Factors"));
    frame->setObjectName(QStringLiteral("Frame6"));
    auto* grid = new QGridLayout(frame);
    grid->addWidget(NewLabel(QStringLiteral("Channel")), 0, 0);
    grid->addWidget(NewLabel(QStringLiteral("Register Code")), 0, 1);
    grid->addWidget(NewLabel(QStringLiteral("Value")), 0, 2);
    struct Row {
        const char* caption;
        const char* code;
        int box;
        const char* unit;
    };
    static const Row rows[] = {{"I/P Voltage", "3000", 0, "V"},         {"O/P Voltage (VS3)", "3000", 1, "V"},
                               {"VS1", "3000", 2, "V"},                 {"VS2", "3000", 3, "V"},
                               {"I/P Current", "3000", 4, "A"},         {"O/P Current", "3000", 5, "A"},
                               {"Temperature", "3000", 9, "\u00B0C"},   {"Subharmonic", "200", 10, "?"},
                               {"ACSNS Timing", "100", 11, "?"},        {"Share Bus", "200", 12, "V"},
                               {"PWM Value", "200", 13, "%"},           {"Line Impedance", "?", 14, "Ohm"},
                               {"Efficiency", "?", 15, "%"}};
    int r = 1;
    for (const Row& row : rows) {
        auto* box = new QLineEdit;
        box->setObjectName(Name("txtDefault", row.box));
        box->setMaximumWidth(ScaledPixels(80));
        if (row.box < kScaleBoxes) {
            txtDefault[static_cast<size_t>(row.box)] = box;
            connect(box, &QLineEdit::textEdited, this,
                    [this, b = row.box](const QString& text) { logic.txtDefault[static_cast<size_t>(b)] = text; });
        }
        grid->addWidget(RightLabel(QString::fromLatin1(row.caption)), r, 0);
        auto* code = new CodeEqualsLabel(QStringLiteral(" ") + QString::fromLatin1(row.code) + QStringLiteral("            ="));
        code->setObjectName(Name("lblCode", r - 1));
        grid->addWidget(code, r, 1);
        grid->addWidget(box, r, 2);
        grid->addWidget(NewLabel(QString::fromUtf8(row.unit)), r, 3);
        ++r;
    }
    QPushButton* set = NewButton("cmdSet", QStringLiteral("Set  Values"));
    connect(set, &QPushButton::clicked, this, &frmLimits::cmdSet_Click);
    grid->addWidget(set, r, 1, 1, 2);

    auto* h = new QHBoxLayout;
    h->addStretch();
    h->addWidget(frame);
    h->addStretch();
    auto* v = new QVBoxLayout(tab);
    v->addLayout(h);
    v->addStretch();
    return tab;
}

void frmLimits::Form_Load() {
    SetFormSize(9855, 9045);
    CenterForm();
    views.FillAll();
}

void frmLimits::SetupFormAfterLoad() {
    logic.SetupFormAfterLoad(PageAddress());
    views.ShowAll();
    ShowGraphs();
    ShowDefaults();
    ShowSliders(12);
}

void frmLimits::Form_Unload() { logic.Form_Unload(PageAddress()); }

void frmLimits::PlotData() {
    for (const PlotSample& s : logic.PlotData(PageAddress())) stpGraph[static_cast<size_t>(s.chart)]->AppendSample(s.trace, s.value);
}

void frmLimits::DisplayData() {
    if (!logic.DisplayData(PageAddress())) return;
    for (const GaugeSpec& g : Gauges()) {
        const auto k = static_cast<size_t>(g.number);
        ggeReadings[k]->SetNeedle(logic.needle[k]);
        ggeReadings[k]->SetCaption(logic.gaugeCaption[k]);
    }
}

void frmLimits::UpdateFlags() {
    if (!logic.UpdateFlags(PageAddress())) return;
    lblFlag->setText(logic.lblFlag);
    lblFlagValue->setText(logic.lblFlagValue);
    for (std::size_t j = 0; j < tglStatus.size(); ++j) tglStatus[j]->SetState(logic.tglStatus[j]);
}

void frmLimits::cmdApply_Click() { logic.cmdApply_Click(PageAddress()); }

void frmLimits::cmdClose_Click() { Unload(); }

void frmLimits::cmdSet_Click() {
    logic.cmdSet_Click();
    ShowDefaults();
}

void frmLimits::ShowGraphs() {
    for (std::size_t c = 0; c < stpGraph.size(); ++c) stpGraph[c]->setVisible(static_cast<int>(c) == logic.visibleGraph);
}

void frmLimits::ShowSliders(int k) {
    Gauge* g = ggeReadings[static_cast<size_t>(k)];
    if (!g) return;
    const auto& s = logic.slider[static_cast<size_t>(k)];
    g->SetSliderValue(2, s[0]);
    g->SetSliderValue(3, s[1]);
}

void frmLimits::ShowDefaults() {
    for (std::size_t b = 0; b < txtDefault.size(); ++b) {
        const QSignalBlocker block(txtDefault[b]);
        txtDefault[b]->setText(logic.txtDefault[b]);
    }
}
