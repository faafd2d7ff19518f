#include "pages/pwm_logic.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "link/register_access.h"

#include <algorithm>
#include <cmath>

namespace {

// The fields of an edge's setting register (n + 1 or n + 3).
constexpr RegisterField kCountLowBits{0, 0xF0};
constexpr RegisterField kModulationBit{0, 0x08};
constexpr RegisterField kSignBit{0, 0x04};
constexpr RegisterField kKeptBits{0, 0x03};  // not this page's: carried over from a fresh read
constexpr RegisterField kMainCode{kSwitchingFrequencyRegister, 0x0F};
constexpr RegisterField kAuxCode{kSwitchingFrequencyRegister, 0xF0};

QString EdgeName(int i, int edge) { return QStringLiteral("T") + NumberText(edge == 1 ? 2 * i + 1 : 2 * i + 2); }

}  // namespace

const QStringList& SwitchingFrequencyItems() {
    static const QStringList items(SwitchingFrequencyTexts().begin(), SwitchingFrequencyTexts().end());
    return items;
}

const QStringList& TopologyItems() {
    static const QStringList items = {"Full bridge with synchronous rectifier",
                                      "Full bridge without synchronous rectifier",
                                      "Half bridge",
                                      "4 Phase",
                                      "Forward converter",
                                      "Flyback converter",
                                      "2-Switch forward converter",
                                      "Push-Pull"};
    return items;
}

QString PWMOutputName(int i) {
    static const char* names[pwm::kOutputs] = {" PWM1 (OUTA)", " PWM2 (OUTB)", " PWM3 (OUTC)", " PWM4 (OUTD)",
                                               "Sync Rect1      (SR1)", "Sync Rect2      (SR2)", " AUX  PWM"};
    return QString::fromLatin1(names[i]);
}

QString PWMDisableCaption(int i) {
    static const char* names[pwm::kOutputs] = {"OUTA", "OUTB", "OUTC", "OUTD", "SR1", "SR2", "AUX"};
    return QStringLiteral("Disable ") + QString::fromLatin1(names[i]);
}

PWMLogic::PWMLogic() {
    cmbTopology.SetItems(TopologyItems());
    cmbFreq.SetItems(SwitchingFrequencyItems());
    cmbAuxFreq.SetItems(SwitchingFrequencyItems());
    cmbTopology.SelectNone();
    cmbFreq.SelectNone();
    cmbAuxFreq.SelectNone();
    // The labels' decimals before any frequency is known: enough for one 5 ns step.
    TimeDecimals = 3;
    lblT1.fill(QStringLiteral("T1 = "));
    lblT2.fill(QStringLiteral("T2 = "));
}

void PWMLogic::Form_Load() {
    if (Shared().SavedTopologyIndex != -1) cmbTopology.Select(Shared().SavedTopologyIndex);
}

void PWMLogic::ReadPWMRegisters(int dev) {
    for (int i = 0; i < pwm::kOutputs; ++i) {
        const int n = EdgeRegister(i);
        const int timing1 = ReadRegister(dev, n);
        const int setting1 = ReadRegister(dev, n + 1);
        const int timing2 = ReadRegister(dev, n + 2);
        const int setting2 = ReadRegister(dev, n + 3);
        const int disable = ReadRegister(dev, kPinDisableRegister);
        PWMOutputRecord& out = PWMOutputs[i];
        out.Edge1 = EdgeCount(timing1, setting1);
        out.Mod1 = kModulationBit.Decode(setting1);
        out.Sign1 = kSignBit.Decode(setting1);
        out.Edge2 = EdgeCount(timing2, setting2);
        out.Mod2 = kModulationBit.Decode(setting2);
        out.Sign2 = kSignBit.Decode(setting2);
        out.Disabled = (disable >> (i + 1)) & 1;
    }
    // A code without a frequency leaves no period behind from an earlier set-up of this page: the
    // chip's counts are shown and programmed as read, not limited to a period the chip is not on.
    const int main = kMainCode.Decode(ReadRegister(dev, kSwitchingFrequencyRegister));
    if (main <= 11) {
        cmbFreq.Select(main);
        cmbFreq_Click();
        lblPWMFreq = cmbFreq.Text();
    } else {
        PeriodUnknown(cmbFreq, PWMFreqHz, PeriodUs, PeriodCounts, 0, pwm::kAux - 1);
        lblPWMFreq.clear();
    }
    const int aux = kAuxCode.Decode(ReadRegister(dev, kSwitchingFrequencyRegister));
    if (aux <= 11) {
        cmbAuxFreq.Select(aux);
        cmbAuxFreq_Click();
    } else {
        PeriodUnknown(cmbAuxFreq, AuxFreqHz, AuxPeriodUs, AuxPeriodCounts, pwm::kAux, pwm::kAux);
    }
}

