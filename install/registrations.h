#pragma once

#include "common/component_table.h"
#include "common/product_texts.h"

#include <windows.h>

#include <cstdint>

// Every registry value the installation writes, as data, so that the uninstaller removes exactly what
// was written. Keys lie under HKEY_LOCAL_MACHINE\Software; their parts are what BuildRegistryPath joins.

// Where a value's data comes from: the table itself, or the file the install step has just written.
enum RegistrationSource : uint32_t {
    FixedText = 0,
    FixedNumber = 1,
    IconTextData = 2,          // the file's path followed by ",0"
    OpenCommandData = 3,       // "executable" "%1"
    UninstallCommandData = 4,  // "uninstaller"
    InstallFolderData = 5,     // the install folder, trailing backslash included
    EstimatedSizeData = 6,     // BytesRequired in whole kibibytes
    QuietUninstallCommandData = 7,  // "uninstaller" /quiet
    InstalledComponentsData = 8,    // the names of the components installed, as /components takes them
};

constexpr uint32_t RegistryKeyParts = 6;

struct RegistryKey {
    const wchar_t* Parts[RegistryKeyParts];  // unused parts are null
};

struct RegistrationValue {
    const wchar_t* Name;  // null for the key's default value
    DWORD Type;
    RegistrationSource Source;
    const wchar_t* Text;
    DWORD Number;
};

struct RegistrationRow {
    RegistryKey Key;
    RegistrationValue Value;
};

struct RegistrationTable {
    const RegistrationRow* Rows;
    uint32_t Count;
};

// What the install step built for the values whose data is not in the table.
struct RegistrationStrings {
    const wchar_t* IconText;
    const wchar_t* OpenCommand;
    const wchar_t* UninstallCommand;
    const wchar_t* InstallFolder;
    uint32_t BytesRequired;
    const wchar_t* QuietUninstallCommand;
    const wchar_t* InstalledComponents;
};

inline constexpr const wchar_t* DefaultValue = nullptr;

// A verb on folders and on audio files, its key named after the component.
inline constexpr RegistrationRow HumbrewaveRegistrations[] = {
    {{{L"Classes", L"Directory", L"shell", ComponentNames[4]}},
     {DefaultValue, REG_SZ, FixedText, L"Play with Humbrewave", 0}},
    {{{L"Classes", L"Directory", L"shell", ComponentNames[4], L"command"}},
     {DefaultValue, REG_SZ, OpenCommandData, nullptr, 0}},
    {{{L"Classes", L"SystemFileAssociations", L"audio", L"shell", ComponentNames[4]}},
     {DefaultValue, REG_SZ, FixedText, L"Play with Humbrewave", 0}},
    {{{L"Classes", L"SystemFileAssociations", L"audio", L"shell", ComponentNames[4], L"command"}},
     {DefaultValue, REG_SZ, OpenCommandData, nullptr, 0}},
};

inline constexpr RegistrationRow JottervaleRegistrations[] = {
    {{{L"Classes", L".jtxt"}}, {DefaultValue, REG_SZ, FixedText, L"Jottervale.Document", 0}},
    {{{L"Classes", L"Jottervale.Document"}}, {DefaultValue, REG_SZ, FixedText, L"Jottervale Document", 0}},
    {{{L"Classes", L"Jottervale.Document", L"DefaultIcon"}}, {DefaultValue, REG_SZ, IconTextData, nullptr, 0}},
    {{{L"Classes", L"Jottervale.Document", L"shell"}}, {DefaultValue, REG_SZ, FixedText, L"open", 0}},
    {{{L"Classes", L"Jottervale.Document", L"shell", L"open", L"command"}},
     {DefaultValue, REG_SZ, OpenCommandData, nullptr, 0}},
};

inline constexpr RegistrationRow CryvaneRegistrations[] = {
    {{{L"Classes", L".cvn"}}, {DefaultValue, REG_SZ, FixedText, L"Cryvane.File", 0}},
    {{{L"Classes", L"Cryvane.File"}}, {DefaultValue, REG_SZ, FixedText, L"CVN Encrypted File", 0}},
    {{{L"Classes", L"Cryvane.File", L"DefaultIcon"}}, {DefaultValue, REG_SZ, IconTextData, nullptr, 0}},
    {{{L"Classes", L"Cryvane.File", L"shell"}}, {DefaultValue, REG_SZ, FixedText, L"open", 0}},
    {{{L"Classes", L"Cryvane.File", L"shell", L"open", L"command"}},
     {DefaultValue, REG_SZ, OpenCommandData, nullptr, 0}},
};

