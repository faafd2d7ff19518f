#include "shell/regmap_logic.h"

#include "core/numbers.h"
#include "core/run_state.h"
#include "link/platform.h"
#include "link/register_access.h"
#include "registers/register_table.h"

namespace {

// Columns of the bit display, leftmost first.
constexpr int kBitLeft[8] = {510, 990, 1470, 1950, 2430, 2910, 3390, 3870};
constexpr int kInfoLeftUpper[8] = {580, 1080, 1550, 2010, 2510, 2970, 3470, 3940};
constexpr int kInfoLeftLower[8] = {600, 1080, 1550, 2010, 2500, 2970, 3480, 3940};
constexpr int kLowerBitTop = 960;
constexpr int kLowerInfoTop = 1320;

const RegisterEntry* TableEntry(double address) {
    for (const RegisterEntry& e : Shared().RegTable)
        if (e.Address == address) return &e;
    return nullptr;
}

}  // namespace

bool IsMultiByteRegister(int32_t RegAddr) { return RegAddr >= 0x12 && RegAddr <= 0x1A; }

bool Is16BitRegister(int32_t RegAddr) {
    return RegAddr == 0x12 || RegAddr == 0x13 || RegAddr == 0x14 || RegAddr == 0x15 || RegAddr == 0x19;
}

int32_t TwelveBitValue(int32_t first, int32_t second) {
    const double value = first * 16 + second / 16.0;
    return static_cast<int32_t>(RoundHalfEven(value, 0));
}

std::optional<int32_t> TypedByte(const QString& text) {
    const double v = RoundHalfEven(ParseNumber(QStringLiteral("&H") + text), 0);
    if (!(v >= 0 && v <= 0xFF)) return std::nullopt;
    return static_cast<int32_t>(v);
}

QString RegisterDescription(const QString& displayName) {
    return displayName.mid(displayName.indexOf(u'-') + 1).trimmed();
}

RegMapLogic::RegMapLogic() {
    for (int i = 0; i < 16; ++i) {
        RegMapLabel& b = Bits[static_cast<size_t>(i)];
        b.Caption = QStringLiteral("0");
        b.Width = 225;
        b.Height = 435;
        b.Color = i >= 8 && i <= 11 ? kRegMapGrey : kRegMapBlue;
        b.Left = i < 8 ? kBitLeft[7 - i] : kBitLeft[15 - i];
        b.Top = i < 8 ? 600 : kLowerBitTop;
        RegMapLabel& n = Info[static_cast<size_t>(i)];
        n.Width = 105;
        n.Height = 195;
        n.Color = 0;
        n.Left = i < 8 ? kInfoLeftUpper[i] : kInfoLeftLower[i - 8];
        n.Top = i < 8 ? 960 : kLowerInfoTop;
    }
    SetupBitDisplay(8);
}

void RegMapLogic::Form_Load() {
    BuildRegisterTable();
    FillRegisterMapTree();
    RunState& s = Shared();
    DeviceItems.clear();
    if (s.DeviceCount >= 1) DeviceItems << HexText(s.DeviceAddress[0]) + QStringLiteral("h");
    if (s.DeviceCount == 2) DeviceItems << HexText(s.DeviceAddress[1]) + QStringLiteral("h");
    DeviceIndex = DeviceItems.isEmpty() ? -1 : 0;
    SetupBitDisplay(8);
    DisablePolling = s.PollingDisabled;
    chkDisablePolling_Click(DisablePolling);
    s.RegMapOpen = true;
}

void RegMapLogic::Form_Unload() { Shared().RegMapOpen = false; }

void RegMapLogic::FillRegisterMapTree() {
    Nodes.clear();
    const auto& table = Shared().RegTable;
    for (int i = 0; i <= RegCount && i < static_cast<int>(table.size()); ++i) {
        if (IsReservedRegister(i)) continue;
        const QString& name = table[static_cast<size_t>(i)].Name;
        Nodes.push_back({name, name + u',' + HexText(i)});
    }
}

void RegMapLogic::TreeView1_NodeClick(const QString& key) {
    if (key == kRootKey) return;
    const qsizetype comma = key.indexOf(u',');
    if (comma < 0) return;
    const RegisterEntry* entry = TableEntry(ParseNumber(QStringLiteral("&H") + key.mid(comma + 1)));
    if (!entry) return;
    RegDescription = RegisterDescription(entry->Name);
    CurrentAddr = AddrPtrText = HexText(entry->Address) + QStringLiteral("h");
    SetupBitDisplay(IsMultiByteRegister(entry->Address) ? 16 : 8);
    cmdRead_Click();
}

std::optional<int32_t> RegMapLogic::Device() const {
    if (DeviceIndex < 0 || DeviceIndex >= DeviceItems.size()) return std::nullopt;
    return TypedByte(DeviceItems[DeviceIndex]);
}

