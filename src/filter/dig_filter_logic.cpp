#include "filter/dig_filter_logic.h"

#include "core/numbers.h"
#include "core/run_state.h"

#include <cmath>
#include <limits>

namespace {

struct BoxInfo {
    const char* name;
    const char* caption;
};
constexpr BoxInfo kBoxes[kModelBoxCount] = {
    {"txtL(0)", "L1 (uH)"},        {"txtL(1)", "L2 (uH)"},        {"txtC(0)", "C1(uF)"},
    {"txtC(1)", "C2 (uF)"},        {"txtC3", "C3 (uF)"},          {"txtC4", "C4 (uF)"},
    {"txtESR(0)", "ESR1 (m\u03A9)"}, {"txtESR(1)", "ESR2 (m\u03A9)"}, {"txtRL", "Rload (Ohm)"},
    {"txtVin", "Vin(V)"},          {"txtD", "Duty %"},            {"txtN1", "N1  :  N2"},
    {"txtN2", ""},                 {"txtR3", "R3 (k\u03A9)"},     {"txtR4", "R4 (k\u03A9)"},
};

// The order the set-up fills the boxes in.
constexpr ModelBox kDisplayOrder[] = {ModelBox::L1,   ModelBox::L2,   ModelBox::C1, ModelBox::C2, ModelBox::C3,
                                      ModelBox::C4,   ModelBox::ESR1, ModelBox::ESR2, ModelBox::RL, ModelBox::R3,
                                      ModelBox::R4,   ModelBox::Vin,  ModelBox::N1, ModelBox::N2, ModelBox::Duty};

size_t I(ModelBox box) { return static_cast<size_t>(box); }

bool FitsSingle(double v) { return std::fabs(v) <= std::numeric_limits<float>::max(); }


bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }
bool IsHexDigit(QChar c) { return IsDigit(c) || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); }

}  // namespace

QString ModelBoxName(ModelBox box) { return QString::fromLatin1(kBoxes[I(box)].name); }
QString ModelBoxCaption(ModelBox box) { return QString::fromUtf8(kBoxes[I(box)].caption); }

float& ModelField(LoopModelInputs& in, ModelBox box) {
    switch (box) {
    case ModelBox::L1: return in.L[0];
    case ModelBox::L2: return in.L[1];
    case ModelBox::C1: return in.C[0];
    case ModelBox::C2: return in.C[1];
    case ModelBox::C3: return in.C[2];
    case ModelBox::C4: return in.C[3];
    case ModelBox::ESR1: return in.ESR[0];
    case ModelBox::ESR2: return in.ESR[1];
    case ModelBox::RL: return in.RL;
    case ModelBox::Vin: return in.Vin;
    case ModelBox::Duty: return in.Duty;
    case ModelBox::N1: return in.N1;
    case ModelBox::N2: return in.N2;
    case ModelBox::R3: return in.R3;
    case ModelBox::R4: return in.R4;
    case ModelBox::Count: break;
    }
    return in.RL;
}

bool IsNumericText(const QString& text) {
    qsizetype i = 0, n = text.size();
    while (i < n && IsBlank(text[i])) ++i;
    while (n > i && IsBlank(text[n - 1])) --n;
    if (i == n) return false;
    const QString body = text.mid(i, n - i);
    qsizetype k = 0;
    const qsizetype m = body.size();
    if (m > 2 && body[0] == u'&' && (body[1] == u'H' || body[1] == u'h')) {
        for (k = 2; k < m; ++k)
            if (!IsHexDigit(body[k])) return false;
    } else {
        if (body[k] == u'+' || body[k] == u'-') ++k;
        bool digits = false;
        while (k < m && IsDigit(body[k])) ++k, digits = true;
        if (k < m && body[k] == u'.') {
            ++k;
            while (k < m && IsDigit(body[k])) ++k, digits = true;
        }
        if (!digits) return false;
        if (k < m && (body[k] == u'e' || body[k] == u'E')) {
            ++k;
            if (k < m && (body[k] == u'+' || body[k] == u'-')) ++k;
            bool expDigits = false;
            while (k < m && IsDigit(body[k])) ++k, expDigits = true;
            if (!expDigits) return false;
        }
        if (k != m) return false;
    }
    return FitsSingle(ParseNumber(body));
}

int TopologyOf(bool l2c2, bool c3c4) {
    if (!l2c2 && !c3c4) return 1;
    if (l2c2 && !c3c4) return 2;
    if (!l2c2) return 3;
    return 4;
}

DigFilterLogic::DigFilterLogic() {
    Plot.Set = &ShownSet();
    Registers.FrequencyItemSelected = [this] { cmbFreq_Click(); };
    Registers.HideWindow = [this] { Hide(); };
    Registers.UpdateFilterMarkers = [this] { UpdateFilterMarkers(); };
}

LoopModelInputs& DigFilterLogic::Model() { return Shared().Devices[static_cast<size_t>(DeviceIndex)].LoopModel; }

