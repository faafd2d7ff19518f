// The real program against the emulated board library, as a user would start it.
#include "link/board_api.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <gtest/gtest.h>

namespace {

struct RunResult {
    int exitCode = -1;
    QStringList report;
    QStringList log;
};

QStringList ReadLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// Installs the program with the emulated board library in a folder of its own and runs it.
RunResult RunProgram(const QString& chips, const QString& firmwareResult, const QString& answer) {
    QTemporaryDir dir;
    EXPECT_TRUE(dir.isValid());
    const QString exe = dir.filePath(QStringLiteral("ZVC7140Eval"));
    EXPECT_TRUE(QFile::copy(QStringLiteral(ZVC_PROGRAM), exe));
    EXPECT_TRUE(QFile::copy(QStringLiteral(ZVC_EMULATED_LIB), dir.filePath(QStringLiteral("libUSBFunctions.so"))));
    QFile fw(dir.filePath(QStringLiteral("ZVC7140FW.Hex")));
    EXPECT_TRUE(fw.open(QIODevice::WriteOnly));
    fw.write(":00000001FF\n");
    fw.close();

    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("ZVC_EMU_CHIPS"), chips);
    env.insert(QStringLiteral("ZVC_EMU_FIRMWARE"), firmwareResult);
    env.insert(QStringLiteral("ZVC_EMU_ANSWER"), answer);
    env.insert(QStringLiteral("ZVC_EMU_LOG"), dir.filePath(QStringLiteral("requests.log")));
    env.insert(QStringLiteral("ZVC_EMU_REPORT"), dir.filePath(QStringLiteral("report.txt")));
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p.start(exe, {});
    EXPECT_TRUE(p.waitForStarted());
    EXPECT_TRUE(p.waitForFinished(60000));
    RunResult r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.report = ReadLines(dir.filePath(QStringLiteral("report.txt")));
    r.log = ReadLines(dir.filePath(QStringLiteral("requests.log")));
    return r;
}

}  // namespace

TEST(EndToEnd, TwoChipsFromFirmwareLoadToTheMainWindow) {
    const RunResult r = RunProgram(QStringLiteral("0x48,0x4A"), QStringLiteral("0"), QStringLiteral("Yes"));
    EXPECT_EQ(r.exitCode, 0);
    ASSERT_FALSE(r.log.isEmpty());
    EXPECT_TRUE(r.log[0].startsWith(QStringLiteral("firmware /")));
    EXPECT_TRUE(r.log[0].endsWith(QStringLiteral("/ZVC7140FW.Hex")));
    EXPECT_EQ(r.log.value(1), QStringLiteral("request dd 30 33 0 0 -> 0 0"));
    ASSERT_GE(r.log.size(), 2 + 128);
    for (int a = 0; a < 128; ++a) {
        const bool chip = a == 0x48 || a == 0x4A;
        EXPECT_EQ(r.log[2 + a], QStringLiteral("request de %1 3d 1 1 -> 0 %2").arg(a, 0, 16).arg(chip ? "41" : "ff"));
    }
    // Once the block diagram is open the master timer may poll readings before the run ends:
    // reads only, never a write.
    for (qsizetype i = 2 + 128; i < r.log.size(); ++i)
        EXPECT_TRUE(r.log[i].startsWith(QStringLiteral("request de 4")) && r.log[i].contains(QStringLiteral(" 1 1 -> 0")))
            << r.log[i].toStdString();
    const QStringList expected = {"chooser=ZVC7140 Devices Found",
                                  "device=ZVC7140 at address 0x48",
                                  "device=ZVC7140 at address 0x4A",
                                  "main=ZVC7140 Evaluation Software",
                                  "maximized=1",
                                  "menu=&File:1",
                                  "menu=Device&1:1",
                                  "menu=Device&2:1",
                                  "menu=&Common:1",
                                  "menu=&Window:1",
                                  "child=ZVC7140 at SMBus Address = 0x48",
                                  "done=1"};
    EXPECT_EQ(r.report, expected);
}

TEST(EndToEnd, BoardAbsentContinuesInSimulation) {
    const RunResult r = RunProgram(QString(), QStringLiteral("-1"), QStringLiteral("Yes"));
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.log.size(), 1);  // the firmware load only: no connect, no search
    ASSERT_GE(r.report.size(), 4);
    EXPECT_EQ(r.report[0], "question=The ZVC7140 evaluation board has not been found.|Continue in simulation mode?");
    EXPECT_EQ(r.report[2], "device=ZVC7140 at address 0x48");
    EXPECT_EQ(r.report[3], "main=ZVC7140 Evaluation Software (simulation mode)");
    EXPECT_TRUE(r.report.contains("menu=Device&2:0"));
}

TEST(BoardLibrary, MissingLibraryOrSymbolMeansNoBoard) {
    QTemporaryDir empty;
    EXPECT_EQ(LoadBoardLibrary(empty.path()), nullptr);
    // A library without the board's two operations.
    QTemporaryDir wrong;
    const QString libm = QStringLiteral("/lib/x86_64-linux-gnu/libm.so.6");
    if (QFile::exists(libm)) {
        ASSERT_TRUE(QFile::copy(libm, wrong.filePath(QStringLiteral("libUSBFunctions.so"))));
        EXPECT_EQ(LoadBoardLibrary(wrong.path()), nullptr);
    }
    QTemporaryDir right;
    ASSERT_TRUE(QFile::copy(QStringLiteral(ZVC_EMULATED_LIB), right.filePath(QStringLiteral("libUSBFunctions.so"))));
    EXPECT_NE(LoadBoardLibrary(right.path()), nullptr);
}
