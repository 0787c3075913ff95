#pragma once

#include "install/programs_in_use.h"
#include "setup/setup_state.h"

// When "&Install" is pressed: the programs about to be replaced that are in use, in one message box
// with Try Again (look again), Continue (install now; those programs are finished at the next restart)
// and Cancel. True when the installation may start; false to stay on the Folder page, nothing written.
bool ConfirmProgramsInUse(SetupState& setup);

// The box's text for what was found; out holds InUseTextCapacity characters. Pure, for the tests.
constexpr uint32_t InUseTextCapacity = 512 + InUseSlots * InUseNameCapacity;
void ComposeInUseText(const ProgramsInUse& found, wchar_t* out);
