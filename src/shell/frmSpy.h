#pragma once
// The communications monitor "Device I/O  Monitor": every logged register access as one line.
#include "link/access_log.h"
#include "shell/page_window.h"

class MonitorListModel;
class MonitorListView;
class QCheckBox;
class QPushButton;

class frmSpy : public PageWindow, public AccessMonitor {
    Q_OBJECT
public:
    frmSpy();
    ~frmSpy() override;

    void Form_Load() override;
    void Form_Unload() override;

    void chkIgnoreContinuousReads_Click();
    void cmdPause_Click();
    void cmdClear_Click();
    void cmdClose_Click();

    // AccessMonitor: the register access procedures hand every access over here.
    bool ShowReads() const override;
    bool ShowWrites() const override;
    void AppendRead(int32_t DevAddr, int32_t RegAddr, int32_t Value) override;
    void AppendWrite(int32_t DevAddr, int32_t RegAddr, int32_t Data) override;

    MonitorListModel* Lines() const { return lines_; }

    MonitorListView* lstSpy = nullptr;
    QCheckBox* chkReads = nullptr;
    QCheckBox* chkWrites = nullptr;
    QCheckBox* chkIgnoreContinuousReads = nullptr;
    QPushButton* cmdPause = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdClose = nullptr;

private:
    void Detach();
    MonitorListModel* lines_ = nullptr;
};
