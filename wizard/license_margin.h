#pragma once

#include <windows.h>

#include <cstdint>

// Inset of the license text after a change to the given DPI: 5 pixels per 96 DPI, at most 20.
int32_t LicenseInsetForDpi(uint32_t dpi);

// Moves the left and top edges of an edit control's formatting rectangle inwards by the given pixels,
// on top of whatever rectangle the control reports now.
void InsetEditRect(HWND edit, int32_t dx, int32_t dy);

// Sets an edit control's formatting rectangle to its client rectangle with the left and top edges
// moved inwards by inset, whatever the rectangle was before, so that repeated calls never add up.
void SetEditRectInset(HWND edit, int32_t inset);
