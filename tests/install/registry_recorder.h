#pragma once

#include "install/registrations.h"
#include "install/registry.h"

#include <windows.h>

#include <string>
#include <vector>

// One value as it was handed to the registry, in the order of writing.
struct RecordedValue {
    std::wstring Key;
    std::wstring Name;  // empty for the default value
    DWORD Type;
    std::string Bytes;  // exactly the byte count handed over
    bool operator==(const RecordedValue& other) const {
        return Key == other.Key && Name == other.Name && Type == other.Type && Bytes == other.Bytes;
    }
};

inline std::vector<RecordedValue>& RecordedValues() {
    static std::vector<RecordedValue> values;
    return values;
}

inline uint32_t RecordThenWrite(const wchar_t* key, const wchar_t* name, DWORD type, const void* data, DWORD count) {
    RecordedValues().push_back({key, name ? name : L"", type, std::string(static_cast<const char*>(data), count)});
    return WriteRegistryValue(key, name, type, data, count);
}

// Records every registry write of the installation while it lives, and still lets it reach the registry.
class RegistryRecorder {
public:
    RegistryRecorder() {
        RecordedValues().clear();
        RegistrationSeams::WriteRegistryValueCall = RecordThenWrite;
    }
    ~RegistryRecorder() { RegistrationSeams::WriteRegistryValueCall = WriteRegistryValue; }
    const std::vector<RecordedValue>& Values() const { return RecordedValues(); }
};

inline RecordedValue TextValue(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    return {key, name, REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2)};
}

inline RecordedValue NumberValue(const std::wstring& key, const std::wstring& name, DWORD number) {
    return {key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)};
}

// Written out by hand, independently of the installer's table: what each component registers when its
// executable is at exe.
inline std::vector<RecordedValue> ExpectedComponentValues(uint32_t component, const std::wstring& exe) {
    const std::wstring open = L"\"" + exe + L"\" \"%1\"";
    const std::wstring icon = exe + L",0";
    const std::wstring classes = L"Software\\Classes\\";
    switch (component) {
    case 4:
        return {
            TextValue(classes + L"Directory\\shell\\Humbrewave", L"", L"Play with Humbrewave"),
            TextValue(classes + L"Directory\\shell\\Humbrewave\\command", L"", open),
            TextValue(classes + L"SystemFileAssociations\\audio\\shell\\Humbrewave", L"", L"Play with Humbrewave"),
            TextValue(classes + L"SystemFileAssociations\\audio\\shell\\Humbrewave\\command", L"", open),
        };
    case 5:
        return {
            TextValue(classes + L".jtxt", L"", L"Jottervale.Document"),
            TextValue(classes + L"Jottervale.Document", L"", L"Jottervale Document"),
            TextValue(classes + L"Jottervale.Document\\DefaultIcon", L"", icon),
            TextValue(classes + L"Jottervale.Document\\shell", L"", L"open"),
            TextValue(classes + L"Jottervale.Document\\shell\\open\\command", L"", open),
        };
    case 6:
        return {
            TextValue(classes + L".cvn", L"", L"Cryvane.File"),
            TextValue(classes + L"Cryvane.File", L"", L"CVN Encrypted File"),
            TextValue(classes + L"Cryvane.File\\DefaultIcon", L"", icon),
            TextValue(classes + L"Cryvane.File\\shell", L"", L"open"),
            TextValue(classes + L"Cryvane.File\\shell\\open\\command", L"", open),
        };
    case 7:
        return {
            TextValue(classes + L".pbr", L"", L"Pebbrack.File"),
            TextValue(classes + L"Pebbrack.File", L"", L"Pebbrack Archive"),
            TextValue(classes + L"Pebbrack.File\\DefaultIcon", L"", icon),
            TextValue(classes + L"Pebbrack.File\\shell", L"", L"open"),
            TextValue(classes + L"Pebbrack.File\\shell\\open\\command", L"", open),
        };
    default:
        return {};
    }
}

inline RecordedValue ExpectedAppPath(const std::wstring& folder) {
    return TextValue(L"Software\\Kelvorin", L"AppPath", folder);
}

inline std::vector<RecordedValue> ExpectedUninstallEntry(const std::wstring& uninstaller, DWORD kibibytes) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin";
    return {
        TextValue(key, L"DisplayIcon", uninstaller + L",0"),
        TextValue(key, L"DisplayName", L"Kelvorin App Pack (32-bit)"),
        TextValue(key, L"DisplayVersion", L"2308"),
        TextValue(key, L"Publisher", L"Kelvorin"),
        TextValue(key, L"UninstallString", L"\"" + uninstaller + L"\""),
        NumberValue(key, L"EstimatedSize", kibibytes),
        NumberValue(key, L"NoModify", 1),
        NumberValue(key, L"NoRepair", 1),
    };
}

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
    const wchar_t* name = expected.Name.empty() ? nullptr : expected.Name.c_str();
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
