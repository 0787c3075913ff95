#pragma once

#include "resources/resource_ids.h"
#include "common/component_table.h"
#include "tests/e2e/installer_driver.h"
#include "tests/support/pack_registry_values.h"

#include <cstdint>
#include <string>
#include <vector>

// What every scenario knows about the pack and the machine, as a user would find it.

constexpr const wchar_t* RestartFinishesText = L"Restart the computer to finish the installation.";
// The line under a program that takes its place only at the next restart.
constexpr const wchar_t* PlacedAtRestartLine = L"In use: the new program takes its place at the next restart.";

constexpr const wchar_t* UninstallEntryKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin";

std::wstring InstallerPath();             // the built installer, as a Windows path
// The license or a program as the installer carries it, e.g. L"Ostrel.exe": from the built-in pack as
// built, or from a release's pack folder.
std::wstring PackBody(const wchar_t* file);
std::wstring UninstallerBody();           // always the project's own, as built
// The last-write time component n is installed with: the built-in pack's, or its pack folder file's own.
uint64_t PackProgramTime(uint32_t component);
// How the program of component n installed in the folder differs from the one its pack carries, in
// bytes or in last-write time to the 100 ns; empty when it is the same.
std::wstring ProgramDifference(const std::wstring& folder, uint32_t component);
// What the Folder page counts for a full installation: the eight programs and the uninstaller.
uint32_t PackBytesRequired();
std::wstring SpaceRequiredText(uint32_t bytes);  // as the Folder page shows it, in MB rounded up
// TrustResult of the installer and of the uninstaller it installs: 0 for a signed build,
// TRUST_E_NOSIGNATURE for an unsigned one.
LONG ExpectedTrustResult();
std::wstring DefaultInstallFolder();      // C:\Program Files (x86)\Kelvorin\ as this machine names it
std::wstring StartMenuFolder();           // the maker's folder in the common Programs folder, with '\'
std::wstring RemoveTrailingSeparator(std::wstring folder);

// A walk through the wizard, page by page, with the keys a user presses.
struct Wizard {
    // The installer started with the arguments, if any, after its quoted path.
    explicit Wizard(const std::wstring& installer = InstallerPath(), const std::wstring& arguments = L"");
    InstallerProcess Installer;
    HWND Frame = nullptr;
    HWND Page = nullptr;

    bool ReachLicense();
    bool Agree();          // Alt+A
    bool Next();           // Enter on the Components page
    bool Back(const wchar_t* forwardCaption);  // Alt+B, to the page whose button 1 shows the caption
    bool Install();        // Enter on the Folder page
    bool WaitForResult();  // the result text after the last step, whichever it is
    bool InstallWithDefaults();  // from the start to the result, changing nothing on the way
    void ShowDetails();    // a click on "Show &Details"
    void Close();          // a click on "&Close"
};

// The version the driven installer's build states.
StatedVersion DrivenVersion();

// Every value a full installation into the folder writes, in the order of writing.
std::vector<RecordedValue> PackRegistryValues(const std::wstring& folder);

// The eight programs and the uninstaller in the folder, byte for byte and with the pack's times, and
// each program's link (a test's expectations).
void ExpectBodiesInstalled(const std::wstring& folder);

// The installer's own temporary files in the folder: earlier programs waiting aside, new ones waiting
// for the restart.
size_t TemporaryFileCount(const std::wstring& folder);

// True in the second run of a scenario named for the restart, after the prefix was stopped and started
// again (tests/e2e/run-scenario.sh).
bool AfterRestart();

// The folders and keys an installation leaves; used to tell that nothing was written.
bool NothingInstalled();

// Writes a copy of the installer with one byte changed: the byte at index within the one place that
// holds part, whose letters may be in any case there (the resource compiler writes class names in
// capitals). False when part is not in the installer exactly once.
bool WriteChangedCopy(const std::wstring& installer, const std::vector<uint8_t>& part, size_t index,
                      const std::wstring& copy);

// Writes a copy of the installer with one byte changed in the middle of its payload resource, which
// is found by the bytes of the resource file; false when it is not in the installer.
bool WriteDamagedCopy(const std::wstring& installer, const std::wstring& payload, const std::wstring& copy);