void PWMLogic::PeriodUnknown(ListControl& list, float& hz, float& periodUs, long& periodCounts, int first, int last) {
    list.SelectNone();
    hz = 0;
    periodUs = 0;
    periodCounts = 0;
    for (int j = first; j <= last; ++j) lblT[j].clear();
}

bool PWMLogic::ClampEdgesToPeriod() {
    bool changed = false;
    auto clamp = [&](int i, long period) {
        if (period <= 0) return;  // no period known: the chip's counts stay as they are
        for (long* e : {&PWMOutputs[i].Edge1, &PWMOutputs[i].Edge2})
            if (*e > period) {
                *e = period;
                changed = true;
            }
    };
    for (int i = 0; i < pwm::kAux; ++i) {
        PeriodCounts = static_cast<long>(std::floor(PeriodUs * 4000.0f / 20.0f));
        clamp(i, PeriodCounts);
    }
    AuxPeriodCounts = static_cast<long>(std::floor(AuxPeriodUs * 4000.0f / 20.0f));
    clamp(pwm::kAux, AuxPeriodCounts);
    return changed;
}

void PWMLogic::SetupFormAfterLoad(int dev) {
    ReadPWMRegisters(dev);
    ClampEdgesToPeriod();
    for (int i = 0; i < pwm::kOutputs; ++i) {
        const PWMOutputRecord& out = PWMOutputs[i];
        PlaceEdge(out.Edge1, 1, i, false);
        PlaceEdge(out.Edge2, 3, i, false);
        Tick(chkDisable[i], out.Disabled);
        Tick(chkEnableT1Mod[i], out.Mod1);
        Tick(chkEnableT2Mod[i], out.Mod2);
        Tick(chkT1Sign[i], out.Sign1);
        Tick(chkT2Sign[i], out.Sign2);
    }
    const int d = DeviceIndexOf(dev);
    if (d >= 0) Shared().PWMFormOpen[d] = true;
}

void PWMLogic::Form_Unload(int dev) {
    const int d = DeviceIndexOf(dev);
    if (d >= 0) Shared().PWMFormOpen[d] = false;
}

void PWMLogic::FrequencyChosen(const ListControl& list, float& hz, float& periodUs, long& periodCounts, int first,
                               int last) {
    hz = static_cast<float>(ParseNumber(list.Text()) * 1000);
    const float inverse = 1.0f / hz;
    periodUs = static_cast<float>(static_cast<double>(inverse) * 1000000.0);
    TimeDecimals = hz < 125000 ? 3 : hz < 400000 ? 4 : 5;
    const long before = periodCounts;
    for (int j = first; j <= last; ++j) {
        lblT[j] = NumberText(RoundHalfEven(periodUs, 3)) + QStringLiteral("us");
        periodCounts = static_cast<long>(std::floor(ParseNumber(lblT[j]) * 4000 / 20));
        // The edges keep their place in the period and read the times of the new one.
        for (int edge : {1, 3}) {
            const EdgePlace& at = (edge == 1 ? rising : falling)[j];
            if (before > 0)
                MoveEdge(at.x, edge, j, false);
            else  // no earlier period to keep a place in: keep the count, inside the new period
                PlaceEdge(periodCounts > 0 ? std::min(at.count, periodCounts) : at.count, edge, j, false);
        }
    }
}

void PWMLogic::cmbFreq_Click() {
    FrequencyChosen(cmbFreq, PWMFreqHz, PeriodUs, PeriodCounts, 0, pwm::kAux - 1);
    lblPWMFreq = cmbFreq.Text();
}

void PWMLogic::cmbAuxFreq_Click() {
    FrequencyChosen(cmbAuxFreq, AuxFreqHz, AuxPeriodUs, AuxPeriodCounts, pwm::kAux, pwm::kAux);
}

bool PWMLogic::SetFrequencyText(const QString& text) {
    if (!cmbFreq.SelectText(text)) return false;
    cmbFreq_Click();
    return true;
}

void PWMLogic::ChooseAuxFreq(int index) {
    if (cmbAuxFreq.Select(index)) cmbAuxFreq_Click();
}

void PWMLogic::ChooseTopology(int index) {
    if (cmbTopology.Select(index)) ApplyTopologyPreset(cmbTopology.Text());
}

// Captions, arrows and the trace colours follow the boxes' values wherever they are shown; only
// a disable box's handler has more to do, and only when the value changes.
void PWMLogic::Tick(CheckControl& box, int value) {
    if (!box.Set(value)) return;
    for (int i = 0; i < pwm::kOutputs; ++i)
        if (&box == &chkDisable[i]) chkDisable_Click(i);
}

