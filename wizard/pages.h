#pragma once

#include <windows.h>

// The one dialog procedure of the four pages: turns their buttons into page moves and colours the
// details list. It acts on the page on show, never on the window it is given.
INT_PTR CALLBACK PageDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
