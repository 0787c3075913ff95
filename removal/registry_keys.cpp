#include "removal/registry_keys.h"

#include "removal/installation.h"
#include "removal/kept_removals.h"
#include "removal/text.h"

namespace {

constexpr REGSAM View = KEY_WOW64_32KEY;
constexpr REGSAM DeleteTreeAccess = DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE;

uint32_t KeptOrFailed(LONG status);

}  // namespace

uint32_t ComposeKeyPath(const RegistryKey& key, uint32_t partCount, wchar_t* out) {
    uint32_t fits = CopyText(out, TextCapacity, L"Software");
    for (uint32_t i = 0; i < partCount; ++i) {
        fits &= AppendText(out, TextCapacity, L"\\");
        fits &= AppendText(out, TextCapacity, key.Parts[i]);
    }
    return fits;
}

uint32_t KeyPartCount(const RegistryKey& key) {
    uint32_t count = 0;
    while (count < RegistryKeyParts && key.Parts[count] != nullptr) {
        ++count;
    }
    return count;
}

bool KeyExists(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | View, &key) != ERROR_SUCCESS) {
        return false;
    }
    static_cast<void>(::RegCloseKey(key));
    return true;
}

uint32_t ReadKeyText(const wchar_t* keyPath, const wchar_t* valueName, wchar_t* out, uint32_t capacity) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | View, &key) != ERROR_SUCCESS) {
        return 0;
    }
    // One character is kept back so that data stored without its terminator still ends in one.
    DWORD type = REG_NONE;
    DWORD byteCount = (capacity - 1) * sizeof(wchar_t);
    LONG status = ::RegQueryValueExW(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(out), &byteCount);
    static_cast<void>(::RegCloseKey(key));
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return 0;
    }
    out[byteCount / sizeof(wchar_t)] = L'\0';
    return 1;
}

uint32_t DeleteKeyValue(const wchar_t* keyPath, const wchar_t* valueName) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE | View, &key);
    if (status == ERROR_SUCCESS) {
        status = ::RegDeleteValueW(key, valueName);
        static_cast<void>(::RegCloseKey(key));
    }
    return KeptOrFailed(status);
}

uint32_t DeleteKeyTree(const wchar_t* keyPath) {
    const RemovalKeeper* keeper = CurrentRemovalKeeper();
    if (keeper != nullptr && !keeper->KeepKeyTree(keeper->Context, keyPath)) {
        return 0;  // what could not be kept would be lost for good should the installation fail
    }
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, DeleteTreeAccess | View, &key);
    if (status == ERROR_SUCCESS) {
        // Empties the key first: the key itself can be deleted only once nothing is left under it.
        status = ::RegDeleteTreeW(key, nullptr);
        static_cast<void>(::RegCloseKey(key));
        if (status == ERROR_SUCCESS) {
            status = ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, View, 0);
        }
    }
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

uint32_t DeleteKeyWhenEmpty(const wchar_t* keyPath) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | View, &key);
    if (status != ERROR_SUCCESS) {
        return KeptOrFailed(status);
    }
    DWORD subkeyCount = 0;
    DWORD valueCount = 0;
    status = ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeyCount, nullptr, nullptr, &valueCount, nullptr,
                                nullptr, nullptr, nullptr);
    static_cast<void>(::RegCloseKey(key));
    if (status != ERROR_SUCCESS || subkeyCount != 0 || valueCount != 0) {
        return 1;  // someone else's values or keys keep it, as they should
    }
    return KeptOrFailed(::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, keyPath, View, 0));
}

namespace {

// 1 for a deletion done, or with nothing left to do; otherwise 0, with the reason as the last error.
uint32_t KeptOrFailed(LONG status) {
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) {
        return 1;
    }
    ::SetLastError(static_cast<DWORD>(status));
    return 0;
}

}  // namespace
