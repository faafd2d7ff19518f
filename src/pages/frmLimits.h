#pragma once
// The readings-and-limits page: shows LimitsLogic on five tabs (fault lamps, fault configuration,
// gauges, strip charts, scale factors); Apply writes the fault configuration, Set Values the scale
// factors; the master timer refreshes the live tabs.
#include "pages/limits_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

#include <array>

class Gauge;
class Lamp;
class QLabel;
class QLineEdit;
class QTabWidget;
class StripChart;

class frmLimits : public PageWindow {
    Q_OBJECT
public:
    frmLimits();
    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void Form_Unload() override;
    void PlotData() override;
    void DisplayData() override;
    void UpdateFlags() override;

    void cmdApply_Click();
    void cmdClose_Click();
    void cmdSet_Click();

    LimitsLogic logic;

private:
    QWidget* BuildFlagsTab();
    QWidget* BuildFaultTab();
    QWidget* BuildReadingsTab();
    QWidget* BuildGraphsTab();
    QWidget* BuildDefaultsTab();
    void ShowGraphs();
    void ShowSliders(int k);
    void ShowDefaults();

    ControlViews views;
    QTabWidget* SSTab1 = nullptr;
    std::array<Gauge*, 13> ggeReadings{};
    std::array<StripChart*, 4> stpGraph{};
    std::array<Lamp*, 33> tglStatus{};
    QLabel* lblFlag = nullptr;
    QLabel* lblFlagValue = nullptr;
    std::array<QLineEdit*, kScaleBoxes> txtDefault{};
};
