#pragma once

#include "setup/setup_state.h"

#include <cstdint>

// What this installation takes back of the one it replaces, by the uninstaller's own rule: a link,
// registration or program goes only while it still leads to that installation. Each removal is named in
// the details list; one that fails is counted as a failure of the installation.

// True when the installed pack lives in this installation's folder: its components not chosen now go.
bool IsReplacingInPlace(const SetupState& setup);

// True when the installed pack lives in another folder, which goes once this installation succeeded.
bool IsMovingInstallation(const SetupState& setup);

// The component, installed in this folder before and not chosen now: its link, registrations, program.
void RemoveUnchosenComponent(SetupState& setup, uint32_t component);

// The earlier installation in the other folder: its components, leftover temporary files, uninstaller,
// and the folder once empty.
void RemoveEarlierInstallation(SetupState& setup);

// The components whose programs stand in the install folder after the steps, of those chosen or
// installed there before: what the record and the entry's size state.
uint32_t ComponentsInPlace(const SetupState& setup);