// The whole trace takes the new colour, a grabbed edge's line included.
void PWMLogic::chkDisable_Click(int i) { DragState[i].Recoloured(); }

QString PWMLogic::FormatMicroseconds(float count) const {
    const float v = EdgeResolutionUs * count;
    const float r = static_cast<float>(RoundHalfEven(v, TimeDecimals));
    const float fraction = r - std::floor(r);
    const QString s = NumberText(RoundHalfEven(fraction, TimeDecimals));
    const char* fill = s.size() <= 1 ? ".000" : s.size() == 2 ? "00" : s.size() == 3 ? "0" : "";
    return NumberText(r) + QString::fromLatin1(fill) + QStringLiteral("us");
}

float PWMLogic::GetEdgeCount(int i, int edge) const {
    const QString& caption = edge == 1 ? lblT1[i] : lblT2[i];
    const qsizetype eq = caption.indexOf(u'=');
    QString number = caption.mid(eq + 1);
    const qsizetype next = number.indexOf(u'=');
    if (next >= 0) number.truncate(next);
    return static_cast<float>(ParseNumber(number) / EdgeResolutionUs);
}

QString PWMLogic::SignCaption(int i, int edge) const {
    const CheckControl& box = edge == 1 ? chkT1Sign[i] : chkT2Sign[i];
    return QString::fromLatin1(box.Code() ? "Positive Modulation on" : "Inverted Modulation on") + QStringLiteral(" ") +
           EdgeName(i, edge) + QStringLiteral(" Edge");
}

void PWMLogic::MoveEdge(double x, int edge, int i, bool noLabel) {
    if (!pwm::InFirstPeriod(x)) return;
    EdgePlace& at = (edge == 1 ? rising : falling)[i];
    at.x = x;
    at.count = static_cast<long>(pwm::XToEdgeCount(x, ScaleOf(i)));
    if (!noLabel) Relabel(edge, i);
}

void PWMLogic::PlaceEdge(long count, int edge, int i, bool noLabel) {
    // Every count of the scale comes back from its X, so the label reads this count.
    const long scale = ScaleOf(i);
    MoveEdge(pwm::EdgeCountToX(std::clamp(count, 0L, scale), scale), edge, i, noLabel);
}

void PWMLogic::Relabel(int edge, int i) {
    (edge == 1 ? lblT1 : lblT2)[i] = EdgeName(i, edge) + QStringLiteral(" = ") +
                                     FormatMicroseconds(static_cast<float>((edge == 1 ? rising : falling)[i].count));
}

void PWMLogic::NudgeEdge(int i, int edge, int direction) {
    const bool aux = i >= pwm::kAux;
    QString& label = (edge == 1 ? lblT1 : lblT2)[i];
    const auto nudged = pwm::Nudge(label, edge == 1 ? 2 * i + 1 : 2 * i + 2, direction,
                                   aux ? AuxEdgeResolutionUs : EdgeResolutionUs, aux ? AuxPeriodUs : PeriodUs,
                                   TimeDecimals);
    if (!nudged) return;
    label = nudged->label;
    PlaceEdge(nudged->count, edge, i, true);
}

void PWMLogic::pctPWM_MouseDown(int i, double x) { DragState[i].MouseDown(x, RisingX(i), FallingX(i)); }

void PWMLogic::pctPWM_MouseMove(int i, double x) {
    switch (DragState[i].State()) {
    case pwm::Edge::Rising: MoveEdge(pwm::MouseX(x), 1, i, false); break;
    case pwm::Edge::Falling: MoveEdge(pwm::MouseX(x), 3, i, false); break;
    case pwm::Edge::None: MousePointer = pwm::HoverPointer(x, RisingX(i), FallingX(i)); break;
    }
}

