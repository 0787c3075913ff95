#pragma once

#include <windows.h>

#include <cstdint>

// Where a window of windowLength starts along one axis of an area: in the middle, rounded down, when
// it fits; at the area's start when it does not, so that its caption and buttons stay reachable.
int32_t CentredOrigin(int32_t areaStart, int32_t areaLength, int32_t windowLength);

// Moves the window to the middle of the primary monitor's work area; its size and z-order stay.
void CentreOnWorkArea(HWND window);
