#include "tests/setup/test_modules.h"

std::wstring PayloadModulePath(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    return folder.substr(0, folder.rfind(L'\\') + 1) + L"payload_" + name + L".dll";
}

HMODULE LoadPayloadModule(const wchar_t* name) {
    return ::LoadLibraryExW(PayloadModulePath(name).c_str(), nullptr,
                            LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}
