#pragma once

#include <windows.h>

// Builds the whole wizard inside the frame's creation: pages, texts, license, icon, timer, position,
// then shows the License page and the frame. False when a page or the timer cannot be made.
bool InitWizard(HWND frame);
