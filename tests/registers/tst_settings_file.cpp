#include "registers/settings_file.h"

#include "core/numbers.h"
#include "fixture.h"
#include "registers/register_table.h"
#include "registers/session.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

std::array<float, 14> InputsOf(const LoopModelInputs& m) {
    return {m.L[0], m.C[0], m.ESR[0], m.L[1], m.C[1], m.ESR[1], m.RL, m.R3, m.R4, m.C[2], m.C[3], m.Vin, m.N1, m.N2};
}

const QDateTime kNow(QDate(2024, 3, 5), QTime(14, 7, 9));

const char kDefaultFilterBlock[] =
    "}\r\n\r\n[Filter Settings]\r\n"
    "L1 = 4 uH\r\nC1 = 200 uF\r\nESR1 = 10 mOhm\r\nL2 = 0 uH\r\nC2 = 0 uF\r\nESR2 = 1E+07 mOhm\r\n"
    "RL = 1 Ohm\r\nR3 = 1000 kOhm\r\nR4 = 1000 kOhm\r\nC3 = 0 uF\r\nC4 = 0 uF\r\nVin = 400 V\r\n"
    "N1 = 16\r\nN2 = 1\r\nL2/C2 Enabled = 0\r\nC3/C4 Enabled = 0\r\n#\r\n";

