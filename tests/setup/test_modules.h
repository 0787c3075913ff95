#pragma once

#include <windows.h>

#include <string>

// The resource-only modules beside the test program (payload_short.dll, ...): where one lies, and
// loaded as data, so that it can stand in as the module whose payload is loaded.
std::wstring PayloadModulePath(const wchar_t* name);
HMODULE LoadPayloadModule(const wchar_t* name);
