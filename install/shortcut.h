#pragma once

#include <windows.h>

// Writes a shell link at link that points at target. The failing step's HRESULT, else that of saving.
HRESULT CreateShortcut(const wchar_t* target, const wchar_t* link);

// Where the shell's link object comes from. Wine's object neither fails to hand over its file interface
// nor answers a save with a positive result; tests hand over their own object, the product never does.
namespace ShortcutSeams {
extern HRESULT(WINAPI* CoCreateInstanceCall)(REFCLSID, LPUNKNOWN, DWORD, REFIID, LPVOID*);
}  // namespace ShortcutSeams
