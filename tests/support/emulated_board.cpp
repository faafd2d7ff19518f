#include "emulated_board.h"

void EmulatedBoard::AddChip(int address) {
    auto& regs = chips_[address];
    regs.fill(0);
    regs[0x3D] = 0x41;
}

void EmulatedBoard::ScriptReads(int address, int reg, std::vector<uint8_t> bytes) {
    auto& q = scripted_[{address, reg}];
    for (uint8_t b : bytes) q.push_back(b);
}

int16_t EmulatedBoard::LoadFirmWare(uint8_t* path) {
    FirmwarePaths.push_back(QString::fromLocal8Bit(reinterpret_cast<const char*>(path)));
    return FirmwareResult;
}

int16_t EmulatedBoard::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                       int16_t length, uint8_t* buffer) {
    if (KeepLog) Log.push_back({request, value, index, direction, length});
    if (FailRequestNumber > 0 && static_cast<int>(Log.size()) == FailRequestNumber) return 1;
    if (request == 0xDD) {
        ++ConnectTries;
        return ConnectSucceedsOnTry > 0 && ConnectTries >= ConnectSucceedsOnTry ? 0 : 1;
    }
    if (request != 0xDE) return 1;
    const int reg = index & 0xFF;
    auto chip = chips_.find(value);
    if (direction == 1) {
        auto q = scripted_.find({value, reg});
        if (q != scripted_.end() && !q->second.empty()) {
            buffer[0] = q->second.front();
            q->second.pop_front();
        } else if (chip == chips_.end()) {
            buffer[0] = NoChipByte;
        } else {
            uint8_t& stored = chip->second[static_cast<size_t>(reg)];
            buffer[0] = stored;
            // An odd step runs through all 256 bytes, so every digit of a reading keeps moving.
            if (VaryReadings && reg >= 0x12 && reg <= 0x20) stored = static_cast<uint8_t>(stored + 37);
        }
        return 0;
    }
    if (chip != chips_.end()) chip->second[static_cast<size_t>(reg)] = static_cast<uint8_t>((index >> 8) & 0xFF);
    return 0;
}

std::vector<QString> EmulatedBoard::AccessTrace() const {
    std::vector<QString> out;
    auto hex = [](int v) { return QString::number(v, 16).toUpper().rightJustified(2, u'0'); };
    for (const BoardRequest& r : Log) {
        if (r.request != 0xDE) continue;
        if (r.direction == 1)
            out.push_back(QStringLiteral("R %1 %2").arg(hex(r.value), hex(r.index)));
        else
            out.push_back(QStringLiteral("W %1 %2 %3").arg(hex(r.value), hex(r.index & 0xFF), hex(r.index >> 8)));
    }
    return out;
}
