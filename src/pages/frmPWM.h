#pragma once
// The PWM output page: shows PWMLogic with one painted timing diagram per output and forwards the
// user's clicks, moves, nudges and choices; only Program writes to the chip.
#include "pages/pwm_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

#include <array>
#include <vector>

class PWMCanvas;
class QLabel;
class QPushButton;

class frmPWM : public PageWindow {
    Q_OBJECT
public:
    frmPWM();
    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void Form_Unload() override;

    // The filter designer's frequency choice for this page's device (reached through the meta
    // object, as the filter layer does not see the pages): relabels the edges, writes nothing.
    bool SetFrequencyText(const QString& text);
    void ChooseSwitchingFrequency(const QString& text) override { SetFrequencyText(text); }

    void cmdProgram_Click();
    void cmdCancel_Click();

    PWMLogic logic;

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void Refresh();
    void ShowOutput(int i);  // repaints the picture only where its scene changed
    void ShowPointer();
    void FitToFont();  // the sizes that follow the texts' font, then KeepContentsUnsqueezed
    void KeepContentsUnsqueezed();

    ControlViews views;
    QLabel* lblPWMFreq = nullptr;
    std::array<PWMCanvas*, pwm::kOutputs> pctPWM{};
    std::array<QCheckBox*, pwm::kOutputs> chkT1Sign{}, chkT2Sign{};
    std::vector<QPushButton*> nudgeButtons;
    std::vector<QCheckBox*> modulationBoxes;
    pwm::Pointer shownPointer = pwm::Pointer::Default;
};
