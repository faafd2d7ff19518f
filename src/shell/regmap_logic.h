#pragma once
// The register map window without its widgets: what each control shows, and the read, write,
// bit-toggle and tree actions that the window forwards. Tests drive this class directly.
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// Registers 0x12 to 0x1A are read as two successive reads of the same address.
bool IsMultiByteRegister(int32_t RegAddr);
// Of those, the ones composed as first byte x 256 + second byte (the rest are 12-bit).
bool Is16BitRegister(int32_t RegAddr);
// first x 16 + second / 16, to the nearest integer with halves to even.
int32_t TwelveBitValue(int32_t first, int32_t second);
// A byte typed in hexadecimal ("3D", "3Dh"; text without hex digits is 0); nothing when the
// value lies outside 0 to 0xFF, so it can never be masked into some other register or value.
std::optional<int32_t> TypedByte(const QString& text);
// The register's own name: the display name after its first "-", blanks trimmed.
QString RegisterDescription(const QString& displayName);

inline constexpr uint32_t kRegMapBlue = 0x0000FF;  // RGB
inline constexpr uint32_t kRegMapGrey = 0x808080;
inline constexpr uint32_t kRegMapRed = 0xFF0000;

struct RegMapNode {
    QString Text;
    QString Key;  // the display name, "," and the address in hexadecimal
};

// Geometry in twips inside the bit frame.
struct RegMapLabel {
    QString Caption;
    bool Visible = true;
    uint32_t Color = kRegMapBlue;
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

class RegMapLogic {
public:
    RegMapLogic();

    void Form_Load();
    void Form_Unload();

    // The register tree's children, in address order; the root is kRootKey.
    static inline const QString kRootKey = QStringLiteral("Register Map");
    void FillRegisterMapTree();
    void TreeView1_NodeClick(const QString& key);

    // Silent on an address that is no byte: the master timer's continuous read comes here too.
    void cmdRead_Click();
    // The Read button: the same, but an address that is no byte is refused in a box.
    void cmdRead_ButtonClick();
    // The Write button and the bit clicks: an address or data that is no byte writes nothing
    // and is refused in one box.
    void cmdWrite_Click();
    void lblBit_Click(int Index);
    void chkDisablePolling_Click(bool ticked);

    // The texts of the boxes that refuse a typed address or data beyond a byte.
    static QString AddressRangeMessage();
    static QString DataRangeMessage();
    static QString AddressAndDataRangeMessage();

    void SetupBitDisplay(int bits);
    void DisplayBits(int32_t value, int32_t RegAddr);

    // What the controls show.
    std::vector<RegMapNode> Nodes;
    QStringList DeviceItems;  // cmbDevAddr
    int DeviceIndex = -1;
    QString AddrPtrText;      // txtAddrPtr
    QString WriteText;        // txtWrite
    QString ReadText;         // lblRead
    QString RegDescription = QStringLiteral("Description");
    QString CurrentAddr = QStringLiteral("Address");
    QString HexVal = QStringLiteral("HexVal");
    QString DecVal = QStringLiteral("DecVal");
    QString Label9 = QStringLiteral("Current Value (Hex)");
    QString Label10 = QStringLiteral("Current Value (Dec)");
    std::array<RegMapLabel, 16> Bits;  // lblBit
    std::array<RegMapLabel, 16> Info;  // lblInfo
    bool ContRead = false;             // chkContRead
    bool DisablePolling = false;       // chkDisablePolling

private:
    std::optional<int32_t> Device() const;
    std::optional<int32_t> Register() const { return TypedByte(AddrPtrText); }

    // Device and register the bits on screen were read from; a bit click composes its byte from
    // them, so it must not land on any other register.
    std::optional<std::pair<int32_t, int32_t>> bitsReadFrom_;
};
