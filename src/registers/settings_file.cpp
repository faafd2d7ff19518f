#include "registers/settings_file.h"

#include "core/numbers.h"
#include "link/platform.h"
#include "link/register_access.h"
#include "registers/register_table.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <cmath>
#include <limits>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

struct FilterLine {
    const char* key;
    const char* unit;
};
// The order of the filter block; the reader takes the values by this position alone.
const FilterLine kFilterLines[14] = {
    {"L1", " uH"},    {"C1", " uF"},    {"ESR1", " mOhm"}, {"L2", " uH"},   {"C2", " uF"},
    {"ESR2", " mOhm"}, {"RL", " Ohm"},  {"R3", " kOhm"},   {"R4", " kOhm"}, {"C3", " uF"},
    {"C4", " uF"},    {"Vin", " V"},    {"N1", ""},        {"N2", ""},
};

std::array<float, 14> InputsInFileOrder(const LoopModelInputs& m) {
    return {m.L[0], m.C[0], m.ESR[0], m.L[1], m.C[1], m.ESR[1], m.RL, m.R3, m.R4, m.C[2], m.C[3], m.Vin, m.N1, m.N2};
}

QString FormatHexByte(int value) { return QStringLiteral("0x") + TwoDigitHex(value); }

bool IsLineBreak(QChar c) {
    const char16_t u = c.unicode();
    return u == u'\r' || u == u'\n' || u == u'\v' || u == u'\f' || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Blanks only, as the comment line has always been trimmed.
QString TrimBlanks(const QString& s) {
    qsizetype b = 0, e = s.size();
    while (b < e && s[b] == u' ') ++b;
    while (e > b && s[e - 1] == u' ') --e;
    return s.mid(b, e - b);
}

// The character scanner of the reader: one byte at a time, failing at the end of the data.
class Scanner {
public:
    explicit Scanner(const QByteArray& bytes) : data_(bytes) {}
    bool ReadChar(char& c) {
        if (pos_ >= data_.size()) return false;
        c = data_[pos_++];
        return true;
    }
    bool ReadUntil(char wanted) {
        char c = 0;
        do {
            if (!ReadChar(c)) return false;
        } while (c != wanted);
        return true;
    }
    bool SkipToEndOfLine() { return ReadUntil('\n'); }
    bool ReadByte(int& value) {
        char two[2];
        if (!ReadChar(two[0]) || !ReadChar(two[1])) return false;
        value = static_cast<int>(std::lround(ParseNumber(QStringLiteral("&H") + QString::fromLatin1(two, 2))));
        return true;
    }
    qsizetype Pos() const { return pos_; }

private:
    const QByteArray& data_;
    qsizetype pos_ = 0;
};

}  // namespace

QString SettingsFileHeader(const QString& comment, const QDateTime& now) {
    QString flat = comment;
    for (QChar& c : flat)
        if (IsLineBreak(c)) c = u' ';
    QString t;
    t += QStringLiteral("Halvorne Inc.") + kCrLf;
    t += QStringLiteral("ZVC7140 Evaluation Software") + kCrLf;
    t += kCrLf;
    t += QStringLiteral("Saved: ") + now.toString(QStringLiteral("yyyy-MM-dd")) + QStringLiteral(" at ") +
         now.toString(QStringLiteral("HH:mm:ss")) + kCrLf;
    t += kCrLf;
    t += QStringLiteral("Comment : ") + TrimBlanks(flat) + kCrLf;
    t += kCrLf;
    return t;
}

QString SettingsFileBody(int32_t devAddr) {
    if (Shared().RegTable.size() < static_cast<size_t>(kRegisterCount)) BuildRegisterTable();
    QString t;
    t += QStringLiteral("ZVC7140_Registers()") + kCrLf;
    t += QStringLiteral("{") + kCrLf;
    for (int addr = 0; addr <= 0x72; ++addr) {
        if (IsReservedRegister(addr)) continue;
        const int value = ReadRegister(devAddr, addr);
        t += FormatHexByte(addr) + u'\t' + FormatHexByte(value) + u'\t' + QStringLiteral(" // ") +
             Shared().RegTable[static_cast<size_t>(addr)].Name + kCrLf;
    }
    t += QStringLiteral("}") + kCrLf;
    t += kCrLf;
    t += QStringLiteral("[Filter Settings]") + kCrLf;
    const LoopModelInputs& m = Shared().Devices[0].LoopModel;
    const std::array<float, 14> values = InputsInFileOrder(m);
    for (size_t i = 0; i < values.size(); ++i)
        t += QString::fromLatin1(kFilterLines[i].key) + QStringLiteral(" = ") + NumberText(values[i]) +
             QString::fromLatin1(kFilterLines[i].unit) + kCrLf;
    t += QStringLiteral("L2/C2 Enabled = ") + (m.L2C2Enabled ? u'1' : u'0') + kCrLf;
    t += QStringLiteral("C3/C4 Enabled = ") + (m.C3C4Enabled ? u'1' : u'0') + kCrLf;
    t += QStringLiteral("#");
    return t;
}

QByteArray SettingsFileBytes(const QString& text) { return (text + kCrLf).toLatin1(); }

