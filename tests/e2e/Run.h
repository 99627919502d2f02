// The run of one scenario against the real launcher.
#pragma once

#include "Scenarios.h"

#include <string>

namespace e2e {

struct Options {
    const Scenario* scenario = nullptr;
    std::wstring package, setup_exe, shots, work;
    int client_width = 0, client_height = 0;
    int dpi = 0;
};

// Fails (throws Failure) at the first check that does not hold.
void RunScenario(const Options& o);

} // namespace e2e
