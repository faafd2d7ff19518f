#include "filter/filter_registers.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "filter/bode_grid.h"
#include "link/platform.h"
#include "link/register_access.h"

namespace {

void WriteCode(int32_t dev, int32_t reg, std::optional<int> code) {
    if (code) WriteRegister(dev, reg, *code);
}

}  // namespace

float CurrentSwitchingFrequency() { return static_cast<float>(Shared().SwitchingFrequencyHz); }

bool RescalePWMEdges(int32_t DevAddr, int oldCode, float newHz) {
    // Without both frequencies there is no ratio: dividing by nothing would clear the edges.
    if (oldCode < 0 || oldCode >= kFrequencyCount || !(newHz > 0)) return false;
    const float fOld = SwitchingFrequencyOfCode(oldCode);
    for (int k = 0; k < kPwmOutputs; ++k) {
        const int32_t n = EdgeRegister(k);
        const int a = ReadRegister(DevAddr, n);
        const int b = ReadRegister(DevAddr, n + 1);
        const int c = ReadRegister(DevAddr, n + 2);
        const int d = ReadRegister(DevAddr, n + 3);
        const int e1 = RescaleEdgeCount(fOld, EdgeCount(a, b), newHz);
        const int e2 = RescaleEdgeCount(fOld, EdgeCount(c, d), newHz);
        WriteRegister(DevAddr, n, EdgeHighByte(e1));
        WriteRegister(DevAddr, n + 1, EdgeLowByte(e1, b));
        WriteRegister(DevAddr, n + 2, EdgeHighByte(e2));
        WriteRegister(DevAddr, n + 3, EdgeLowByte(e2, d));
    }
    return true;
}

float FilterRegisterLogic::PageFrequency() const {
    // Never the shared value: another device's page may have set it to its own chip's frequency.
    return SwitchingFrequencyOfCode(FreqCode);
}

QString FilterRegisterLogic::FreqText() const {
    return FreqCode >= 0 && FreqCode < kFrequencyCount ? SwitchingFrequencyTexts()[static_cast<size_t>(FreqCode)]
                                                       : QString();
}

QString FilterRegisterLogic::ThresholdText() const {
    return ThresholdCode >= 0 && ThresholdCode < kThresholdCount ? ThresholdTexts()[static_cast<size_t>(ThresholdCode)]
                                                                 : QString();
}

void FilterRegisterLogic::ChooseFrequency(int code) {
    FreqCode = code;
    FrequencyChosen = FreqCode >= 0 && FreqCode < kFrequencyCount;
    Shared().SwitchingFrequencyHz = static_cast<float>(ParseNumber(FreqText()) * 1000);
    ReadFilterSet(0);
    ReadFilterSet(1);
}

void FilterRegisterLogic::ReadSwitchingFrequency() {
    const int c = ReadRegister(DevAddr, kSwitchingFrequencyRegister) & 15;
    FrequencyChosen = false;
    if (c < kFrequencyCount) {
        FreqCode = c;
        if (FrequencyItemSelected) FrequencyItemSelected();
        Shared().SwitchingFrequencyHz = static_cast<float>(ParseNumber(FreqText()) * 1000);
    }
}

void FilterRegisterLogic::ReadCCMDCMThreshold() {
    ThresholdCode = ReadRegister(DevAddr, kThresholdRegister) & 7;
}

void FilterRegisterLogic::ReadFilterSet(int m) {
    if (m != 0 && m != 1) return;
    const int zero = ReadRegister(DevAddr, ZeroRegister(m));
    const int pole = ReadRegister(DevAddr, PoleRegister(m));
    const int lf = ReadRegister(DevAddr, LFGainRegister(m));
    const int hf = ReadRegister(DevAddr, HFGainRegister(m));
    Sets[static_cast<size_t>(m)] = FilterSetFromCodes(lf, zero, pole, hf, PageFrequency());
}

QString FilterRegisterLogic::UnlistedFrequencyMessage() {
    return QStringLiteral("The chip runs at a switching frequency that the list does not hold: its switching "
                          "frequency, PWM edges and digital filter settings were left as they are.");
}

