#pragma once

#include <windows.h>

// Writes a shell link at link that points at target. The failing step's HRESULT, else that of saving.
HRESULT CreateShortcut(const wchar_t* target, const wchar_t* link);
