#pragma once

#include <windows.h>

#include <cstdint>

// Inset that a change to the given DPI adds to the license text: 5 pixels per 96 DPI, at most 20.
int32_t LicenseInsetForDpi(uint32_t dpi);

// Moves the left and top edges of an edit control's formatting rectangle inwards by the given pixels,
// on top of whatever rectangle the control reports now.
void InsetEditRect(HWND edit, int32_t dx, int32_t dy);
