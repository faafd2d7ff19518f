#include "core/run_state.h"

RunState& Shared() {
    static RunState state;
    return state;
}

void ResetRunState() { Shared() = RunState{}; }
