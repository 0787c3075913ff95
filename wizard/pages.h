#pragma once

#include <windows.h>

#include <cstdint>

INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the left and top edges of an edit control's formatting rectangle inwards by the given pixels.
void InsetEditRect(HWND edit, int32_t dx, int32_t dy);
