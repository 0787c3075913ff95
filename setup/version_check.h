#pragma once

#include "common/command_line.h"
#include "setup/setup_state.h"

// Compares this setup's version with the installed pack's before any page is shown and before anything
// runs unattended. The log says what was found and what this run does. Over an installation, the
// installed components become the run's choice unless /components gives one (the wizard proposes the
// installed folder already, as the saved one). 0 when the run goes on; 1638 when a newer version is
// installed: nothing is written, and in the wizard's mode one message box says how to go back.
int CheckInstalledVersion(SetupState& setup, const CommandLine& arguments);
