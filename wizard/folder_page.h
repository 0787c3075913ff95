#pragma once

#include "setup/setup_state.h"

#include <windows.h>

#include <cstdint>

// The Folder page's Browse command: the folder picker, then the chosen folder becomes the install
// folder and the space figures are rebuilt. A cancelled picker changes nothing.
void ChooseInstallFolder();

// The components ticked on the Components page, bit n for component n.
uint32_t TickedComponents(const SetupState& setup);

// Free bytes available to the caller on the volume that holds the folder: asked first of the deepest
// part of the folder that exists; when none does (or that query fails), of the folder's first three
// characters (the drive root), then of the whole folder. UnknownFreeBytes when every query fails.
uint64_t QueryFreeBytes(const wchar_t* folder);

// The one call that Wine cannot make report an exact figure; tests replace it, the product never does.
namespace FolderPageSeams {
extern BOOL(WINAPI* GetDiskFreeSpaceExCall)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER);
}  // namespace FolderPageSeams
