#pragma once
// An evaluation board in memory: chips at chosen addresses, scripted read bytes, a connect that
// succeeds on try N, a failing Nth request, and a log of every request.
#include "link/board_api.h"

#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <map>
#include <vector>

struct BoardRequest {
    int16_t request;
    int32_t value;
    int32_t index;
    int16_t direction;
    int16_t length;
    bool operator==(const BoardRequest&) const = default;
};

class EmulatedBoard : public BoardApi {
public:
    // Board answers; defaults: firmware loads, the first connect succeeds, no chip.
    int16_t FirmwareResult = 0;
    int ConnectSucceedsOnTry = 1;  // 0: never
    int FailRequestNumber = 0;     // the Nth VendorIORequest fails (1-based); 0: none
    uint8_t NoChipByte = 0xFF;     // what an address with no chip answers
    // When set, every read of a reading register (0x12 to 0x20) moves that register on, so the
    // polled values change from one poll of a group to the next.
    bool VaryReadings = false;
    // Off for a run of hours (the benchmarks): the log would grow without end, as no board does.
    // FailRequestNumber counts logged requests, so it needs the log.
    bool KeepLog = true;

    void AddChip(int address);
    bool HasChip(int address) const { return chips_.count(address) != 0; }
    std::array<uint8_t, 256>& Regs(int address) { return chips_[address]; }
    // Bytes the next reads of (address, reg) return, in order, before the register's own value.
    void ScriptReads(int address, int reg, std::vector<uint8_t> bytes);

    int16_t LoadFirmWare(uint8_t* path) override;
    int16_t VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction, int16_t length,
                            uint8_t* buffer) override;

    std::vector<BoardRequest> Log;
    std::vector<QString> FirmwarePaths;
    int ConnectTries = 0;

    // Helpers for traces: the register reads and writes in order, as "R 48 3D" / "W 48 68 A7".
    std::vector<QString> AccessTrace() const;
    void ClearLog() { Log.clear(); }

private:
    std::map<int, std::array<uint8_t, 256>> chips_;
    std::map<std::pair<int, int>, std::deque<uint8_t>> scripted_;
};
