// Temporary: minimal versions of the registry layer and the folder chain so that the installation links
// and can be tested before they land on main. Delete this file when they do.
#include "install/registry.h"
#include "setup/paths.h"
#include "setup/setup_state.h"

wchar_t* SetupState::BuildRegistryPath(const wchar_t* c1, const wchar_t* c2, const wchar_t* c3, const wchar_t* c4,
                                       const wchar_t* c5, const wchar_t* c6) {
    const wchar_t* parts[6] = {c1, c2, c3, c4, c5, c6};
    ::lstrcpyW(Scratch.Wide, L"Software");
    for (const wchar_t* part : parts) {
        if (part == nullptr) {
            break;
        }
        ::lstrcatW(Scratch.Wide, L"\\");
        ::lstrcatW(Scratch.Wide, part);
    }
    return Scratch.Wide;
}

uint32_t WriteRegistryValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD type, const void* data,
                            DWORD byteCount) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                          &key, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    ::RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), byteCount);
    ::RegCloseKey(key);
    return 1;
}

uint32_t CreateDirectoryChain(const wchar_t* path) {
    wchar_t prefix[MAX_PATH] = {};
    for (uint32_t i = 0; path[i] != 0 && i + 1 < MAX_PATH; ++i) {
        prefix[i] = path[i];
        if ((path[i] == L'\\' || path[i] == L'/') && i > 2) {
            DWORD attributes = ::GetFileAttributesW(prefix);
            if ((attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) &&
                !::CreateDirectoryW(prefix, nullptr)) {
                return 0;
            }
        }
    }
    return 1;
}
