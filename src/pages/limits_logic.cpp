#include "pages/limits_logic.h"

#include "core/numbers.h"
#include "link/platform.h"
#include "link/register_access.h"
#include "pages/voltage_sense_logic.h"
#include "registers/readings.h"

#include <cfloat>
#include <cmath>

QString FaultRowCaption(int row) {
    static const char* const captions[kFaultRows] = {
        "CS1 Fast OCP", "CS1 Accurate OCP", "CS2 Accurate OCP",        "Voltage Sense",   "UVP",
        "Reverse Voltage", "Load OVP (VS2 or VS3)", "Local OVP (VS1)", "OTP",             "Share Bus",
        "Ext Flag Input (FLAGIN)", "ACSNS", "ACSNS Amplitude",          "Ground Fault"};
    return row >= 0 && row < kFaultRows ? QString::fromLatin1(captions[row]) : QString();
}

QStringList FaultActionItems() {
    return {"Ignore Flag Completely", "Disable Sync Rec", "Disable OrFET", "Disable Power Supply"};
}
QStringList FaultResolveItems() {
    return {"Re-enable 1 second after flag=0", "Remain Disabled. Only PSON can re-enable"};
}
QStringList FaultTimingItems() { return {"After Delay", "Immediately"}; }

const std::vector<GaugeSpec>& Gauges() {
    static const std::vector<GaugeSpec> gauges = {
        {0, "Input", "I/P Voltage", &DeviceRecord::InputVoltage, "V", 0, 150},
        {1, "Input", "I/P Current", &DeviceRecord::InputCurrent, "A", 0, 1},
        {2, "Input", "I/P Power", &DeviceRecord::InputPower, "W", 0, 50},
        {3, "General", "VS1", &DeviceRecord::VS1Voltage, "V", 0, 15},
        {4, "General", "VS2", &DeviceRecord::VS2Voltage, "V", 0, 15},
        {5, "Output", "O/P Voltage", &DeviceRecord::OutputVoltage, "V", 0, 15},
        {6, "Output", "O/P Current", &DeviceRecord::OutputCurrent, "A", 0, 3},
        {7, "Output", "O/P Power", &DeviceRecord::OutputPower, "W", 0, 50},
        {9, "General", "ACSNS", &DeviceRecord::ACSNSVoltage, "V", 0, 60},
        {10, "General", "Temperature", &DeviceRecord::Temperature, "\u00B0C", -128, 127},
        {11, "General", "Share Bus", &DeviceRecord::ShareBusVoltage, "V", 0, 7},
        {12, "General", "Duty Cycle", &DeviceRecord::DutyCycle, "%", 0, 100},
    };
    return gauges;
}

const std::vector<ChartSpec>& Charts() {
    using R = DeviceRecord;
    static const std::vector<ChartSpec> charts = {
        {"Voltage, Current and Power",
         {"Voltage (V)", "Current (A)", "Power (W)"},
         {{"I/P Voltage", 0, &R::InputVoltage},
          {"VS3 (O/P Voltage)", 0, &R::OutputVoltage},
          {"VS1", 0, &R::VS1Voltage},
          {"VS2", 0, &R::VS2Voltage},
          {"I/P Current", 1, &R::InputCurrent},
          {"O/P Current", 1, &R::OutputCurrent},
          {"I/P Power", 2, &R::InputPower},
          {"O/P Power", 2, &R::OutputPower}}},
        {"Voltage Only",
         {"Voltage (V)"},
         {{"I/P Voltage", 0, &R::InputVoltage},
          {"O/P Voltage (VS3)", 0, &R::OutputVoltage},
          {"VS1", 0, &R::VS1Voltage},
          {"VS2", 0, &R::VS2Voltage}}},
        {"Current Only", {"Current(A)"}, {{"I/P Current", 0, &R::InputCurrent}, {"O/P Current", 0, &R::OutputCurrent}}},
        {"Power Only", {"Power(W)"}, {{"I/P Power", 0, &R::InputPower}, {"O/P Power", 0, &R::OutputPower}}},
    };
    return charts;
}

QString ScaleRowCaption(int box) {
    static const char* const captions[kScaleBoxes] = {"I/P Voltage", "O/P Voltage (VS3)", "VS1",
                                                      "VS2",         "I/P Current",       "O/P Current"};
    return box >= 0 && box < kScaleBoxes ? QString::fromLatin1(captions[box]) : QString();
}

float& ScaleFactorOfBox(int box) {
    ScaleFactors& f = Shared().DefaultScaleFactors;
    switch (box) {
    case 0: return f.InputVoltageScale;
    case 1: return f.OutputVoltageScale;
    case 2: return f.VS1Scale;
    case 3: return f.VS2Scale;
    case 4: return f.InputCurrentScale;
    default: return f.OutputCurrentScale;
    }
}

