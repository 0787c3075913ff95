#pragma once

#include <windows.h>

#include <string>

// Saves what the screen shows of a window (its outer rectangle) as a 24-bit BMP file.
bool SaveWindowPicture(HWND window, const std::wstring& path);

// Saves the window, brought to the front so that its caption is drawn active and freshly painted, to
// <KELVORIN_SCREENSHOT_DIR>\<name>.bmp; the test runner turns it into a PNG. Does nothing when the
// variable is not set. The window may belong to another process.
void SaveScreenshot(HWND window, const wchar_t* name);
