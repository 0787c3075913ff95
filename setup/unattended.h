#pragma once

#include "common/command_line.h"
#include "setup/setup_state.h"

// The installation's choices taken from the command line, and the runs that ask no one.

// The folder given by /dir, made plain, replaces the proposed one, before the wizard or the checks see it.
void ApplyFolderChoice(SetupState& setup, const CommandLine& arguments);

// What the wizard would refuse, refused before anything is written: no component, a folder that
// cannot be used, too little free space on its volume. 0 when the installation may go on, else the
// exit code; the log says why.
int CheckUnattendedChoices(SetupState& setup);

// /quiet: no window, the nine steps one after the other. The installation's exit code.
int RunQuietInstallation(SetupState& setup);

// Whether files can go into the folder: the nearest part of it that exists is a folder, and the
// longest name installed there still makes a path the file functions take.
bool IsUsableInstallFolder(const SetupState& setup, const wchar_t* folder);
