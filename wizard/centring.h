#pragma once

#include <windows.h>

#include <cstdint>

// Where a window of windowLength starts so that it sits in the middle of an area. The division
// truncates toward zero, and a window larger than the area gets a start before the area's.
int32_t CentredOrigin(int32_t areaStart, int32_t areaLength, int32_t windowLength);

// Moves the window to the middle of the primary monitor's work area; its size and z-order stay.
void CentreOnWorkArea(HWND window);
