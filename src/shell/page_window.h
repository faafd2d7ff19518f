#pragma once
// The base of every child window: the public methods the main window and its timer call,
// and the device found again from the caption.
#include <QWidget>

class PageWindow : public QWidget {
    Q_OBJECT
public:
    explicit PageWindow(QWidget* parent = nullptr);

    virtual void Form_Load() {}            // sizes and centres the window
    virtual void SetupFormAfterLoad() {}   // reads the chip into the page
    virtual void Form_Unload() {}          // clears the page's open flag
    virtual void DisplayValues() {}
    virtual void PlotData() {}
    virtual void DisplayData() {}
    virtual void UpdateFlags() {}
    // The register map's continuous read, driven by the master timer.
    virtual bool ContinuousReadTicked() const { return false; }
    virtual void cmdRead_Click() {}
    // The filter designer hands its switching-frequency text to the device's open PWM page.
    virtual void ChooseSwitchingFrequency(const QString& text) { Q_UNUSED(text); }

    // The address in the caption: the text after its first "x", read as hexadecimal.
    int PageAddress() const;
    // 0 or 1 for the device whose address the caption holds, -1 for neither.
    int DeviceIndexOrNone() const;

    // Outer size of the window in twips, and its place centred in the main window.
    void SetFormSize(int widthTwips, int heightTwips);
    void CenterForm();
    // Closes the window; its unload handling runs once.
    void Unload();
    bool IsUnloaded() const { return unloaded_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QWidget* Frame();
    bool unloaded_ = false;
};

// Address from a caption such as "PWM Output Control (0x48)".
int AddressFromCaption(const QString& caption);
