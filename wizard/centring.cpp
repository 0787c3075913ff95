#include "wizard/centring.h"

int32_t CentredOrigin(int32_t areaStart, int32_t areaLength, int32_t windowLength) {
    if (windowLength > areaLength) {
        return areaStart;
    }
    return areaStart + (areaLength - windowLength) / 2;
}

// Zeroed rectangles stand in for a failed query, so the frame still gets a position.
void CentreOnWorkArea(HWND window) {
    RECT area = {};
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    RECT outer = {};
    ::GetWindowRect(window, &outer);
    const int32_t x = CentredOrigin(area.left, area.right - area.left, outer.right - outer.left);
    const int32_t y = CentredOrigin(area.top, area.bottom - area.top, outer.bottom - outer.top);
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
