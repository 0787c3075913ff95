#include "install/registrations.h"

#include "install/details_list.h"
#include "install/journal.h"
#include "install/registry.h"
#include "common/step_strings.h"
#include "setup/setup_state.h"

namespace RegistrationSeams {
uint32_t (*WriteRegistryValueCall)(const wchar_t*, const wchar_t*, DWORD, const void*, DWORD) = WriteRegistryValue;
}  // namespace RegistrationSeams

namespace {

const wchar_t* StringOf(const RegistrationValue& value, const RegistrationStrings& strings);
void WriteValue(const wchar_t* keyPath, const RegistrationValue& value, const RegistrationStrings& strings,
                FailureReport report);
wchar_t* BuildKeyPath(const RegistryKey& key);

}  // namespace

DWORD RegistrationData(const RegistrationValue& value, const RegistrationStrings& strings, DWORD* number,
                       const void** data) {
    if (value.Type == REG_DWORD) {
        *number = value.Source == EstimatedSizeData ? strings.BytesRequired >> 10 : value.Number;
        *data = number;
        return sizeof(DWORD);
    }
    const wchar_t* text = StringOf(value, strings);
    *data = text;
    return StringByteCount(text);
}

void WriteComponentRegistrations(uint32_t component, const RegistrationStrings& strings) {
    const RegistrationTable& table = ComponentRegistrations[component];
    for (uint32_t i = 0; i < table.Count; ++i) {
        WriteValue(BuildKeyPath(table.Rows[i].Key), table.Rows[i].Value, strings, ReportFailures);
    }
}

void WriteSavedInstallFolder(const RegistrationStrings& strings) {
    // One key for all its values: nothing else uses Scratch while they are written.
    const wchar_t* keyPath = BuildKeyPath(SavedInstallFolder.Key);
    WriteValue(keyPath, SavedInstallFolder.Value, strings, ReportFailures);
    for (const RegistrationValue& value : InstallationRecordValues) {
        WriteValue(keyPath, value, strings, ReportFailures);
    }
}

void WriteUninstallEntry(const RegistrationStrings& strings, FailureReport report) {
    // One key for all its values: nothing else uses Scratch while they are written.
    const wchar_t* keyPath = BuildKeyPath(UninstallEntryKey);
    for (const RegistrationValue& value : UninstallEntryValues) {
        WriteValue(keyPath, value, strings, report);
    }
}

void WriteCreatedParentFolder(const wchar_t* folder, FailureReport report) {
    RegistrationValue value = CreatedParentFolder.Value;
    value.Text = folder;
    const RegistrationStrings none = {};
    WriteValue(BuildKeyPath(CreatedParentFolder.Key), value, none, report);
}

namespace {

const wchar_t* StringOf(const RegistrationValue& value, const RegistrationStrings& strings) {
    switch (value.Source) {
    case IconTextData:
        return strings.IconText;
    case OpenCommandData:
        return strings.OpenCommand;
    case UninstallCommandData:
        return strings.UninstallCommand;
    case InstallFolderData:
        return strings.InstallFolder;
    case QuietUninstallCommandData:
        return strings.QuietUninstallCommand;
    case InstalledComponentsData:
        return strings.InstalledComponents;
    default:
        return value.Text;
    }
}

void WriteValue(const wchar_t* keyPath, const RegistrationValue& value, const RegistrationStrings& strings,
                FailureReport report) {
    DWORD number = 0;
    const void* data = nullptr;
    DWORD byteCount = RegistrationData(value, strings, &number, &data);
    // A value whose earlier data cannot be remembered is not written: a failure could not put it back.
    const bool written = RememberValue(CurrentSetup->Journal, keyPath, value.Name) &&
                         RegistrationSeams::WriteRegistryValueCall(keyPath, value.Name, value.Type, data, byteCount);
    if (!written && report == ReportFailures) {
        CountFailedRegistryWrite(*CurrentSetup, keyPath);
    }
}

wchar_t* BuildKeyPath(const RegistryKey& key) {
    const wchar_t* const* part = key.Parts;
    return CurrentSetup->BuildRegistryPath(part[0], part[1], part[2], part[3], part[4], part[5]);
}

}  // namespace
