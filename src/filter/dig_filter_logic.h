#pragma once
// The loop filter designer page without its widgets: the power-stage model inputs and their
// text boxes, the set-up order, the switching-frequency, threshold and filter-mode choices, the
// legend check boxes, the marker drags, Apply and Close. The widget shows this state and
// forwards the user's actions; the hooks run what only the window can do.
#include "filter/bode_grid.h"
#include "filter/filter_markers.h"
#include "filter/filter_registers.h"
#include "filter/loop_models.h"
#include "filter/marker_drag.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

struct LoopModelInputs;

// The model text boxes, in the order of the inputs record.
enum class ModelBox { L1, L2, C1, C2, C3, C4, ESR1, ESR2, RL, Vin, Duty, N1, N2, R3, R4, Count };
inline constexpr int kModelBoxCount = static_cast<int>(ModelBox::Count);

// Control name and label caption of a box ("txtL(0)", "L1 (uH)"); N2 shares N1's label.
QString ModelBoxName(ModelBox box);
QString ModelBoxCaption(ModelBox box);
float& ModelField(LoopModelInputs& in, ModelBox box);

// A text that is a number as a whole (blanks around it allowed) and fits single precision.
bool IsNumericText(const QString& text);

// The legend check boxes of the "Enable Plot" frame.
enum class LegendBox { DigFilter, DigFilterPhase, LCFilter, LCFilterPhase, FullLoop, FullLoopPhase, FB, FBPhase };

// The power-stage variant: 1 single LC stage, 2 with L2/C2, 3 with C3/C4, 4 with both.
int TopologyOf(bool l2c2, bool c3c4);

class DigFilterLogic {
public:
    DigFilterLogic();

    FilterRegisterLogic Registers;
    MarkerPlot Plot;
    MarkerDrag Drag{Plot};

    bool InputsReady = false;      // text changes redraw only while set
    bool C3C4EditEnabled = false;  // C3 and C4 reach the model only while set
    int FilterMode = 0;            // 0 the CCM set, 1 the DCM set

    std::array<QString, kModelBoxCount> Text;  // the model text boxes
    // The value in use of each box: what the curves and margins read and, in single precision,
    // what the record holds. A text beyond single precision is refused whole: the box keeps the
    // value it had before the user began typing it, and Refused says so until it is a number again.
    std::array<double, kModelBoxCount> Value{};
    std::array<bool, kModelBoxCount> Refused{};
    bool StageTwoVisible = false;              // L2, C2, ESR2 and their labels
    bool C3C4Visible = false;                  // C3, C4 and their labels
    bool chkL2C2 = false, chkC3C4 = false;
    int PictureTopology = 0;                   // the power-stage variant shown; 0 before the first

    CurveSelection Legend;
    bool chkShowLabels = false;
    bool FilterMarksVisible = true;  // asymptotes, markers and range marks (chkDigFilter)
    bool CaptionsVisible = false;    // lblPolePos, lblZeroPos, lblLowGainPos

    std::vector<BodeCurve> Curves;
    QString lblLoopBandwidth, lblLoopPhaseMargin;
    int RedrawCount = 0;

    int32_t DevAddr = 0;
    int DeviceIndex = 0;  // 0 for the first device's address, else 1
    bool Visible = false;

    std::function<void()> ShowWindow;
    std::function<void()> HideWindow;
    std::function<void()> UnloadWindow;
    // Hands the frequency text to device i's open PWM page.
    std::function<void(int device, const QString& text)> HandFrequencyToPwmPage;
    std::function<void(int topology)> ShowPowerStage;

    FilterSet& ShownSet() { return Registers.Sets[FilterMode == 1 ? 1 : 0]; }
    LoopModelInputs& Model();
    // What the curves read: the boxes' values in use and the frequency list's text.
    ModelInputs CurrentModelInputs() const;

    void Form_Load();
    // Runs the whole set-up for the page whose caption carries this address. False when the
    // user refused the filter set's defaults and the page was unloaded.
    bool SetupFormAfterLoad(int32_t address);
    void DisplayComponentValues();

    // A box's text set by the user or by code; a change runs the box's change handler.
    void SetText(ModelBox box, const QString& text);
    // The user left the box or pressed Enter: its value in use is where a later refused text
    // falls back to.
    void FinishEdit(ModelBox box);
    // A check box set by the user or by code; a change runs its click handler.
    void SetL2C2(bool ticked);
    void SetC3C4(bool ticked);
    void chkL2C2_Click();
    void chkC3C4_Click();
    void SetPowerStageTopology(int n);

    // The user picks a list item.
    void ChooseFrequency(int code);
    void ChooseThreshold(int code) { Registers.ThresholdCode = code; }
    void cmbFreq_Click();
    void optFilterMode_Click(int index);
    void SetLegend(LegendBox box, bool ticked);
    void SetShowLabels(bool ticked);
    void cmdApply_Click() { Registers.cmdApply_Click(); }
    void cmdCancel_Click();

    // The plot picture's mouse, in twips of the picture.
    void pctFilter_MouseDown(float X, float Y);
    void pctFilter_MouseMove(float X, float Y);

    void RedrawPlot();
    void UpdateFilterMarkers();
    void DrawPoleZeroRange();
    void DrawGainRanges();

private:
    void TextChanged(ModelBox box);
    // A text the page itself puts into a box: where a refused text typed later falls back to.
    void ShowText(ModelBox box, const QString& text);
    void LegendClicked(LegendBox box);
    void Show();
    void Hide();

    std::array<double, kModelBoxCount> editStart_{};
};
