#pragma once

#include "setup/setup_state.h"

#include <cstdint>

// Takes the run's choices once, when the installation starts: the components (bit n: component n),
// from the wizard's pages or from the command line, with the space they need, and the install folder
// as it is now; the log names both folders. The steps read them from the state from then on, never
// from a page.
void BeginInstallation(SetupState& setup, uint32_t components);