ModelInputs DigFilterLogic::CurrentModelInputs() const {
    auto v = [this](ModelBox b) { return Value[I(b)]; };
    ModelInputs m;
    m.L1 = v(ModelBox::L1);
    m.L2 = v(ModelBox::L2);
    m.C1 = v(ModelBox::C1);
    m.C2 = v(ModelBox::C2);
    m.C3 = v(ModelBox::C3);
    m.C4 = v(ModelBox::C4);
    m.ESR1 = v(ModelBox::ESR1);
    m.ESR2 = v(ModelBox::ESR2);
    m.RL = v(ModelBox::RL);
    m.Vin = v(ModelBox::Vin);
    m.Duty = v(ModelBox::Duty);
    m.N1 = v(ModelBox::N1);
    m.N2 = v(ModelBox::N2);
    m.R3 = v(ModelBox::R3);
    m.R4 = v(ModelBox::R4);
    m.FreqKHz = ParseNumber(Registers.FreqText());
    return m;
}

void DigFilterLogic::Form_Load() { Plot.Grid = SetupPlotGrid(); }

bool DigFilterLogic::SetupFormAfterLoad(int32_t address) {
    DevAddr = address;
    Registers.DevAddr = address;
    DeviceIndex = address == Shared().DeviceAddress[0] ? 0 : 1;
    InputsReady = false;
    C3C4EditEnabled = false;
    Plot.Grid = SetupPlotGrid();
    DrawGainRanges();
    FilterMode = 0;
    Plot.Set = &ShownSet();
    DisplayComponentValues();
    InputsReady = true;
    Registers.ReadSwitchingFrequency();
    DrawPoleZeroRange();
    Registers.ReadCCMDCMThreshold();
    Registers.ReadFilterSet(0);
    Registers.ReadFilterSet(1);
    if (!Registers.ValidateFilterSet(0, Plot.Grid)) {
        cmdCancel_Click();
        return false;
    }
    Show();
    UpdateFilterMarkers();
    RedrawPlot();  // also the phase-margin label
    switch (Shared().PowerStageTopology) {
    case 1:
        SetL2C2(false);
        SetC3C4(false);
        chkL2C2_Click();
        chkC3C4_Click();
        break;
    case 2:
        SetL2C2(true);
        SetC3C4(false);
        chkC3C4_Click();
        break;
    case 3:
        SetL2C2(false);
        SetC3C4(true);
        chkL2C2_Click();
        break;
    case 4:
        SetL2C2(true);
        SetC3C4(true);
        break;
    default: break;
    }
    C3C4EditEnabled = true;
    return true;
}

void DigFilterLogic::DisplayComponentValues() {
    LoopModelInputs& m = Model();
    for (ModelBox b : kDisplayOrder) ShowText(b, NumberText(ModelField(m, b)));
}

void DigFilterLogic::SetText(ModelBox box, const QString& text) {
    if (box == ModelBox::Count || Text[I(box)] == text) return;
    Text[I(box)] = text;
    TextChanged(box);
}

void DigFilterLogic::ShowText(ModelBox box, const QString& text) {
    SetText(box, text);
    if (box != ModelBox::Count) editStart_[I(box)] = Value[I(box)];
}

void DigFilterLogic::FinishEdit(ModelBox box) {
    if (box != ModelBox::Count) editStart_[I(box)] = Value[I(box)];
}

void DigFilterLogic::TextChanged(ModelBox box) {
    const QString& text = Text[I(box)];
    const double v = ParseNumber(text);
    const bool accepted = std::isfinite(v) && FitsSingle(v);
    const double before = Value[I(box)];
    // Falling back to the value from before the typing, not to the last keystroke's: that was
    // only a prefix of the refused text.
    Value[I(box)] = accepted ? v : editStart_[I(box)];
    Refused[I(box)] = !accepted;
    // Hidden, C3 and C4 still take part in the curves with the texts they show, while the
    // record keeps the values of the stage until the set-up is over.
    if ((box == ModelBox::C3 || box == ModelBox::C4) && !C3C4EditEnabled) return;
    ModelField(Model(), box) = static_cast<float>(Value[I(box)]);
    if (!InputsReady) return;
    if (IsNumericText(text) || (!accepted && Value[I(box)] != before)) RedrawPlot();
}

void DigFilterLogic::SetL2C2(bool ticked) {
    if (chkL2C2 == ticked) return;
    chkL2C2 = ticked;
    chkL2C2_Click();
}

void DigFilterLogic::SetC3C4(bool ticked) {
    if (chkC3C4 == ticked) return;
    chkC3C4 = ticked;
    chkC3C4_Click();
}

void DigFilterLogic::chkL2C2_Click() {
    Model().L2C2Enabled = chkL2C2;
    SetPowerStageTopology(TopologyOf(chkL2C2, chkC3C4));
}

void DigFilterLogic::chkC3C4_Click() {
    Model().C3C4Enabled = chkC3C4;
    SetPowerStageTopology(TopologyOf(chkL2C2, chkC3C4));
}

