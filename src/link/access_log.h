#pragma once
// Hand-over of every register access to the communications monitor.
#include <cstdint>

class AccessMonitor {
public:
    virtual ~AccessMonitor() = default;
    virtual bool ShowReads() const = 0;   // the monitor's "Show Reads" box
    virtual bool ShowWrites() const = 0;  // the monitor's "Show Writes" box
    virtual void AppendRead(int32_t DevAddr, int32_t RegAddr, int32_t Value) = 0;
    virtual void AppendWrite(int32_t DevAddr, int32_t RegAddr, int32_t Data) = 0;
};

// The open monitor window, or null.
void SetAccessMonitor(AccessMonitor* monitor);
AccessMonitor* CurrentAccessMonitor();

// The monitor's filter of polled reading registers, consulted by every read: false only while
// "Ignore Polled Reads" is ticked and RegAddr is one of the filtered registers.
bool ShouldLogRead(int32_t RegAddr);
bool IsPolledReadingRegister(int32_t RegAddr);