QString FilterRegisterLogic::UnscaledEdgesMessage() {
    return QStringLiteral("The chip ran at a switching frequency that the list does not hold: the chosen switching "
                          "frequency and the digital filter settings were written, but the PWM edges were left "
                          "unscaled. Check them on the PWM page.");
}

QString FilterRegisterLogic::InvalidSetMessage(int m) {
    return QStringLiteral("The ") + (m == 0 ? QStringLiteral("CCM") : QStringLiteral("DCM")) +
           QStringLiteral(" Digital Filter settings are invalid\r\nClick OK to program default values.");
}

bool FilterRegisterLogic::ValidateFilterSet(int m, const BodeGrid& grid) {
    if (m != 0 && m != 1) return false;
    // With no switching frequency every corner reads as 0 Hz: the set cannot be judged, and
    // offering the defaults would overwrite what may be a sound filter.
    if (!(PageFrequency() > 0) || IsFilterSetValid(grid, Sets[static_cast<size_t>(m)])) {
        if (UpdateFilterMarkers) UpdateFilterMarkers();
        return true;
    }
    if (HideWindow) HideWindow();
    if (MsgBox(InvalidSetMessage(m), MsgButtons::OKCancel) != MsgResult::OK) return false;
    WriteRegister(DevAddr, LFGainRegister(m), kDefaultLFCode);
    WriteRegister(DevAddr, ZeroRegister(m), kDefaultZeroCode);
    WriteRegister(DevAddr, PoleRegister(m), kDefaultPoleCode);
    WriteRegister(DevAddr, HFGainRegister(m), kDefaultHFCode);
    ReadFilterSet(m);
    if (UpdateFilterMarkers) UpdateFilterMarkers();
    return true;
}

void FilterRegisterLogic::cmdApply_Click() {
    const int v = ReadRegister(DevAddr, kSwitchingFrequencyRegister);
    // This page's own frequency: another device's page may have set the shared value since.
    const float fs = PageFrequency();
    // A chip running at a frequency no list item names gives no ratio for its edges, and its
    // filter codes mean corners this page cannot know. Only a frequency the user chose here
    // brings it back to one the list holds, with the filter drawn at that frequency.
    const bool chipFrequencyKnown = (v & 15) < kFrequencyCount;
    const bool takesChosenFrequency = !chipFrequencyKnown && FrequencyChosen && fs > 0;
    if (chipFrequencyKnown) RescalePWMEdges(DevAddr, v & 15, fs);
    // With no frequency chosen the frequency bits stay as they are rather than taking a code
    // the chip has no frequency for; likewise the threshold's neighbour bit 3.
    if ((chipFrequencyKnown && fs > 0) || takesChosenFrequency)
        WriteRegister(DevAddr, kSwitchingFrequencyRegister, (v & 0xF0) | FreqCode);
    const int t = ReadRegister(DevAddr, kThresholdRegister) & 0xF8;
    if (ThresholdCode >= 0 && ThresholdCode < kThresholdCount)
        WriteRegister(DevAddr, kThresholdRegister, t | ThresholdCode);
    const int w = ReadRegister(DevAddr, kPinDisableRegister);
    WriteRegister(DevAddr, kPinDisableRegister, w | 1);
    if (!chipFrequencyKnown && !takesChosenFrequency) {
        // Say so: the user may have dragged a new filter that this Apply cannot program.
        MsgBox(UnlistedFrequencyMessage(), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!(fs > 0)) return;  // no half-written filter either
    Shared().SwitchingFrequencyHz = fs;
    for (int m = 0; m < 2; ++m) {
        const FilterSet& s = Sets[static_cast<size_t>(m)];
        WriteCode(DevAddr, PoleRegister(m), CornerFreqToCode(s.Pole, fs));
        WriteCode(DevAddr, ZeroRegister(m), CornerFreqToCode(s.Zero, fs));
        WriteCode(DevAddr, HFGainRegister(m), HighFreqGainToCode(s.HFGain, s.Pole, s.Zero, fs));
        WriteCode(DevAddr, LFGainRegister(m), LowFreqGainToCode(s.LFGain));
    }
    if (takesChosenFrequency) MsgBox(UnscaledEdgesMessage(), MsgButtons::OK, MsgIcon::Exclamation);
}