void DigFilterLogic::SetPowerStageTopology(int n) {
    if (n < 1 || n > 4) return;
    PictureTopology = n;
    if (ShowPowerStage) ShowPowerStage(n);
    StageTwoVisible = n == 2 || n == 4;
    if (!StageTwoVisible) {
        ShowText(ModelBox::L2, QStringLiteral("0"));
        ShowText(ModelBox::C2, QStringLiteral("0"));
        ShowText(ModelBox::ESR2, QStringLiteral("10000000"));
    }
    C3C4Visible = n == 3 || n == 4;
    if (C3C4Visible) {
        ShowText(ModelBox::C3, NumberText(Model().C[2]));
        ShowText(ModelBox::C4, NumberText(Model().C[3]));
    } else {
        ShowText(ModelBox::C3, QStringLiteral("0"));
        ShowText(ModelBox::C4, QStringLiteral("0"));
    }
    Shared().PowerStageTopology = n;
}

void DigFilterLogic::ChooseFrequency(int code) {
    if (code < 0 || code >= kFrequencyCount) return;
    Registers.FreqCode = code;
    Registers.FrequencyChosen = true;
    cmbFreq_Click();
}

void DigFilterLogic::cmbFreq_Click() {
    Shared().SwitchingFrequencyHz = static_cast<float>(ParseNumber(Registers.FreqText()) * 1000);
    DrawPoleZeroRange();
    Registers.ReadFilterSet(0);
    Registers.ReadFilterSet(1);
    UpdateFilterMarkers();
    RedrawPlot();
    DrawGainRanges();
    const int device = Shared().DeviceCount == 1 ? 0 : DeviceIndex;
    if (Shared().PWMFormOpen[static_cast<size_t>(device)] && HandFrequencyToPwmPage)
        HandFrequencyToPwmPage(device, Registers.FreqText());
}

void DigFilterLogic::optFilterMode_Click(int index) {
    if (index != 0 && index != 1) return;
    FilterMode = index;
    Plot.Set = &ShownSet();
    if (Registers.ValidateFilterSet(index, Plot.Grid)) {
        Show();
        RedrawPlot();
    }
}

void DigFilterLogic::SetLegend(LegendBox box, bool ticked) {
    bool* b = nullptr;
    switch (box) {
    case LegendBox::DigFilter: b = &Legend.DigFilter; break;
    case LegendBox::DigFilterPhase: b = &Legend.DigFilterPhase; break;
    case LegendBox::LCFilter: b = &Legend.LCFilter; break;
    case LegendBox::LCFilterPhase: b = &Legend.LCFilterPhase; break;
    case LegendBox::FullLoop: b = &Legend.FullLoop; break;
    case LegendBox::FullLoopPhase: b = &Legend.FullLoopPhase; break;
    case LegendBox::FB: b = &Legend.FB; break;
    case LegendBox::FBPhase: b = &Legend.FBPhase; break;
    }
    if (!b || *b == ticked) return;
    *b = ticked;
    LegendClicked(box);
}

void DigFilterLogic::LegendClicked(LegendBox box) {
    if (box == LegendBox::DigFilter) {
        FilterMarksVisible = Legend.DigFilter;
        Plot.DigFilterShown = Legend.DigFilter;
        CaptionsVisible = Legend.DigFilter && chkShowLabels;
    }
    RedrawPlot();
}

void DigFilterLogic::SetShowLabels(bool ticked) {
    if (chkShowLabels == ticked) return;
    chkShowLabels = ticked;
    CaptionsVisible = chkShowLabels && FilterMarksVisible;
}

void DigFilterLogic::cmdCancel_Click() {
    Visible = false;
    if (UnloadWindow) UnloadWindow();
}

void DigFilterLogic::pctFilter_MouseDown(float X, float Y) {
    const int dropped = Drag.MouseDown(X, Y);
    for (int i = 0; i < dropped; ++i) RedrawPlot();
}

void DigFilterLogic::pctFilter_MouseMove(float X, float Y) { Drag.MouseMove(X, Y); }

void DigFilterLogic::RedrawPlot() {
    ++RedrawCount;
    const ModelInputs in = CurrentModelInputs();
    Curves = PlotCurves(Plot.Grid, in, ShownSet(), Legend);
    const LoopMargins lm = ComputeLoopMargins(in, ShownSet());
    if (!lm.BandwidthText.isEmpty()) lblLoopBandwidth = lm.BandwidthText;
    lblLoopPhaseMargin = lm.PhaseMarginText + QStringLiteral("\u00B0");
}

void DigFilterLogic::UpdateFilterMarkers() { ::UpdateFilterMarkers(Plot.Grid, Plot.Markers, ShownSet()); }

void DigFilterLogic::DrawPoleZeroRange() {
    if (const auto r = PoleZeroRangeFor(Plot.Grid, Registers.FreqCode)) Plot.PoleZero = *r;
}

void DigFilterLogic::DrawGainRanges() { Plot.Gains = GainRangesFor(Plot.Grid, Registers.FreqCode); }

void DigFilterLogic::Show() {
    Visible = true;
    if (ShowWindow) ShowWindow();
}

void DigFilterLogic::Hide() {
    Visible = false;
    if (HideWindow) HideWindow();
}
