#pragma once
// Settings files "*.sav": a chip's registers and the filter-design inputs of Devices[0].
// The text is built and scanned here; the window only supplies the device, the comment,
// the file names and the master timer.
#include "core/run_state.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

// Lines 1 to 7: banner, date and comment, each ended by CR LF. Line breaks in the comment
// become blanks so that they can never move the scanner into the comment.
QString SettingsFileHeader(const QString& comment, const QDateTime& now);
// "ZVC7140_Registers()" to "#": reads registers 0 to 0x72 but the reserved ones from the chip.
QString SettingsFileBody(int32_t devAddr);
// The file's bytes: single-byte text and the line end after "#".
QByteArray SettingsFileBytes(const QString& text);

// What a sound file holds, in the order the scanner meets it.
struct RecalledSettings {
    std::vector<std::pair<int, int>> Registers;  // address, value; both 0 to 255
    std::array<float, 14> Values{};               // L1 C1 ESR1 L2 C2 ESR2 RL R3 R4 C3 C4 Vin N1 N2
    bool L2C2Enabled = false;
    bool C3C4Enabled = false;
};

enum class RecallProblem { None, NoRegisterBlock, EndsInRegisterBlock, NoEndMark, TooFewValues, ValueTooLarge };

// Scans a whole file as the character scanner reads it; nothing is applied.
RecallProblem ScanSettingsFile(const QByteArray& bytes, RecalledSettings& out);
QString RecallProblemText(RecallProblem problem);

// Writes the registers in file order to devAddr, then the inputs and PowerStageTopology.
void ApplyRecalledSettings(int32_t devAddr, const RecalledSettings& s);
// Inputs of a LoopModelInputs in file order, for building and for tests.
void StoreRecalledInputs(LoopModelInputs& m, const RecalledSettings& s);
int TopologyFromFlags(bool l2c2, bool c3c4);

// The device address of an item of the device list, "48h" giving 0x48.
int32_t DeviceAddressFromItem(const QString& item);

// What Save and Recall need from their window.
struct SettingsFileIO {
    std::function<void()> StopMasterTimer;
    std::function<void()> StartMasterTimer;
    std::function<QString()> ChooseSaveFile;  // empty: cancelled
    std::function<QString()> ChooseOpenFile;  // empty: cancelled
};

// cmdsave_Click: the chip is read before the dialog; the file is replaced only by a complete
// write; the master timer runs again afterwards whatever happened.
void SaveSettings(int32_t devAddr, const QString& comment, const SettingsFileIO& io,
                  const QDateTime& now = QDateTime::currentDateTime());
// cmdRecall_Click: the whole file is checked before the first write.
void RecallSettings(int32_t devAddr, const SettingsFileIO& io);
