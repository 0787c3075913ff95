#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// The registry values a full installation writes, written out by hand, independently of the
// installer's own table, so that tests compare the two.

// One value as it was handed to the registry, in the order of writing.
struct RecordedValue {
    std::wstring Key;
    std::wstring Name;  // empty for the default value
    DWORD Type;
    std::string Bytes;  // exactly the byte count handed over
    // The name as the registry functions take it: null for the default value.
    const wchar_t* ApiName() const { return Name.empty() ? nullptr : Name.c_str(); }
    bool operator==(const RecordedValue& other) const {
        return Key == other.Key && Name == other.Name && Type == other.Type && Bytes == other.Bytes;
    }
};

inline RecordedValue TextValue(const std::wstring& key, const std::wstring& name, const std::wstring& text) {
    return {key, name, REG_SZ, std::string(reinterpret_cast<const char*>(text.c_str()), (text.size() + 1) * 2)};
}

inline RecordedValue NumberValue(const std::wstring& key, const std::wstring& name, DWORD number) {
    return {key, name, REG_DWORD, std::string(reinterpret_cast<const char*>(&number), 4)};
}

// A file type: the extension names its class; the class has a description, an icon and an open verb.
inline std::vector<RecordedValue> ExpectedFileType(const wchar_t* extension, const std::wstring& fileClass,
                                                   const wchar_t* description, const std::wstring& exe) {
    const std::wstring classes = L"Software\\Classes\\";
    return {
        TextValue(classes + extension, L"", fileClass),
        TextValue(classes + fileClass, L"", description),
        TextValue(classes + fileClass + L"\\DefaultIcon", L"", exe + L",0"),
        TextValue(classes + fileClass + L"\\shell", L"", L"open"),
        TextValue(classes + fileClass + L"\\shell\\open\\command", L"", L"\"" + exe + L"\" \"%1\""),
    };
}

// What each component registers when its executable is at exe.
inline std::vector<RecordedValue> ExpectedComponentValues(uint32_t component, const std::wstring& exe) {
    const std::wstring open = L"\"" + exe + L"\" \"%1\"";
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
        return ExpectedFileType(L".jtxt", L"Jottervale.Document", L"Jottervale Document", exe);
    case 6:
        return ExpectedFileType(L".cvn", L"Cryvane.File", L"CVN Encrypted File", exe);
    case 7:
        return ExpectedFileType(L".pbr", L"Pebbrack.File", L"Pebbrack Archive", exe);
    default:
        return {};
    }
}

// The version an installation states: that of a build without a version given, unless a release's.
struct StatedVersion {
    std::wstring Text = L"23.8.0.0";
    std::wstring Display = L"2308";
    DWORD Major = 23;
    DWORD Minor = 8;
};

inline RecordedValue ExpectedAppPath(const std::wstring& folder) {
    return TextValue(L"Software\\Kelvorin", L"AppPath", folder);
}

// The outermost folder above the install folder that the installation created.
inline RecordedValue ExpectedCreatedParent(const std::wstring& folder) {
    return TextValue(L"Software\\Kelvorin", L"CreatedParent", folder);
}

// AppPath, then the record the next run reads: the version and the installed components' names.
inline std::vector<RecordedValue> ExpectedInstallationRecord(const std::wstring& folder, const std::wstring& components,
                                                             const StatedVersion& version = StatedVersion()) {
    return {
        ExpectedAppPath(folder),
        TextValue(L"Software\\Kelvorin", L"Version", version.Text),
        TextValue(L"Software\\Kelvorin", L"Components", components),
    };
}

inline const wchar_t* const EveryComponentName = L"Ostrel,Glimmerdox,Tindlevault,Blorra,Humbrewave,Jottervale,Cryvane,Pebbrack";

inline std::vector<RecordedValue> ExpectedUninstallEntry(const std::wstring& uninstaller, DWORD kibibytes,
                                                         const StatedVersion& version = StatedVersion()) {
    const std::wstring key = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin";
    return {
        TextValue(key, L"DisplayIcon", uninstaller + L",0"),
        TextValue(key, L"DisplayName", L"Kelvorin App Pack (32-bit)"),
        TextValue(key, L"DisplayVersion", version.Display),
        TextValue(key, L"Publisher", L"Kelvorin"),
        TextValue(key, L"UninstallString", L"\"" + uninstaller + L"\""),
        NumberValue(key, L"EstimatedSize", kibibytes),
        NumberValue(key, L"NoModify", 1),
        NumberValue(key, L"NoRepair", 1),
        TextValue(key, L"QuietUninstallString", L"\"" + uninstaller + L"\" /quiet"),
        TextValue(key, L"InstallLocation", uninstaller.substr(0, uninstaller.rfind(L'\\') + 1)),
        NumberValue(key, L"VersionMajor", version.Major),
        NumberValue(key, L"VersionMinor", version.Minor),
    };
}
