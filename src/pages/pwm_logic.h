#pragma once
// The PWM output page without widgets: the seven outputs' edges (counts of 5 ns), modulation and
// disable settings, the main and AUX frequencies, the timing diagram's edits, the topology presets
// and Program. Nothing reaches the chip but set-up's reads and Program.
#include "pages/pwm_diagram.h"
#include "pages/register_field.h"
#include "registers/switching_frequency.h"

#include <array>

// The twelve switching-frequency texts; the position is the code in register 0x5D.
const QStringList& SwitchingFrequencyItems();
const QStringList& TopologyItems();
// Output names beside the diagrams and the disable boxes' captions.
QString PWMOutputName(int i);
QString PWMDisableCaption(int i);


struct PWMOutputRecord {
    long Edge1 = 0;
    bool Mod1 = false;
    bool Sign1 = false;
    long Edge2 = 0;
    bool Mod2 = false;
    bool Sign2 = false;
    bool Disabled = false;
};

class PWMLogic {
public:
    PWMLogic();

    ListControl cmbTopology, cmbFreq, cmbAuxFreq;
    std::array<CheckControl, pwm::kOutputs> chkDisable, chkEnableT1Mod, chkEnableT2Mod, chkT1Sign, chkT2Sign;
    QString lblPWMFreq;
    std::array<QString, pwm::kOutputs> lblT, lblT1, lblT2;
    // Where an edge stands on the diagram. The X is the state: a frequency change keeps it and only
    // relabels, a drag leaves the line at the mouse, so no rounding piles up. The count is what the
    // edge's label reads, as Program writes it; without a period the edges stand on the scale of
    // every count a register holds (pwm::DiagramScale).
    struct EdgePlace {
        double x = pwm::kStartX;
        long count = 0;
    };
    std::array<EdgePlace, pwm::kOutputs> rising{}, falling{};
    std::array<pwm::EdgeDrag, pwm::kOutputs> DragState;
    pwm::Pointer MousePointer = pwm::Pointer::Default;

    std::array<PWMOutputRecord, pwm::kOutputs> PWMOutputs{};
    float PWMFreqHz = 0, PeriodUs = 0, EdgeResolutionUs = 0.005f;
    long PeriodCounts = 0;
    float AuxFreqHz = 0, AuxPeriodUs = 0, AuxEdgeResolutionUs = 0.005f;
    long AuxPeriodCounts = 0;
    int TimeDecimals = 0;

    // Preselects the topology remembered by the last Program of the run; runs no preset.
    void Form_Load();
    void SetupFormAfterLoad(int dev);
    void Form_Unload(int dev);
    // 30 writes and 15 reads; remembers the chosen topology for pages loaded later.
    void cmdProgram_Click(int dev);

    // The filter designer's choice of main frequency: selects the text, relabels the edges.
    bool SetFrequencyText(const QString& text);
    // The user's choices.
    void ChooseAuxFreq(int index);
    void ChooseTopology(int index);
    void Tick(CheckControl& box, int value);

    // The diagram of output i: X in twips of its picture.
    void pctPWM_MouseDown(int i, double x);
    void pctPWM_MouseMove(int i, double x);
    void Form_MouseMove() { MousePointer = pwm::Pointer::Default; }
    void cmdRisingLeft_Click(int i) { NudgeEdge(i, 1, -1); }
    void cmdRisingRight_Click(int i) { NudgeEdge(i, 1, +1); }
    void cmdFallingLeft_Click(int i) { NudgeEdge(i, 3, -1); }
    void cmdFallingRight_Click(int i) { NudgeEdge(i, 3, +1); }

    void ApplyTopologyPreset(const QString& name);

    QString FormatMicroseconds(float count) const;
    float GetEdgeCount(int i, int edge) const;
    // "Positive Modulation on T1 Edge" / "Inverted Modulation on T4 Edge", as the box shows.
    QString SignCaption(int i, int edge) const;
    long PeriodCountsOf(int i) const { return i >= pwm::kAux ? AuxPeriodCounts : PeriodCounts; }
    long ScaleOf(int i) const { return pwm::DiagramScale(PeriodCountsOf(i)); }
    double RisingX(int i) const { return rising[i].x; }
    double FallingX(int i) const { return falling[i].x; }
    pwm::OutputView View(int i) const;

private:
    void ReadPWMRegisters(int dev);
    bool ClampEdgesToPeriod();
    void cmbFreq_Click();
    void cmbAuxFreq_Click();
    void FrequencyChosen(const ListControl& list, float& hz, float& periodUs, long& periodCounts, int first, int last);
    void PeriodUnknown(ListControl& list, float& hz, float& periodUs, long& periodCounts, int first, int last);
    // Puts an edge (1 rising, 3 falling) at X inside the first period, relabelled unless noLabel.
    void MoveEdge(double x, int edge, int i, bool noLabel);
    // Puts an edge at the X of a count (set-up, presets, nudges).
    void PlaceEdge(long count, int edge, int i, bool noLabel);
    void Relabel(int edge, int i);
    void chkDisable_Click(int i);
    void NudgeEdge(int i, int edge, int direction);
    void Preset(int k);
};
