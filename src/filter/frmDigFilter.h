#pragma once
// The loop filter designer page: shows DigFilterLogic and forwards the user's actions.
#include "filter/dig_filter_logic.h"
#include "shell/page_window.h"

#include <array>

class BodeCanvas;
class PowerStagePicture;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

class frmDigFilter : public PageWindow {
    Q_OBJECT
public:
    frmDigFilter();
    void Form_Load() override;
    void SetupFormAfterLoad() override;

    void cmdPrint_Click();

    DigFilterLogic logic;

    QTabWidget* SSTab1 = nullptr;
    BodeCanvas* pctFilter = nullptr;
    PowerStagePicture* pctPowerOptions = nullptr;
    QLabel* lblPrinting = nullptr;

private:
    void ShowState();
    void ShowWindow(bool shown);
    QLineEdit* Box(ModelBox b) const { return boxes_[static_cast<size_t>(b)]; }

    std::array<QLineEdit*, kModelBoxCount> boxes_{};
    std::array<QLabel*, kModelBoxCount> boxLabels_{};
    std::array<QCheckBox*, 8> legend_{};
    QComboBox* cmbFreq = nullptr;
    QComboBox* cmbCCMDCM = nullptr;
    std::array<QRadioButton*, 2> optFilterMode{};
    QCheckBox* chkShowLabels = nullptr;
    QCheckBox* chkL2C2 = nullptr;
    QCheckBox* chkC3C4 = nullptr;
    QLabel* lblLowFGain = nullptr;
    QLabel* lblHighFGain = nullptr;
    QLabel* lblPoleFreq = nullptr;
    QLabel* lblZeroFreq = nullptr;
    QLabel* lblLoopBandwidth = nullptr;
    QLabel* lblLoopPhaseMargin = nullptr;
};
