#include "setup/version_check.h"

#include "common/exit_code.h"
#include "setup/installed_pack.h"
#include "common/product_texts.h"
#include "common/run_log.h"
#include "common/run_start.h"

namespace {

constexpr const wchar_t* NothingFoundLine = L"Found: no installation of the pack.";
constexpr const wchar_t* FoundFormat = L"Found: version %s in %s with %s.";
constexpr const wchar_t* FoundUnrecordedFormat = L"Found: an earlier release (no version recorded) in %s with %s.";
constexpr const wchar_t* InstallingFormat = L"Installing version %s.";
constexpr const wchar_t* UpgradingFormat = L"Upgrading from version %s to %s.";
constexpr const wchar_t* UpgradingUnrecordedFormat = L"Upgrading from an earlier release to version %s.";
constexpr const wchar_t* ReinstallingFormat = L"Reinstalling version %s.";
constexpr const wchar_t* RefusedFormat =
    L"Refused: the installed version %s is newer than this setup's %s; remove it first to go back.";
constexpr const wchar_t* NewerInstalledFormat =
    L"Version %s of Kelvorin App Pack (32-bit) is installed on this computer. This setup holds the older "
    L"version %s and cannot replace it.\n\nTo go back to version %s, first remove the installed version "
    L"(Kelvorin App Pack (32-bit) in the list of installed programs), then run this setup again.";
// The longest line: a message or a found line with a whole folder in it.
constexpr uint32_t LineCapacity = PathCapacity + ComponentNamesCapacity + 400;

void LogFoundPack(HANDLE log, const InstalledPack& installed);
void LogPlannedRun(HANDLE log, const InstalledPack& installed);
void RefuseOlderVersion(const SetupState& setup);

}  // namespace

int CheckInstalledVersion(SetupState& setup, const CommandLine& arguments) {
    InstalledPack& installed = setup.Installed;
    FindInstalledPack(&installed);
    LogFoundPack(setup.Log, installed);
    if (installed.Relation == NewerInstalled) {
        RefuseOlderVersion(setup);
        return ExitNewerVersionInstalled;
    }
    LogPlannedRun(setup.Log, installed);
    if (installed.Relation != NothingInstalled && (arguments.Given & ComponentsSwitch) == 0) {
        setup.ChosenComponents = installed.Components;
    }
    return ExitSucceeded;
}

namespace {

void LogFoundPack(HANDLE log, const InstalledPack& installed) {
    if (installed.Relation == NothingInstalled) {
        WriteLogLine(log, NothingFoundLine);
        return;
    }
    wchar_t names[ComponentNamesCapacity];
    wchar_t line[LineCapacity];
    ComposeComponentNames(installed.Components, names, ComponentNamesCapacity);
    if (installed.Version[0] != L'\0') {
        ::wsprintfW(line, FoundFormat, installed.Version, installed.Folder, names);
    } else {
        ::wsprintfW(line, FoundUnrecordedFormat, installed.Folder, names);
    }
    WriteLogLine(log, line);
}

void LogPlannedRun(HANDLE log, const InstalledPack& installed) {
    wchar_t line[LineCapacity];
    if (installed.Relation == SameInstalled) {
        ::wsprintfW(line, ReinstallingFormat, ProductVersion);
    } else if (installed.Relation == NothingInstalled) {
        ::wsprintfW(line, InstallingFormat, ProductVersion);
    } else if (installed.Version[0] != L'\0') {
        ::wsprintfW(line, UpgradingFormat, installed.Version, ProductVersion);
    } else {
        ::wsprintfW(line, UpgradingUnrecordedFormat, ProductVersion);
    }
    WriteLogLine(log, line);
}

void RefuseOlderVersion(const SetupState& setup) {
    wchar_t text[LineCapacity];
    ::wsprintfW(text, RefusedFormat, setup.Installed.Version, ProductVersion);
    WriteLogLine(setup.Log, text);
    if (MayShowMessageBox(setup.Mode)) {
        ::wsprintfW(text, NewerInstalledFormat, setup.Installed.Version, ProductVersion, ProductVersion);
        // The run ends whichever way the box is closed, or if it cannot be shown.
        static_cast<void>(
            ::MessageBoxW(nullptr, text, ProductTitle, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND));
    }
}

}  // namespace
