#include "tests/setup/test_modules.h"

#include <cwchar>

HMODULE LoadPayloadModule(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    wchar_t* slash = std::wcsrchr(path, L'\\');
    if (slash == nullptr) {
        return nullptr;
    }
    ::swprintf(slash + 1, MAX_PATH - (slash + 1 - path), L"payload_%ls.dll", name);
    return ::LoadLibraryExW(path, nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}
