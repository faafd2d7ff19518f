#pragma once
// The common test fixture: fresh run state, an emulated board, scripted boxes, a test clock that
// moves on by itself, and a program end that throws instead of exiting.
#include "emulated_board.h"
#include "scripted_prompts.h"

#include "core/run_state.h"
#include "core/system_timer.h"
#include "link/platform.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <ostream>

// Readable failure messages for Qt texts.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
inline void PrintTo(const QStringList& l, std::ostream* os) {
    *os << '{';
    for (const QString& s : l) *os << " \"" << s.toStdString() << '"';
    *os << " }";
}

struct ProgramEnded {
    int code;
};

class TestClock {
public:
    double Now = 8 * 3600.0;
    double AutoStep = 0.001;  // every reading moves the clock on, so busy waits end
    double Read() {
        const double t = Now;
        Now += AutoStep;
        if (Now >= 86400.0) Now -= 86400.0;
        return t;
    }
};

class RunFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Simulation mode with one chip at 0x48, as the start-up leaves it.
    void EnterSimulation();
    // A real-mode run with chips at the given addresses, as the start-up leaves it.
    void UseBoardWithChips(std::initializer_list<int> addresses);

    EmulatedBoard board;
    ScriptedPrompts prompts;
    TestClock clock;
    int unloadAllCalls = 0;
    int stopTimerCalls = 0;
};