void PWMLogic::cmdProgram_Click(int dev) {
    for (int i = 0; i < pwm::kOutputs; ++i) {
        const int n = EdgeRegister(i);
        // Counts are 12 bits: a label can never put more into the timing and setting registers.
        auto count = [&](int edge) {
            const float c = std::floor(GetEdgeCount(i, edge));
            return c > 0 ? static_cast<int>(std::min(c, 4095.0f)) : 0;
        };
        const int c1 = count(1);
        const int c2 = count(2);
        WriteRegister(dev, n, EdgeHighByte(c1));
        WriteRegister(dev, n + 2, EdgeHighByte(c2));
        const int kept1 = kKeptBits.Decode(ReadRegister(dev, n + 1));
        WriteRegister(dev, n + 1,
                      kCountLowBits.Encode(c1 & 0xF) | kModulationBit.Encode(chkEnableT1Mod[i].Code()) |
                          kSignBit.Encode(chkT1Sign[i].Code()) | kept1);
        const int kept2 = kKeptBits.Decode(ReadRegister(dev, n + 3));
        WriteRegister(dev, n + 3,
                      kCountLowBits.Encode(c2 & 0xF) | kModulationBit.Encode(chkEnableT2Mod[i].Code()) |
                          kSignBit.Encode(chkT2Sign[i].Code()) | kept2);
    }
    int disable = 1;
    for (int i = 0; i < pwm::kOutputs; ++i)
        if (chkDisable[i].Code() == 1) disable += 1 << (i + 1);
    WriteRegister(dev, kPinDisableRegister, disable);
    const int freq = ReadRegister(dev, kSwitchingFrequencyRegister);
    // With no AUX frequency shown, the chip's AUX code stays: no code without a frequency is written.
    const int aux = cmbAuxFreq.Code() >= 0 ? cmbAuxFreq.Code() : kAuxCode.Decode(freq);
    WriteRegister(dev, kSwitchingFrequencyRegister, kAuxCode.Encode(aux) | kMainCode.Encode(kMainCode.Decode(freq)));
    Shared().SavedTopologyIndex = cmbTopology.Code();
}

void PWMLogic::ApplyTopologyPreset(const QString& name) {
    const int k = static_cast<int>(cmbTopology.items.indexOf(name));
    if (k >= 0 && k <= 7) Preset(k);
}

void PWMLogic::Preset(int k) {
    // Outputs from this one on end disabled; AUX is disabled by every preset.
    static constexpr int firstDisabled[8] = {6, 4, 2, 4, 1, 1, 2, 2};
    for (int i = 0; i < pwm::kOutputs; ++i) Tick(chkDisable[i], i >= firstDisabled[k]);
    for (int i = 0; i < pwm::kAux; ++i) {
        Tick(chkEnableT1Mod[i], 0);
        Tick(chkEnableT2Mod[i], 0);
    }
    struct Mod {
        int rising;  // 1 for chkEnableT1Mod, else chkEnableT2Mod
        int output;
    };
    static const std::vector<Mod> modulated[8] = {
        {{1, 4}, {1, 5}, {2, 1}, {2, 3}}, {{2, 1}, {2, 3}}, {{2, 1}}, {{2, 0}, {2, 1}, {2, 2}, {2, 3}},
        {{2, 0}},                         {{2, 0}},         {{2, 0}, {2, 1}}, {{2, 0}, {2, 1}}};
    for (const Mod& m : modulated[k]) Tick((m.rising == 1 ? chkEnableT1Mod : chkEnableT2Mod)[m.output], 1);

    // Edge places in quarters of the period: 0, P/4, P/2, 3P/4, P.
    const long p = PeriodCounts;
    const long at[5] = {0, static_cast<long>(RoundHalfEven(p / 4.0, 0)), static_cast<long>(RoundHalfEven(p / 2.0, 0)),
                        static_cast<long>(RoundHalfEven((3.0 * p) / 4.0, 0)), p};
    struct Place {
        int rise, fall;  // quarters
    };
    static const std::vector<Place> placed[8] = {
        {{0, 2}, {2, 3}, {2, 4}, {0, 1}, {3, 2}, {1, 4}},
        {{0, 2}, {2, 3}, {2, 4}, {0, 1}},
        {{0, 2}, {0, 1}},
        {{0, 1}, {1, 2}, {2, 3}, {3, 4}},
        {{0, 2}},
        {{0, 2}},
        {{0, 2}, {0, 2}},
        {{0, 2}, {2, 4}}};
    for (size_t i = 0; i < placed[k].size(); ++i) {
        const int out = static_cast<int>(i);
        PlaceEdge(at[placed[k][i].rise], 1, out, false);
        PlaceEdge(at[placed[k][i].fall], 3, out, false);
    }
}

pwm::OutputView PWMLogic::View(int i) const {
    pwm::OutputView v;
    v.output = i;
    v.risingX = rising[i].x;
    v.fallingX = falling[i].x;
    v.disabled = chkDisable[i].Code() == 1;
    v.modRising = chkEnableT1Mod[i].Code() == 1;
    v.modFalling = chkEnableT2Mod[i].Code() == 1;
    v.grabbed = DragState[i].State();
    v.grabGreen = DragState[i].Green();
    v.periodLabel = lblT[i];
    v.risingLabel = lblT1[i];
    v.fallingLabel = lblT2[i];
    return v;
}
