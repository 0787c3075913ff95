#pragma once

#include <windows.h>

// Loads one of the resource-only modules beside the test program (payload_short.dll, ...) as data, so
// that it can stand in as the module whose payload is loaded.
HMODULE LoadPayloadModule(const wchar_t* name);
