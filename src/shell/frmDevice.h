#pragma once
// The block-diagram page of one device: its home page.
#include "shell/page_window.h"

class frmDevice : public PageWindow {
    Q_OBJECT
public:
    frmDevice();
    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void Form_Unload() override;
    void DisplayValues() override;
};
