#pragma once
// The readings-and-limits page without widgets: the fault configuration rows of registers 0x08 to
// 0x0E written by Apply, the reading scale factors, the graph chooser, the duty-cycle limit
// sliders from register 0x2E, and the live gauge captions, strip-chart samples and fault lamps
// taken from the device's record.
#include "core/run_state.h"
#include "pages/register_field.h"

#include <array>
#include <vector>

inline constexpr int kFaultRows = 14;  // rows 12 and 13 are hidden
// Caption of fault row k.
QString FaultRowCaption(int row);
QStringList FaultActionItems();
QStringList FaultResolveItems();
QStringList FaultTimingItems();

// One reading's gauge; numbers run 0 to 12 with no gauge 8.
struct GaugeSpec {
    int number;
    const char* frame;
    const char* label;
    float DeviceRecord::*reading;
    const char* unit;  // UTF-8
    double min, max;
};
const std::vector<GaugeSpec>& Gauges();  // in refresh order

struct TraceSpec {
    const char* name;
    int axis;
    float DeviceRecord::*reading;
};
struct ChartSpec {
    const char* item;  // the chooser's item
    std::vector<const char*> axes;
    std::vector<TraceSpec> traces;
};
const std::vector<ChartSpec>& Charts();

struct PlotSample {
    int chart;
    int trace;
    double value;
};

// The six reading scale factors in the order of the boxes txtDefault(0) to txtDefault(5).
inline constexpr int kScaleBoxes = 6;
QString ScaleRowCaption(int box);
float& ScaleFactorOfBox(int box);

// The fault-register flag a lamp shows (lamps 0 to 31), or -1 for the two reserved bits.
int LampFlag(int lamp);
inline constexpr int kFirstFlagLamp = 32;

class LimitsLogic {
public:
    LimitsLogic();

    std::array<ListControl, kFaultRows> cmbConfig, cmbResolve, cmbTiming;
    ListControl cmbGraph;
    int visibleGraph = -1;  // the one strip chart shown
    std::array<QString, kScaleBoxes> txtDefault;

    // Gauge k's needle and caption, and its limit sliders 2 and 3 (by gauge number).
    std::array<float, 13> needle{};
    std::array<QString, 13> gaugeCaption;
    std::array<std::array<double, 2>, 13> slider{};
    // Lamps 0 to 32 (32: first flag valid), and the first flag's name and value.
    std::array<int, 33> tglStatus{};
    QString lblFlag, lblFlagValue;

    // Reads 0x08 to 0x0E into the rows, shows the first graph, fills the scale boxes, places the
    // duty-cycle sliders from 0x2E and marks the page of the device open.
    void SetupFormAfterLoad(int dev);
    // Writes 0x08 to 0x0E composed from the rows; reads nothing.
    void cmdApply_Click(int dev);
    void Choose(ListControl& list, int index);
    // Stores the six boxes as scale factors. A box keeps its factor and shows it again when it holds
    // no number, when its number is not zero but is zero in single precision, or when its greatest
    // reading would overflow single precision; so do both factors of a power whose greatest reading
    // would overflow, and the output voltage factor when its highest trimmed value would. The
    // result names those boxes (empty: all set).
    QStringList cmdSet_Click();
    void cmbGraph_Click();
    void Form_Unload(int dev);

    void ShowDutyCycleLimits(int dev);
    // After the user moved a slider of gauge k (its new value already in `slider`): keeps the
    // duty-cycle minimum at or below 15 and the maximum at or above 40.
    void ggeReadings_SliderChange(int k);

    // The samples one refresh appends, in chart and trace order; none for a device not in use.
    std::vector<PlotSample> PlotData(int dev) const;
    // False, and nothing changes, for a device not in use.
    bool DisplayData(int dev);
    bool UpdateFlags(int dev);

private:
    FieldPage fields;
};
