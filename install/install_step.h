#pragma once

#include <cstdint>

// Runs install step n (0 to 8) on the state behind CurrentSetup; one step per timer tick.
void RunInstallStep(uint32_t step);
