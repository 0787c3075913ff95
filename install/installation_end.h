#pragma once

#include "setup/setup_state.h"

// How an installation ends: kept whole, or undone whole.

// After a failure: every change of the journal undone, the most recent first, each named in the details
// list and the log. Should an undo fail, it is named with its error, and what lists the installation
// (the uninstaller and its entry) stays, so that the installation can still be removed.
void UndoInstallation(SetupState& setup);

// After success: the earlier files waiting aside are deleted, those in use at the next restart, each
// such one named. Sets RestartCount to the programs that take their place only at the next restart.
void KeepInstallation(SetupState& setup);

// 7 after a failure (undone), 3010 when a program takes its place only at the next restart, else 0.
int InstallationExitCode(const SetupState& setup);
