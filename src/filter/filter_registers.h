#pragma once
// The register side of the filter page without its widgets: reading the switching frequency, the
// CCM/DCM threshold and both filter sets from the chip, the validity test with its offer of
// defaults, and Apply. The page mirrors its two lists in FreqCode and ThresholdCode and hands in
// the hooks for what only it can do.
#include "filter/filter_codes.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

struct BodeGrid;

// Moves every PWM edge (outputs 0 to 6, AUX included) to the same fraction of the period at
// newHz that it had at the frequency of oldCode, keeping each setting byte's low nibble. Leaves
// the edges alone, and returns false, when either frequency is unknown (a code of 12 to 15, or
// no new frequency).
bool RescalePWMEdges(int32_t DevAddr, int oldCode, float newHz);

class FilterRegisterLogic {
public:
    explicit FilterRegisterLogic(int32_t devAddr = 0) : DevAddr(devAddr) {}

    // The frequency of this page's own list choice, 0 while it has none. The sets are read and
    // written at it, whatever another device's page has set the shared frequency to.
    float PageFrequency() const;

    int32_t DevAddr;
    std::array<FilterSet, 2> Sets{};      // FilterSet(0) CCM, FilterSet(1) DCM
    int FreqCode = kFrequencyCount;       // cmbFreq's index; kFrequencyCount: nothing chosen
    // FreqCode is the user's own pick from the list since the chip was last read, not the chip's.
    bool FrequencyChosen = false;
    int ThresholdCode = kThresholdCount;  // cmbCCMDCM's index; kThresholdCount: nothing chosen

    // Run where the page's own handlers would: selecting a frequency item from code raises the
    // list's click; a refused set hides the window; a valid or defaulted set places the markers.
    std::function<void()> FrequencyItemSelected;
    std::function<void()> HideWindow;
    std::function<void()> UpdateFilterMarkers;

    QString FreqText() const;       // the list's text, empty with nothing chosen
    QString ThresholdText() const;

    // The register side of choosing a frequency: the shared frequency, then both sets read again
    // (edits not applied are lost). Nothing is written.
    void ChooseFrequency(int code);

    // Register 0x5D bits 3:0 into FreqCode and the shared frequency; a code with no entry leaves
    // both. The page lays its pole/zero range out afterwards in either case. Either way the list
    // now shows no choice of the user's.
    void ReadSwitchingFrequency();
    void ReadCCMDCMThreshold();
    // Set m's codes as values at PageFrequency.
    void ReadFilterSet(int m);
    // True when set m is usable, after the user let defaults be programmed if it was not.
    bool ValidateFilterSet(int m, const BodeGrid& grid);
    // Edges, frequency, threshold, pin-disable bit, then both sets at PageFrequency. A chip whose
    // frequency code names no list item has no old period to rescale its edges from: once the
    // user has chosen a frequency here it takes that frequency and both sets with its edges left
    // as they are; without a choice it keeps its frequency bits, edges and filter registers.
    // Either way the user is told.
    void cmdApply_Click();

    static QString InvalidSetMessage(int m);
    static QString UnlistedFrequencyMessage();
    static QString UnscaledEdgesMessage();
};

// The shared switching frequency in Hz, in single precision; 0 until a page has set it.
float CurrentSwitchingFrequency();
