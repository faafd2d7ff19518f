// The settings-file reader on any bytes: it must never crash, and what it accepts must be
// within range. The second half of the input also goes through the writer as a comment, and
// the file written must read back to exactly what was saved.
#include "core/run_state.h"
#include "registers/register_table.h"
#include "registers/session.h"
#include "registers/settings_file.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

void Check(bool condition) {
    if (!condition) std::abort();
}

void ScanAnyBytes(const QByteArray& bytes) {
    RecalledSettings s;
    if (ScanSettingsFile(bytes, s) != RecallProblem::None) return;
    for (const auto& [address, value] : s.Registers) Check(address >= 0 && address <= 255 && value >= 0 && value <= 255);
    for (float v : s.Values) Check(std::isfinite(v));
}

void SaveWithComment(const QByteArray& comment) {
    RunState& st = Shared();
    st.SimulationMode = true;
    for (size_t r = 0; r < st.SimRegs.size(); ++r) st.SimRegs[r] = static_cast<uint8_t>(r * 7 + comment.size());
    const QString text = SettingsFileHeader(QString::fromUtf8(comment), QDateTime()) + SettingsFileBody(0x48);
    RecalledSettings s;
    Check(ScanSettingsFile(SettingsFileBytes(text), s) == RecallProblem::None);
    Check(s.Registers.size() == 110);
    size_t i = 0;
    for (int r = 0; r <= 0x72; ++r) {
        if (IsReservedRegister(r)) continue;
        Check(s.Registers[i].first == r && s.Registers[i].second == st.SimRegs[static_cast<size_t>(r)]);
        ++i;
    }
    LoopModelInputs back;
    StoreRecalledInputs(back, s);
    const LoopModelInputs& m = st.Devices[0].LoopModel;
    Check(back.L[0] == m.L[0] && back.ESR[1] == m.ESR[1] && back.N2 == m.N2);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool ready = [] {
        BuildRegisterTable();
        SetLoopModelDefaults();
        return true;
    }();
    (void)ready;
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    ScanAnyBytes(bytes);
    SaveWithComment(bytes.mid(bytes.size() / 2));
    return 0;
}