int LampFlag(int lamp) {
    if (lamp < 0 || lamp > 31 || lamp == 20 || lamp == 24) return -1;
    if (lamp < 20) return lamp;
    if (lamp < 24) return lamp - 1;
    return lamp - 2;
}

namespace {

// True when the text starts (after blanks) with something ParseNumber reads as a number.
bool BeginsWithNumber(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    auto digit = [&](qsizetype j) { return j < n && text[j] >= u'0' && text[j] <= u'9'; };
    if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h')) {
        const qsizetype j = i + 2;
        return j < n && (digit(j) || (text[j].toUpper() >= u'A' && text[j].toUpper() <= u'F'));
    }
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    if (digit(i)) return true;
    return i < n && text[i] == u'.' && digit(i + 1);
}

// True when the number the text begins with is zero: no digit but 0 before any exponent.
bool DenotesZero(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n && (text[i] == u' ' || text[i] == u'\t')) ++i;
    auto digit = [&](qsizetype j) { return j < n && text[j] >= u'0' && text[j] <= u'9'; };
    if (i + 1 < n && text[i] == u'&' && (text[i + 1] == u'H' || text[i + 1] == u'h')) {
        for (i += 2; i < n && (digit(i) || (text[i].toUpper() >= u'A' && text[i].toUpper() <= u'F')); ++i)
            if (text[i] != u'0') return false;
        return true;
    }
    if (i < n && (text[i] == u'-' || text[i] == u'+')) ++i;
    bool point = false;
    for (; digit(i) || (!point && i < n && text[i] == u'.'); ++i) {
        if (text[i] == u'.') point = true;
        else if (text[i] != u'0') return false;
    }
    return true;
}

}  // namespace

LimitsLogic::LimitsLogic() {
    for (int k = 0; k < kFaultRows; ++k) {
        const auto r = static_cast<size_t>(k);
        cmbConfig[r].SetItems(FaultActionItems());
        cmbResolve[r].SetItems(FaultResolveItems());
        cmbTiming[r].SetItems(FaultTimingItems());
    }
    // Register 0x08 + i: row 2i in the high nibble, row 2i + 1 in the low one.
    for (int i = 0; i < kFaultRows / 2; ++i) {
        const int reg = 0x08 + i;
        const auto hi = static_cast<size_t>(2 * i), lo = hi + 1;
        fields.Bind(cmbConfig[hi], {reg, 0x30}, WriteRule::ApplyFromZero);
        fields.Bind(cmbResolve[hi], {reg, 0x40}, WriteRule::ApplyFromZero);
        fields.Bind(cmbTiming[hi], {reg, 0x80}, WriteRule::ApplyFromZero);
        fields.Bind(cmbConfig[lo], {reg, 0x03}, WriteRule::ApplyFromZero);
        fields.Bind(cmbResolve[lo], {reg, 0x04}, WriteRule::ApplyFromZero);
        fields.Bind(cmbTiming[lo], {reg, 0x08}, WriteRule::ApplyFromZero);
    }
    QStringList graphs;
    for (const ChartSpec& c : Charts()) graphs << QString::fromLatin1(c.item);
    cmbGraph.SetItems(graphs);
    for (const GaugeSpec& g : Gauges()) slider[static_cast<size_t>(g.number)] = {g.min, g.max};
}

void LimitsLogic::SetupFormAfterLoad(int dev) {
    fields.SetUp(dev);
    Choose(cmbGraph, 0);
    for (int b = 0; b < kScaleBoxes; ++b) txtDefault[static_cast<size_t>(b)] = NumberText(ScaleFactorOfBox(b));
    ShowDutyCycleLimits(dev);
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().LimitsFormOpen[static_cast<size_t>(i)] = true;
}

void LimitsLogic::cmdApply_Click(int dev) { fields.Apply(dev); }

void LimitsLogic::Choose(ListControl& list, int index) {
    if (!list.Select(index)) return;
    if (&list == &cmbGraph) cmbGraph_Click();
}

