#pragma once

#include <windows.h>

// The frame's only timer: it paces the install steps, one per tick.
constexpr UINT_PTR StepTimerId = 1;

// The wizard frame (template 103): builds the wizard, paces the install steps and decides on closing.
INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