class SettingsFile : public RunFixture {
protected:
    void SetUp() override {
        RunFixture::SetUp();
        ASSERT_TRUE(dir.isValid());
        UseBoardWithChips({0x48, 0x4A});
        BuildRegisterTable();
        SetLoopModelDefaults();
        // Every register of the first chip holds a value of its own.
        for (int r = 0; r < 256; ++r) board.Regs(0x48)[static_cast<size_t>(r)] = static_cast<uint8_t>(r ^ 0xA5);
        board.Regs(0x48)[0x3D] = 0x41;
        io.StopMasterTimer = [this] { events.push_back("stop " + std::to_string(board.Log.size())); };
        io.StartMasterTimer = [this] { events.push_back("start " + std::to_string(board.Log.size())); };
        io.ChooseSaveFile = [this] {
            events.push_back("dialog " + std::to_string(board.Log.size()));
            return chosen;
        };
        io.ChooseOpenFile = io.ChooseSaveFile;
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QByteArray SavedDefaultFile() {
        chosen = Path("saved.sav");
        SaveSettings(0x48, QStringLiteral("bench 3"), io, kNow);
        board.ClearLog();
        events.clear();
        return ReadAll(chosen);
    }

    QTemporaryDir dir;
    SettingsFileIO io;
    QString chosen;
    std::vector<std::string> events;
};

TEST_F(SettingsFile, SaveWritesTheFileByteForByte) {
    chosen = Path("a.sav");
    SaveSettings(0x48, QStringLiteral("  first board  "), io, kNow);

    QByteArray expected =
        "Halvorne Inc.\r\nZVC7140 Evaluation Software\r\n\r\nSaved: 2024-03-05 at 14:07:09\r\n\r\n"
        "Comment : first board\r\n\r\nZVC7140_Registers()\r\n{\r\n";
    std::vector<QString> reads;
    for (int r = 0; r <= 0x72; ++r) {
        if (r == 0x1C || r == 0x36 || r == 0x37 || r == 0x5E || r == 0x5F) continue;
        const int v = r == 0x3D ? 0x41 : (r ^ 0xA5);
        expected += QStringLiteral("0x%1\t0x%2\t // %3\r\n")
                        .arg(TwoDigitHex(r), TwoDigitHex(v), Shared().RegTable[static_cast<size_t>(r)].Name)
                        .toLatin1();
        reads.push_back(QStringLiteral("R 48 ") + TwoDigitHex(r));
    }
    expected += kDefaultFilterBlock;
    const QByteArray file = ReadAll(chosen);
    EXPECT_EQ(file, expected);
    EXPECT_TRUE(file.contains("\r\n0x3D\t0x41\t // 3Dh - Manufacturers ID\r\n"));
    EXPECT_TRUE(file.contains("\r\n0x00\t0xA5\t // 00h - Fault 1\r\n"));
    EXPECT_EQ(reads.size(), 110u);
    EXPECT_EQ(board.AccessTrace(), reads);  // one read per register, no write
    // The timer is off before the first read and on again after the dialog.
    EXPECT_EQ(events, (std::vector<std::string>{"stop 0", "dialog 110", "start 110"}));
}

TEST_F(SettingsFile, FilterValuesUseTheShortNumberText) {
    LoopModelInputs& m = Shared().Devices[0].LoopModel;
    m.C[0] = 0.47f;
    m.L[1] = 2.2f;
    m.Vin = 36.5f;
    m.L2C2Enabled = true;
    const QString body = SettingsFileBody(0x48);
    EXPECT_TRUE(body.contains(QStringLiteral("\r\nC1 = .47 uF\r\n")));
    EXPECT_TRUE(body.contains(QStringLiteral("\r\nL2 = 2.2 uH\r\n")));
    EXPECT_TRUE(body.contains(QStringLiteral("\r\nVin = 36.5 V\r\n")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("L2/C2 Enabled = 1\r\nC3/C4 Enabled = 0\r\n#")));
}

TEST_F(SettingsFile, CancelledSaveReadsTheChipButWritesNoFile) {
    chosen.clear();
    SaveSettings(0x48, QString(), io, kNow);
    EXPECT_EQ(board.AccessTrace().size(), 110u);
    EXPECT_EQ(events, (std::vector<std::string>{"stop 0", "dialog 110", "start 110"}));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(prompts.Shown.empty());
}

TEST_F(SettingsFile, FailedSaveIsToldAndTheTimerRunsAgain) {
    for (const char* bad : {"missing/dir/x.sav", ""}) {
        prompts.Shown.clear();
        events.clear();
        board.ClearLog();
        chosen = *bad ? Path(bad) : dir.path();  // a folder that does not exist; the folder itself
        SaveSettings(0x48, QString(), io, kNow);
        ASSERT_EQ(prompts.Shown.size(), 1u) << bad;
        EXPECT_TRUE(prompts.Shown[0].text.startsWith(QStringLiteral("The settings could not be saved to ")));
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(events.back(), "start 110");
    }
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(SettingsFile, SaveReplacesAnOlderFileWhole) {
    chosen = Path("a.sav");
    WriteAll(chosen, QByteArray(20000, 'z'));
    SaveSettings(0x48, QString(), io, kNow);
    const QByteArray file = ReadAll(chosen);
    EXPECT_TRUE(file.startsWith("Halvorne Inc.\r\n"));
    EXPECT_TRUE(file.endsWith("#\r\n"));
    EXPECT_FALSE(file.contains('z'));
}

TEST_F(SettingsFile, RoundTripGivesBackTheRegistersAndInputs) {
    LoopModelInputs& m = Shared().Devices[0].LoopModel;
    m.L[0] = 3.3f, m.C[0] = 0.47f, m.ESR[0] = 12.5f, m.L[1] = 0.1f, m.C[1] = 1000, m.ESR[1] = 10000000;
    m.RL = 0.25f, m.R3 = 4.7f, m.R4 = 1.234567f, m.C[2] = 2.2e-5f, m.C[3] = 123456.7f, m.Vin = -48;
    m.N1 = 7, m.N2 = 3, m.L2C2Enabled = false, m.C3C4Enabled = true;
    m.Duty = 33;
    const LoopModelInputs saved = m;
    const QByteArray file = SavedDefaultFile();

    Shared().Devices[0].LoopModel = LoopModelInputs{};
    Shared().Devices[0].LoopModel.Duty = 61;
    RecallSettings(0x4A, io);

    std::vector<QString> writes;
    for (int r = 0; r <= 0x72; ++r)
        if (!IsReservedRegister(r))
            writes.push_back(QStringLiteral("W 4A %1 %2").arg(TwoDigitHex(r), TwoDigitHex(board.Regs(0x48)[r])));
    EXPECT_EQ(board.AccessTrace(), writes);  // file order, nothing read
    for (int r = 0; r <= 0x72; ++r)
        if (!IsReservedRegister(r)) {
            EXPECT_EQ(board.Regs(0x4A)[r], board.Regs(0x48)[r]) << r;
        }
    EXPECT_EQ(board.Regs(0x4A)[0x1C], 0);

    const LoopModelInputs& back = Shared().Devices[0].LoopModel;
    EXPECT_EQ(InputsOf(back), InputsOf(saved));
    EXPECT_FALSE(back.L2C2Enabled);
    EXPECT_TRUE(back.C3C4Enabled);
    EXPECT_EQ(back.Duty, 61);  // not in the file
    EXPECT_EQ(Shared().PowerStageTopology, 3);
    EXPECT_EQ(events, (std::vector<std::string>{"dialog 0", "stop 0", "start 110"}));
    EXPECT_TRUE(prompts.Shown.empty());
    EXPECT_TRUE(file.endsWith("C3/C4 Enabled = 1\r\n#\r\n"));
}

TEST_F(SettingsFile, CommentCannotMoveTheScanner) {
    chosen = Path("c.sav");
    SaveSettings(0x48, QStringLiteral(" {x=1 #\r\n0x05\t0x77\n}\u2028end "), io, kNow);
    const QByteArray file = ReadAll(chosen);
    EXPECT_TRUE(file.contains("\r\nComment : {x=1 #  0x05\t0x77 } end\r\n\r\nZVC7140_Registers()\r\n"));

    RecalledSettings s;
    ASSERT_EQ(ScanSettingsFile(file, s), RecallProblem::None);
    ASSERT_EQ(s.Registers.size(), 110u);
    EXPECT_EQ(s.Registers.front(), std::make_pair(0x00, 0xA5));
    EXPECT_EQ(s.Registers.back(), std::make_pair(0x72, 0x72 ^ 0xA5));
    EXPECT_EQ(s.Values[0], 4.0f);
}

TEST_F(SettingsFile, ReaderTakesWhateverRegisterLinesItFinds) {
    const QByteArray file =
        "any banner { and the rest of this line\r\n"
        "0x80\t0x12\t // above the saved range\r\n"
        "0x1C\t0x34 reserved\r\n"
        "free words x05 then x7F and more x\r\n"
        "0x3G\t0xZ1\r\n"  // not hex: the leading digit, or 0
        "0x5E\t0x9\t\r\n"
        "}\r\n"
        "L1 = 5 uH C1 = 1E+02 ESR1=3=4=5=6=7=8=9=10=11=12=13=14\r\n= 1 =2#tail";
    chosen = Path("r.sav");
    WriteAll(chosen, file);
    RecallSettings(0x48, io);
    EXPECT_EQ(board.AccessTrace(),
              (std::vector<QString>{"W 48 80 12", "W 48 1C 34", "W 48 05 7F", "W 48 03 00", "W 48 5E 09"}));
    const LoopModelInputs& m = Shared().Devices[0].LoopModel;
    EXPECT_EQ(m.L[0], 5.0f);
    EXPECT_EQ(m.C[0], 100.0f);
    EXPECT_EQ(m.N2, 14.0f);
    EXPECT_TRUE(m.L2C2Enabled);
    EXPECT_FALSE(m.C3C4Enabled);  // "2" counts as false
    EXPECT_EQ(Shared().PowerStageTopology, 2);
}

TEST_F(SettingsFile, BrokenFilesChangeNothingAndAreTold) {
    const QByteArray good = SavedDefaultFile();
    QByteArray fifteen = good;
    fifteen.replace("C3/C4 Enabled = 0\r\n", "");
    QByteArray crOnly = good;
    crOnly.replace("\r\n", "\r");
    QByteArray tooLarge = good;
    tooLarge.replace("Vin = 400 V", "Vin = 4E+38 V");
    QByteArray infinite = good;
    infinite.replace("RL = 1 Ohm", "RL = 1E+999 Ohm");
    const qsizetype filterStart = good.indexOf("[Filter");
    struct Case {
        const char* name;
        QByteArray bytes;
        RecallProblem problem;
    };
    const Case cases[] = {
        {"empty", QByteArray(), RecallProblem::NoRegisterBlock},
        {"no {", QByteArray(good).replace('{', '('), RecallProblem::NoRegisterBlock},
        {"ends after {", good.left(good.indexOf('{') + 1), RecallProblem::EndsInRegisterBlock},
        {"ends in the block", good.left(good.indexOf("0x40\t")), RecallProblem::EndsInRegisterBlock},
        {"ends inside a line", good.left(good.indexOf("0x40\t") + 6), RecallProblem::EndsInRegisterBlock},
        {"no }", QByteArray(good).replace("}\r\n", ""), RecallProblem::EndsInRegisterBlock},
        {"no #", QByteArray(good).replace('#', ' '), RecallProblem::NoEndMark},
        {"ends inside a value", good.left(good.indexOf("Vin = 4") + 7), RecallProblem::NoEndMark},
        {"ends before the filter block", good.left(filterStart), RecallProblem::NoEndMark},
        {"fifteen =", fifteen, RecallProblem::TooFewValues},
        {"CR-only line ends", crOnly, RecallProblem::EndsInRegisterBlock},
        {"too large for single", tooLarge, RecallProblem::ValueTooLarge},
        {"infinite", infinite, RecallProblem::ValueTooLarge},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecalledSettings s;
        EXPECT_EQ(ScanSettingsFile(c.bytes, s), c.problem);

        SetLoopModelDefaults();
        LoopModelInputs& m = Shared().Devices[0].LoopModel;
        m.L2C2Enabled = m.C3C4Enabled = true;
        Shared().PowerStageTopology = 4;
        const LoopModelInputs before = m;
        prompts.Shown.clear();
        board.ClearLog();
        events.clear();
        chosen = Path("broken.sav");
        WriteAll(chosen, c.bytes);
        RecallSettings(0x48, io);

        EXPECT_TRUE(board.AccessTrace().empty());
        EXPECT_EQ(InputsOf(m), InputsOf(before));
        EXPECT_TRUE(m.L2C2Enabled && m.C3C4Enabled);
        EXPECT_EQ(Shared().PowerStageTopology, 4);
        ASSERT_EQ(prompts.Shown.size(), 1u);
        EXPECT_TRUE(prompts.Shown[0].text.endsWith(RecallProblemText(c.problem) + " Nothing was recalled."))
            << prompts.Shown[0].text.toStdString();
        EXPECT_EQ(prompts.Shown[0].icon, MsgIcon::Exclamation);
        EXPECT_EQ(events, (std::vector<std::string>{"dialog 0"}));  // the timer was never stopped
    }
}

TEST_F(SettingsFile, CancelledOrUnreadableRecallWritesNothing) {
    chosen.clear();
    RecallSettings(0x48, io);
    EXPECT_TRUE(prompts.Shown.empty());
    chosen = Path("does-not-exist.sav");
    RecallSettings(0x48, io);
    ASSERT_EQ(prompts.Shown.size(), 1u);
    EXPECT_TRUE(prompts.Shown[0].text.contains(QStringLiteral("could not be read")));
    EXPECT_TRUE(board.AccessTrace().empty());
    EXPECT_EQ(events, (std::vector<std::string>{"dialog 0", "dialog 0"}));
}

TEST(SettingsFileFlags, TopologyFromTheTwoFlags) {
    struct Case {
        const char* l2c2;
        const char* c3c4;
        bool a, b;
        int topology;
    };
    const Case cases[] = {{"0", "0", false, false, 1}, {"1", "0", true, false, 2}, {"0", "1", false, true, 3},
                          {"1", "1", true, true, 4},   {"2", "1", false, true, 3}, {"1.0", "-1", true, false, 2},
                          {"1E+00", " 1", true, true, 4}};
    for (const Case& c : cases) {
        const QByteArray file = QByteArray("{\r\n}") + QByteArray("=1").repeated(14) + "= " + c.l2c2 + "=" + c.c3c4 + "#";
        RecalledSettings s;
        ASSERT_EQ(ScanSettingsFile(file, s), RecallProblem::None) << c.l2c2;
        EXPECT_EQ(s.L2C2Enabled, c.a) << c.l2c2;
        EXPECT_EQ(s.C3C4Enabled, c.b) << c.c3c4;
        EXPECT_EQ(TopologyFromFlags(s.L2C2Enabled, s.C3C4Enabled), c.topology);
    }
}

TEST(SettingsFileDevice, AddressFromTheListItem) {
    EXPECT_EQ(DeviceAddressFromItem(QStringLiteral("48h")), 0x48);
    EXPECT_EQ(DeviceAddressFromItem(QStringLiteral("7Fh")), 0x7F);
    EXPECT_EQ(DeviceAddressFromItem(QStringLiteral("Ah")), 0x0A);
}

}  // namespace
