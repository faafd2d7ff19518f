#pragma once
// The board start-up: firmware load, connect, search of the SMBus, and the simulation offers.
#include <QString>
#include <cstdint>

// What the start-up shows on the splash window.
class SplashView {
public:
    virtual ~SplashView() = default;
    virtual int ProgressDesignWidth() const = 0;  // twips
    virtual void SetProgressWidth(int twips) = 0;
    virtual void SetStatus(const QString& text) = 0;  // repainted at once
    virtual void ShowProgress() = 0;
};

inline constexpr int kMaxFirmwarePathBytes = 512;

QString FirmwarePath();
// Loads the firmware through the board library; a missing library or a path longer than the
// 512-byte buffer counts as the board not found (-1).
int16_t LoadAdapterFirmware();
void SimulationSetup();
void InitialiseEvaluationBoard(SplashView& splash);
// Steps 2 and 3 of the entry: the board start-up, then the offer of simulation mode when no chip
// answered. Ends the program when the user declines.
void RunBoardStartup(SplashView& splash);
