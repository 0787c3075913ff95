#pragma once

#include "setup/setup_state.h"

#include <cstdint>

// What this installation takes back of the one it replaces, by the uninstaller's own rule: a link,
// registration or program goes only while it still leads to that installation. Each removal is named in
// the details list and waits in the journal (a rename, remembered values) so that a failure of the
// installation puts it back; one that fails is counted as a failure of the installation.

// True when the installed pack lives in this installation's folder: its components not chosen now go.
bool IsReplacingInPlace(const SetupState& setup);

// True when the installed pack lives in another folder, which goes once this installation succeeded.
bool IsMovingInstallation(const SetupState& setup);

// The component, installed in this folder before and not chosen now: its link, registrations, program.
void RemoveUnchosenComponent(SetupState& setup, uint32_t component);

// The earlier installation in the other folder: its components and its uninstaller, kept in the journal
// until this installation has succeeded.
void RemoveEarlierInstallation(SetupState& setup);

// Once this installation is kept: the earlier folder's leftover temporary files, and the folder once
// empty. Named in the details list; a folder left behind fails nothing, the installation being whole.
void RemoveEarlierFolder(SetupState& setup);

// The components whose programs stand in the install folder after the steps, of those chosen or
// installed there before: what the record and the entry's size state.
uint32_t ComponentsInPlace(const SetupState& setup);
