#pragma once
// The general settings page: shows GeneralLogic; nothing reaches the chip until Apply or OK.
#include "pages/general_logic.h"
#include "pages/widgets/page_controls.h"
#include "shell/page_window.h"

#include <array>
#include <vector>

class QGroupBox;
class QLabel;
class QPushButton;

class frmGeneral : public PageWindow {
    Q_OBJECT
public:
    frmGeneral();
    void Form_Load() override;
    void SetupFormAfterLoad() override;

    void cmdApply_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

    GeneralLogic logic;

private:
    struct Column {
        std::vector<QGroupBox*> frames;
        std::vector<QLabel*> labels;
        std::vector<QComboBox*> lists;
    };
    int WidenForTexts();  // returns the pixels the page grew by

    ControlViews views;
    std::array<Column, 3> columns_;
    std::vector<QPushButton*> buttons_;
};