QStringList LimitsLogic::cmdSet_Click() {
    std::array<bool, kScaleBoxes> refused{};
    std::array<float, kScaleBoxes> factor{};
    for (int b = 0; b < kScaleBoxes; ++b) factor[static_cast<size_t>(b)] = ScaleFactorOfBox(b);
    auto refuse = [&](int b) {
        refused[static_cast<size_t>(b)] = true;
        factor[static_cast<size_t>(b)] = ScaleFactorOfBox(b);
    };
    auto full = [&](int b) { return ScaledReading(kFullScaleCode, factor[static_cast<size_t>(b)]); };
    for (int b = 0; b < kScaleBoxes; ++b) {
        const QString& text = txtDefault[static_cast<size_t>(b)];
        // A factor of 0 from stray text or from a number too small for single precision, or one
        // whose greatest reading overflows, would turn the readings into nonsense.
        const double v = ParseNumber(text);
        if (!BeginsWithNumber(text) || !(std::fabs(v) <= FLT_MAX)) {
            refuse(b);
            continue;
        }
        factor[static_cast<size_t>(b)] = static_cast<float>(v);
        if ((factor[static_cast<size_t>(b)] == 0 && !DenotesZero(text)) || !std::isfinite(full(b))) refuse(b);
    }
    // The voltage sensing page trims the output voltage up to its highest setting, and the powers
    // multiply two readings: those must stay finite too. A power that would not keeps both old
    // factors, which always went together.
    const QString top = OutputTrimItem(255);
    const float highestTrim = static_cast<float>(ParseNumber(top.left(top.indexOf(u'%')))) / 100;
    if (!std::isfinite(highestTrim * full(1))) refuse(1);
    const struct {
        int a, b, digits;
    } powers[] = {{0, 4, 0}, {5, 1, 3}};
    for (const auto& p : powers)
        if (!std::isfinite(PowerReading(full(p.a), full(p.b), p.digits))) {
            refuse(p.a);
            refuse(p.b);
        }

    QStringList names;
    for (int b = 0; b < kScaleBoxes; ++b) {
        const auto k = static_cast<size_t>(b);
        if (refused[k]) {
            names << ScaleRowCaption(b);
            txtDefault[k] = NumberText(ScaleFactorOfBox(b));
        } else {
            ScaleFactorOfBox(b) = factor[k];
        }
    }
    if (!names.isEmpty())
        MsgBox(QStringLiteral("Each scale factor must be a number within the single-precision range. Not changed: ") +
                   names.join(QStringLiteral(", ")),
               MsgButtons::OK, MsgIcon::Exclamation);
    return names;
}

void LimitsLogic::cmbGraph_Click() {
    visibleGraph = -1;
    const int k = static_cast<int>(cmbGraph.items.mid(0, 4).indexOf(cmbGraph.Text()));
    if (k >= 0) visibleGraph = k;
}

void LimitsLogic::Form_Unload(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i >= 0) Shared().LimitsFormOpen[static_cast<size_t>(i)] = false;
}

void LimitsLogic::ShowDutyCycleLimits(int dev) {
    const int v = ReadRegister(dev, 0x2E) & 0x7F;
    slider[12][0] = (v & 3) * 5;
    slider[12][1] = ((v & 0x70) / 16) * 5 + 40;
}

void LimitsLogic::ggeReadings_SliderChange(int k) {
    if (k != 12) return;
    if (slider[12][0] > 15) slider[12][0] = 15;
    if (slider[12][1] < 40) slider[12][1] = 40;
}

std::vector<PlotSample> LimitsLogic::PlotData(int dev) const {
    std::vector<PlotSample> samples;
    const int i = DeviceIndexOf(dev);
    if (i < 0) return samples;
    const DeviceRecord& r = Shared().Devices[static_cast<size_t>(i)];
    const auto& charts = Charts();
    for (std::size_t c = 0; c < charts.size(); ++c)
        for (std::size_t t = 0; t < charts[c].traces.size(); ++t)
            samples.push_back({static_cast<int>(c), static_cast<int>(t), static_cast<double>(r.*charts[c].traces[t].reading)});
    return samples;
}

bool LimitsLogic::DisplayData(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i < 0) return false;
    const DeviceRecord& r = Shared().Devices[static_cast<size_t>(i)];
    for (const GaugeSpec& g : Gauges()) {
        const float reading = r.*g.reading;
        const auto k = static_cast<size_t>(g.number);
        needle[k] = reading;
        const double rounded = RoundHalfEven(reading, 2);
        // Rounding the largest readings must not step outside single precision.
        const float shown = std::fabs(rounded) <= FLT_MAX || !std::isfinite(reading) ? static_cast<float>(rounded) : reading;
        gaugeCaption[k] = LiveValueText(shown, QString::fromUtf8(g.unit));
    }
    return true;
}

bool LimitsLogic::UpdateFlags(int dev) {
    const int i = DeviceIndexOf(dev);
    if (i < 0) return false;
    const FaultStatus& f = Shared().Devices[static_cast<size_t>(i)].Faults;
    lblFlag = f.FirstFlagValid ? f.FirstFlagName : QString();
    lblFlagValue = f.FirstFlagValid ? QStringLiteral("0x") + HexText(static_cast<int64_t>(RoundHalfEven(f.FirstFlagValue, 0)))
                                    : QString();
    tglStatus[kFirstFlagLamp] = f.FirstFlagValid ? 1 : 0;
    for (int j = 0; j < 32; ++j) {
        const int flag = LampFlag(j);
        if (flag >= 0) tglStatus[static_cast<size_t>(j)] = f.Flags[static_cast<size_t>(flag)] ? 1 : 0;
    }
    return true;
}
