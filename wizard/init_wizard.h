#pragma once

#include <windows.h>

// Builds the whole wizard inside the frame's creation: pages, texts, license, icon, timer, position,
// then shows the License page and the frame. False when a page or the timer cannot be made.
bool InitWizard(HWND frame);

// The one call whose period no test could tell without a clock; tests replace it, the product never
// does.
namespace InitWizardSeams {
extern UINT_PTR(WINAPI* SetTimerCall)(HWND, UINT_PTR, UINT, TIMERPROC);
}  // namespace InitWizardSeams