inline constexpr RegistrationRow PebbrackRegistrations[] = {
    {{{L"Classes", L".pbr"}}, {DefaultValue, REG_SZ, FixedText, L"Pebbrack.File", 0}},
    {{{L"Classes", L"Pebbrack.File"}}, {DefaultValue, REG_SZ, FixedText, L"Pebbrack Archive", 0}},
    {{{L"Classes", L"Pebbrack.File", L"DefaultIcon"}}, {DefaultValue, REG_SZ, IconTextData, nullptr, 0}},
    {{{L"Classes", L"Pebbrack.File", L"shell"}}, {DefaultValue, REG_SZ, FixedText, L"open", 0}},
    {{{L"Classes", L"Pebbrack.File", L"shell", L"open", L"command"}},
     {DefaultValue, REG_SZ, OpenCommandData, nullptr, 0}},
};

// Indexed by component; components 0 to 3 register nothing.
inline constexpr RegistrationTable ComponentRegistrations[8] = {
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
    {nullptr, 0},
    {HumbrewaveRegistrations, 4},
    {JottervaleRegistrations, 5},
    {CryvaneRegistrations, 5},
    {PebbrackRegistrations, 5},
};

// Read back by the next run as its default install folder.
inline constexpr RegistrationRow SavedInstallFolder = {
    {{MakerName}}, {L"AppPath", REG_SZ, InstallFolderData, nullptr, 0}};

// The outermost folder above the install folder that the installation created, written only when it
// created one: the uninstaller removes the folders from the install folder up to this one once they are
// empty, and never a folder that was there before.
inline constexpr RegistrationRow CreatedParentFolder = {
    {{MakerName}}, {L"CreatedParent", REG_SZ, FixedText, nullptr, 0}};

// The installation's record beside AppPath: the next run compares its version with this one and takes
// these components as the ones installed.
inline constexpr RegistrationValue InstallationRecordValues[2] = {
    {L"Version", REG_SZ, FixedText, ProductVersion, 0},
    {L"Components", REG_SZ, InstalledComponentsData, nullptr, 0},
};

inline constexpr RegistryKey UninstallEntryKey = {
    {L"Microsoft", L"Windows", L"CurrentVersion", L"Uninstall", MakerName}};

// The first eight are what the list of installed programs has always been given; deployment tools
// read the next two; the last two are the version's first numbers, as the list of programs reads them.
inline constexpr RegistrationValue UninstallEntryValues[12] = {
    {L"DisplayIcon", REG_SZ, IconTextData, nullptr, 0},
    {L"DisplayName", REG_SZ, FixedText, ProductTitle, 0},
    {L"DisplayVersion", REG_SZ, FixedText, ProductDisplayVersion, 0},
    {L"Publisher", REG_SZ, FixedText, MakerName, 0},
    {L"UninstallString", REG_SZ, UninstallCommandData, nullptr, 0},
    {L"EstimatedSize", REG_DWORD, EstimatedSizeData, nullptr, 0},
    {L"NoModify", REG_DWORD, FixedNumber, nullptr, 1},
    {L"NoRepair", REG_DWORD, FixedNumber, nullptr, 1},
    {L"QuietUninstallString", REG_SZ, QuietUninstallCommandData, nullptr, 0},
    {L"InstallLocation", REG_SZ, InstallFolderData, nullptr, 0},
    {L"VersionMajor", REG_DWORD, FixedNumber, nullptr, ProductVersionMajor},
    {L"VersionMinor", REG_DWORD, FixedNumber, nullptr, ProductVersionMinor},
};

// The data and byte count a value is written with. A number is stored in *number, which *data then
// points at; a string is handed over with its terminator.
DWORD RegistrationData(const RegistrationValue& value, const RegistrationStrings& strings, DWORD* number,
                       const void** data);

// Whether a value that cannot be written is reported now, or left to a later write of the same value.
enum FailureReport : uint32_t {
    ReportFailures = 0,
    LeaveFailuresToLaterWrite = 1,
};

// Each writes its values in table order, through BuildRegistryPath and WriteRegistryValue. A value that
// cannot be written is a failed write of the installation: its key and the error go to the details
// list, and the writing goes on with the next value.
void WriteComponentRegistrations(uint32_t component, const RegistrationStrings& strings);
// AppPath, then the installation's record.
void WriteSavedInstallFolder(const RegistrationStrings& strings);
void WriteUninstallEntry(const RegistrationStrings& strings, FailureReport report);
// The outermost folder above the install folder that this installation created, with its backslash.
void WriteCreatedParentFolder(const wchar_t* folder, FailureReport report);
// The registry write, so that tests can see every value in the order it is handed over.
namespace RegistrationSeams {
extern uint32_t (*WriteRegistryValueCall)(const wchar_t*, const wchar_t*, DWORD, const void*, DWORD);
}  // namespace RegistrationSeams