RecallProblem ScanSettingsFile(const QByteArray& bytes, RecalledSettings& out) {
    out = RecalledSettings{};
    Scanner s(bytes);
    // Everything up to the first "{" and the rest of its line is skipped.
    if (!s.ReadUntil('{')) return RecallProblem::NoRegisterBlock;
    if (!s.SkipToEndOfLine()) return RecallProblem::EndsInRegisterBlock;
    for (;;) {
        char first = 0;
        if (!s.ReadChar(first)) return RecallProblem::EndsInRegisterBlock;
        if (first == '}') break;
        int address = 0, value = 0;
        if (!s.ReadUntil('x') || !s.ReadByte(address) || !s.ReadUntil('x') || !s.ReadByte(value) ||
            !s.SkipToEndOfLine())
            return RecallProblem::EndsInRegisterBlock;
        out.Registers.emplace_back(address, value);
    }
    const qsizetype end = bytes.indexOf('#', s.Pos());
    if (end < 0) return RecallProblem::NoEndMark;
    const QList<QByteArray> pieces = bytes.mid(s.Pos(), end - s.Pos()).split('=');
    if (pieces.size() < 17) return RecallProblem::TooFewValues;
    for (size_t i = 0; i < out.Values.size(); ++i) {
        const double v = ParseNumber(QString::fromLatin1(pieces[static_cast<qsizetype>(i) + 1]));
        if (!(std::fabs(v) <= static_cast<double>(std::numeric_limits<float>::max())))
            return RecallProblem::ValueTooLarge;
        out.Values[i] = static_cast<float>(v);
    }
    out.L2C2Enabled = ParseNumber(QString::fromLatin1(pieces[15])) == 1.0;
    out.C3C4Enabled = ParseNumber(QString::fromLatin1(pieces[16])) == 1.0;
    return RecallProblem::None;
}

QString RecallProblemText(RecallProblem problem) {
    switch (problem) {
    case RecallProblem::None: return {};
    case RecallProblem::NoRegisterBlock: return QStringLiteral("This is not a settings file: it has no register block (\"{\").");
    case RecallProblem::EndsInRegisterBlock: return QStringLiteral("The settings file ends inside its register block.");
    case RecallProblem::NoEndMark: return QStringLiteral("The settings file ends before its closing \"#\".");
    case RecallProblem::TooFewValues: return QStringLiteral("The settings file holds fewer than sixteen filter settings.");
    case RecallProblem::ValueTooLarge: return QStringLiteral("A filter setting in the file is too large.");
    }
    return {};
}

int TopologyFromFlags(bool l2c2, bool c3c4) {
    if (l2c2 && c3c4) return 4;
    if (c3c4) return 3;
    if (l2c2) return 2;
    return 1;
}

void StoreRecalledInputs(LoopModelInputs& m, const RecalledSettings& s) {
    const auto& v = s.Values;
    m.L[0] = v[0];
    m.C[0] = v[1];
    m.ESR[0] = v[2];
    m.L[1] = v[3];
    m.C[1] = v[4];
    m.ESR[1] = v[5];
    m.RL = v[6];
    m.R3 = v[7];
    m.R4 = v[8];
    m.C[2] = v[9];
    m.C[3] = v[10];
    m.Vin = v[11];
    m.N1 = v[12];
    m.N2 = v[13];
    m.L2C2Enabled = s.L2C2Enabled;
    m.C3C4Enabled = s.C3C4Enabled;
}

void ApplyRecalledSettings(int32_t devAddr, const RecalledSettings& s) {
    for (const auto& [address, value] : s.Registers) WriteRegister(devAddr, address, value);
    StoreRecalledInputs(Shared().Devices[0].LoopModel, s);
    Shared().PowerStageTopology = TopologyFromFlags(s.L2C2Enabled, s.C3C4Enabled);
}

int32_t DeviceAddressFromItem(const QString& item) {
    return static_cast<int32_t>(std::lround(ParseNumber(QStringLiteral("&H") + item)));
}

void SaveSettings(int32_t devAddr, const QString& comment, const SettingsFileIO& io, const QDateTime& now) {
    const QString header = SettingsFileHeader(comment, now);
    if (io.StopMasterTimer) io.StopMasterTimer();
    const QString text = header + SettingsFileBody(devAddr);
    const QString path = io.ChooseSaveFile ? io.ChooseSaveFile() : QString();
    if (!path.isEmpty()) {
        // Written beside the target and renamed over it: a failed write leaves the old file whole.
        const QByteArray bytes = SettingsFileBytes(text);
        QSaveFile file(path);
        bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
        ok = ok ? file.commit() : (file.cancelWriting(), false);
        if (!ok)
            MsgBox(QStringLiteral("The settings could not be saved to ") + QDir::toNativeSeparators(path) +
                       QStringLiteral(":\n") + file.errorString(),
                   MsgButtons::OK, MsgIcon::Exclamation);
    }
    if (io.StartMasterTimer) io.StartMasterTimer();
}

void RecallSettings(int32_t devAddr, const SettingsFileIO& io) {
    const QString path = io.ChooseOpenFile ? io.ChooseOpenFile() : QString();
    if (path.isEmpty()) return;
    const QString shown = QDir::toNativeSeparators(path);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        MsgBox(QStringLiteral("The file ") + shown + QStringLiteral(" could not be read:\n") + file.errorString(),
               MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    const QByteArray bytes = file.readAll();
    const bool readOk = file.error() == QFileDevice::NoError;
    file.close();
    if (!readOk) {
        MsgBox(QStringLiteral("The file ") + shown + QStringLiteral(" could not be read:\n") + file.errorString(),
               MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    RecalledSettings settings;
    const RecallProblem problem = ScanSettingsFile(bytes, settings);
    if (problem != RecallProblem::None) {
        MsgBox(shown + QStringLiteral("\n") + RecallProblemText(problem) + QStringLiteral(" Nothing was recalled."),
               MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (io.StopMasterTimer) io.StopMasterTimer();
    ApplyRecalledSettings(devAddr, settings);
    if (io.StartMasterTimer) io.StartMasterTimer();
}
