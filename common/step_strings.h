#pragma once

#include "common/bounded_text.h"

#include <cstdint>

// The icon text and the commands of one install step, terminator included.
constexpr uint32_t WorkingStringCapacity = 308;

// The composing functions follow the rules of the bounded text operations: they write only inside
// the capacity given and return 1 when the whole text fit, 0 when it was cut to fit.

// Folder (ending in a separator) + name + extension, in the folder's own buffer.
uint32_t AppendFileName(wchar_t* folder, uint32_t capacity, const wchar_t* name, const wchar_t* extension);

// Folder + the uninstaller's base name with a lower-case first letter + ".exe": the table keeps
// "Uninstall", the file on disk is uninstall.exe.
uint32_t AppendUninstallerName(wchar_t* folder, uint32_t capacity, const wchar_t* baseName);

// path,0 - the file's first icon.
uint32_t ComposeIconText(wchar_t* out, uint32_t capacity, const wchar_t* path);

// "path" "%1"
uint32_t ComposeOpenCommand(wchar_t* out, uint32_t capacity, const wchar_t* path);

// "path"
uint32_t ComposeUninstallCommand(wchar_t* out, uint32_t capacity, const wchar_t* path);

// "path" /quiet
uint32_t ComposeQuietUninstallCommand(wchar_t* out, uint32_t capacity, const wchar_t* path);

// What the registry is handed for a string: its characters and the terminator, in bytes.
uint32_t StringByteCount(const wchar_t* text);

// Bar position after step n of the nine: 11, 22, ..., 88, 100.
uint32_t StepProgressPosition(uint32_t step);
