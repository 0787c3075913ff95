#pragma once

#include "install/registrations.h"
#include "install/registry.h"
#include "tests/support/pack_registry_values.h"

#include <windows.h>

#include <string>
#include <vector>

inline std::vector<RecordedValue>& RecordedValues() {
    static std::vector<RecordedValue> values;
    return values;
}

// Values, by key and name, whose write fails as a registry that refuses them would fail it.
inline std::vector<RecordedValue>& RefusedValues() {
    static std::vector<RecordedValue> values;
    return values;
}

inline uint32_t RecordThenWrite(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD count) {
    RecordedValues().push_back({key, name ? name : L"", type, std::string(static_cast<const char*>(data), count)});
    for (const RecordedValue& refused : RefusedValues()) {
        if (refused.Key == key && refused.Name == RecordedValues().back().Name) return 0;
    }
    return WriteRegistryValue(key, name, type, data, count);
}

// Records every registry write of the installation while it lives, and still lets it reach the registry,
// except for the values it is told to refuse.
class RegistryRecorder {
public:
    RegistryRecorder() {
        RecordedValues().clear();
        RefusedValues().clear();
        RegistrationSeams::WriteRegistryValueCall = RecordThenWrite;
    }
    ~RegistryRecorder() { RegistrationSeams::WriteRegistryValueCall = WriteRegistryValue; }
    const std::vector<RecordedValue>& Values() const { return RecordedValues(); }
    void Refuse(const RecordedValue& value) { RefusedValues().push_back(value); }
};

// Reads one value back from HKEY_LOCAL_MACHINE in the 32-bit view, as another program would see it.
inline bool ReadBack(const RecordedValue& expected, RecordedValue* actual) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, expected.Key.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    char data[1024];
    DWORD type = 0;
    DWORD size = sizeof(data);
    const wchar_t* name = expected.ApiName();
    LONG result = ::RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    ::RegCloseKey(key);
    *actual = {expected.Key, expected.Name, type, std::string(data, result == ERROR_SUCCESS ? size : 0)};
    return result == ERROR_SUCCESS;
}

inline bool KeyExists(const std::wstring& path, REGSAM view) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_QUERY_VALUE | view, &key) != ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

// Removes afterwards exactly the keys a test creates: for each key path, the outermost key that did not
// exist before. Software\Classes is shared by both views, so nothing above the new keys may go.
class RegistryCleanup {
public:
    RegistryCleanup() {
        for (const wchar_t* key : {L"Software\\Classes\\Directory\\shell\\Humbrewave\\command",
                                   L"Software\\Classes\\SystemFileAssociations\\audio\\shell\\Humbrewave\\command",
                                   L"Software\\Classes\\.jtxt", L"Software\\Classes\\Jottervale.Document\\shell\\open\\command",
                                   L"Software\\Classes\\Jottervale.Document\\DefaultIcon", L"Software\\Classes\\.cvn",
                                   L"Software\\Classes\\Cryvane.File\\shell\\open\\command",
                                   L"Software\\Classes\\Cryvane.File\\DefaultIcon", L"Software\\Classes\\.pbr",
                                   L"Software\\Classes\\Pebbrack.File\\shell\\open\\command",
                                   L"Software\\Classes\\Pebbrack.File\\DefaultIcon", L"Software\\Kelvorin",
                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin"}) {
            Note(key);
        }
    }
    ~RegistryCleanup() { Remove(); }
    RegistryCleanup(const RegistryCleanup&) = delete;
    RegistryCleanup& operator=(const RegistryCleanup&) = delete;

    void Remove() {
        for (const std::wstring& path : toRemove_) {
            size_t split = path.rfind(L'\\');
            HKEY parent = nullptr;
            if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.substr(0, split).c_str(), 0,
                                KEY_ALL_ACCESS | KEY_WOW64_32KEY, &parent) == ERROR_SUCCESS) {
                ::RegDeleteTreeW(parent, path.substr(split + 1).c_str());
                ::RegCloseKey(parent);
            }
        }
    }

private:
    void Note(const std::wstring& path) {
        for (size_t end = path.find(L'\\');; end = path.find(L'\\', end + 1)) {
            std::wstring prefix = path.substr(0, end);
            if (!KeyExists(prefix, KEY_WOW64_32KEY)) {
                for (const std::wstring& known : toRemove_) {
                    if (known == prefix) return;
                }
                toRemove_.push_back(prefix);
                return;
            }
            if (end == std::wstring::npos) return;
        }
    }

    std::vector<std::wstring> toRemove_;
};
