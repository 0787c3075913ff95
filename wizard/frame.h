#pragma once

#include <windows.h>

// The frame's timer that paces the install steps, one per tick.
constexpr UINT_PTR StepTimerId = 1;
// Under /passive, closes the frame a while after the result shows.
constexpr UINT_PTR AutoCloseTimerId = 2;
constexpr UINT AutoCloseDelayMs = 1000;

// Posted by the frame to itself, so that the license text is placed after the platform has rescaled
// the frame and its pages for a new DPI; wParam is that DPI.
constexpr UINT PlaceLicenseTextMessage = WM_APP + 1;

// The wizard frame (template 103): builds the wizard, paces the install steps and decides on closing.
INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