void RegMapLogic::cmdRead_Click() {
    const std::optional<int32_t> dev = Device();
    const std::optional<int32_t> reg = Register();
    if (!dev || !reg) return;
    const int32_t first = ReadRegister(*dev, *reg);
    int32_t value = first;
    if (IsMultiByteRegister(*reg)) {
        SetupBitDisplay(16);
        const int32_t second = ReadRegister(*dev, *reg);
        ReadText.clear();
        if (Is16BitRegister(*reg)) {
            value = first * 256 + second;
            DisplayBits(value, *reg);
            Label9 = QStringLiteral("Current 16-bit value (Hex)");
            Label10 = QStringLiteral("Current 16-bit value (Dec)");
        } else {
            value = TwelveBitValue(first, second);
            DisplayBits(value * 16, *reg);
            Label9 = QStringLiteral("Current 12-bit value (Hex)");
            Label10 = QStringLiteral("Current 12-bit value (Dec)");
        }
    } else {
        SetupBitDisplay(8);
        ReadText = HexText(first);
        DisplayBits(value, *reg);
        Label9 = QStringLiteral("Current value (Hex)");
        Label10 = QStringLiteral("Current value (Dec)");
    }
    bitsReadFrom_ = std::make_pair(*dev, *reg);
    HexVal = HexText(value) + QStringLiteral("h");
    DecVal = NumberText(static_cast<int>(value));
    // The details name the register whose value is shown, however its address was given.
    const RegisterEntry* entry = TableEntry(*reg);
    RegDescription = entry ? RegisterDescription(entry->Name) : QString();
    CurrentAddr = HexText(*reg) + QStringLiteral("h");
}

void RegMapLogic::cmdRead_ButtonClick() {
    if (Device() && !Register()) {
        MsgBox(AddressRangeMessage(), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    cmdRead_Click();
}

QString RegMapLogic::AddressRangeMessage() { return QStringLiteral("Address Pointer must be 0 to FF"); }
QString RegMapLogic::DataRangeMessage() { return QStringLiteral("Data Out must be 0 to FF"); }
QString RegMapLogic::AddressAndDataRangeMessage() {
    return QStringLiteral("Address Pointer and Data Out must be 0 to FF");
}

void RegMapLogic::cmdWrite_Click() {
    const std::optional<int32_t> dev = Device();
    const std::optional<int32_t> reg = Register();
    const std::optional<int32_t> data = TypedByte(WriteText);
    if (!dev) return;
    if (!reg || !data) {
        // Never masked or clamped into some other register or value: refused, and the user told.
        MsgBox(!reg && !data ? AddressAndDataRangeMessage() : !reg ? AddressRangeMessage() : DataRangeMessage(),
               MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    WriteRegister(*dev, *reg, *data);
    cmdRead_Click();
}

void RegMapLogic::lblBit_Click(int Index) {
    if (Index < 0 || Index >= 8) return;
    const std::optional<int32_t> dev = Device();
    const std::optional<int32_t> reg = Register();
    if (!dev || !reg || IsMultiByteRegister(*reg)) return;
    if (bitsReadFrom_ != std::make_pair(*dev, *reg)) return;
    QString& caption = Bits[static_cast<size_t>(Index)].Caption;
    caption = caption == QLatin1String("0") ? QStringLiteral("1") : QStringLiteral("0");
    int32_t value = 0;
    for (int i = 7; i >= 0; --i)
        if (Bits[static_cast<size_t>(i)].Caption != QLatin1String("0")) value += 1 << i;
    WriteText = HexText(value);
    cmdWrite_Click();
}

void RegMapLogic::chkDisablePolling_Click(bool ticked) {
    DisablePolling = ticked;
    Shared().PollingDisabled = ticked;
}

void RegMapLogic::SetupBitDisplay(int bits) {
    if (bits != 8) {
        const std::optional<int32_t> reg = Register();
        const uint32_t color = reg && Is16BitRegister(*reg) ? kRegMapBlue : kRegMapGrey;
        for (size_t i = 8; i <= 11; ++i) Bits[i].Color = color;
        for (int i = 8; i <= 15; ++i) {
            Info[static_cast<size_t>(i - 8)].Caption = QString::number(23 - i);
            Info[static_cast<size_t>(i)].Caption = QString::number(15 - i);
            Bits[static_cast<size_t>(i)].Visible = Info[static_cast<size_t>(i)].Visible = true;
        }
        for (int i = 0; i <= 7; ++i) {
            Bits[static_cast<size_t>(7 - i)].Top = 240;
            Info[static_cast<size_t>(i)].Top = 600;
        }
    } else {
        for (int i = 8; i <= 15; ++i) {
            Info[static_cast<size_t>(i - 8)].Caption = QString::number(15 - i);
            Info[static_cast<size_t>(i)].Caption = QStringLiteral("-");
            Bits[static_cast<size_t>(i)].Visible = Info[static_cast<size_t>(i)].Visible = false;
        }
        for (int i = 0; i <= 7; ++i) {
            Bits[static_cast<size_t>(7 - i)].Top = 600;
            Info[static_cast<size_t>(i)].Top = 960;
        }
    }
}

void RegMapLogic::DisplayBits(int32_t value, int32_t RegAddr) {
    auto bit = [value](int n) { return (value >> n) & 1 ? QStringLiteral("1") : QStringLiteral("0"); };
    if (IsMultiByteRegister(RegAddr)) {
        for (int i = 7; i >= 0; --i) Bits[static_cast<size_t>(i)].Caption = bit(i + 8);
        for (int i = 15; i >= 8; --i) Bits[static_cast<size_t>(i)].Caption = bit(i - 8);
    } else {
        for (int i = 7; i >= 0; --i) Bits[static_cast<size_t>(i)].Caption = bit(i);
    }
}
