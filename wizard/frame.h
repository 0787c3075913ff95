#pragma once

#include <windows.h>

INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Builds the pages, texts, icon and timer inside the frame's creation. True on success.
bool InitWizard(HWND frame);
