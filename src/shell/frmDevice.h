#pragma once
// The block-diagram page of one device, its home page: clickable blocks that open the pages,
// three live values and the "Update EEPROM" button.
#include "shell/page_window.h"

#include <array>

class BlockDiagramPicture;
class QLabel;
class QPushButton;

// A live value as the page shows it: rounded to 2 decimals (halves to even), then as
// LiveValueText (" 12.05V").
QString DeviceValueText(float value, const QString& unit);

class frmDevice : public PageWindow {
    Q_OBJECT
public:
    frmDevice();
    ~frmDevice() override;

    void Form_Load() override;
    void SetupFormAfterLoad() override;
    void Form_Unload() override;
    void DisplayValues() override;

    void lblSelection_Click(int Index);
    void lblSelection_DblClick(int Index);
    void lblSelection_MouseMove(int Index);
    void pctDevice_MouseMove();
    void cmdUpdateEEPROM_Click();

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    BlockDiagramPicture* pctDevice = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* lblVantrel = nullptr;
    std::array<QLabel*, 3> Label4{};
    QLabel* lblVS3 = nullptr;
    QLabel* lblOutputCurrent = nullptr;
    QLabel* lblShareVoltage = nullptr;
    QPushButton* cmdUpdateEEPROM = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void HighlightBlock(int Index);
    // Device whose pages the blocks open: 0 whenever only one device is in use.
    int BlockDeviceIndex() const;
};
