#include "install/registry.h"

#include "common/bounded_text.h"
#include "setup/setup_state.h"

namespace {

constexpr const wchar_t* KeyPathRoot = L"Software";
constexpr const wchar_t* SavedPathValueName = L"AppPath";
// The whole folder buffer but two characters: room for the separator that start-up may still add, and
// a zero of the buffer's fill after data stored without its terminator. Any folder the wizard takes
// (260 characters with its separator) is read back whole.
constexpr DWORD SavedPathByteLimit = (PathCapacity - 2) * sizeof(wchar_t);

}  // namespace

wchar_t* SetupState::BuildRegistryPath(const wchar_t* c1, const wchar_t* c2, const wchar_t* c3, const wchar_t* c4,
                                       const wchar_t* c5, const wchar_t* c6) {
    const wchar_t* components[6] = {c1, c2, c3, c4, c5, c6};
    constexpr uint32_t capacity = ScratchBytes / sizeof(wchar_t);
    CopyText(Scratch.Wide, capacity, KeyPathRoot);
    for (const wchar_t* component : components) {
        if (component == nullptr) {
            break;
        }
        AppendText(Scratch.Wide, capacity, L"\\");
        AppendText(Scratch.Wide, capacity, component);
    }
    return Scratch.Wide;
}

uint32_t WriteRegistryValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD type, const void* data,
                            DWORD byteCount) {
    HKEY key = nullptr;
    // No WOW64 flag: a 32-bit installer writes where the platform puts a 32-bit program's values.
    LONG created = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                     nullptr, &key, nullptr);
    if (created != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(created));
        return 0;
    }
    LONG status = ::RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(data), byteCount);
    static_cast<void>(::RegCloseKey(key));
    if (status != ERROR_SUCCESS) {
        ::SetLastError(static_cast<DWORD>(status));  // the reason, for the caller's log
        return 0;
    }
    return 1;
}

uint32_t ReadSavedInstallPath(const wchar_t* keyPath, wchar_t* destination) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return 0;
    }
    // Any type is accepted here; the caller's folder test decides whether the text is usable.
    DWORD byteCount = SavedPathByteLimit;
    LONG status = ::RegQueryValueExW(key, SavedPathValueName, nullptr, nullptr, reinterpret_cast<BYTE*>(destination),
                                     &byteCount);
    static_cast<void>(::RegCloseKey(key));
    return status == ERROR_SUCCESS ? 1 : 0;
}

LONG ReadRegistryValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD* type, BYTE* data,
                       DWORD* byteCount) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE, &key);
    if (status != ERROR_SUCCESS) {
        return status;
    }
    status = ::RegQueryValueExW(key, valueName, nullptr, type, data, byteCount);
    static_cast<void>(::RegCloseKey(key));
    return status;
}
