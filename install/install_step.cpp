#include "install/install_step.h"

#include "install/details_list.h"
#include "install/file_writer.h"
#include "install/install_folder.h"
#include "install/installation_end.h"
#include "install/registrations.h"
#include "install/replaced_installation.h"
#include "install/shortcut.h"
#include "common/step_strings.h"
#include "resources/resource_ids.h"
#include "common/paths.h"
#include "common/run_log.h"
#include "setup/setup_state.h"
#include "wizard/space_figures.h"

#include <commctrl.h>

namespace {

constexpr const char* InstallFailedText = "Installation failed.";
constexpr const char* InstallSucceededText = "Installation completed successfully.";
constexpr const char* RestartFinishesText = "Restart the computer to finish the installation.";
constexpr const wchar_t* PlacedAtRestartLine = L"In use: the new program takes its place at the next restart.";

// Zero-filled at the start of every step and alive only for it.
struct StepStrings {
    wchar_t IconText[WorkingStringCapacity];
    wchar_t Command[WorkingStringCapacity];
    wchar_t QuietCommand[WorkingStringCapacity];
    wchar_t Uninstaller[PathCapacity];
    wchar_t Components[ComponentNamesCapacity];
};

void RunComponentStep(SetupState& setup, uint32_t component, StepStrings& strings);
void ListInstallation(SetupState& setup, StepStrings& strings);
void RunFinalStep(SetupState& setup, StepStrings& strings);
uint32_t ComposeUninstallEntry(const SetupState& setup, StepStrings& strings, RegistrationStrings& entry);
bool IsComponentTicked(const SetupState& setup, uint32_t component);
bool IsInstalledHere(const SetupState& setup, uint32_t component);
DWORD WriteEntry(SetupState& setup, uint32_t fits, const wchar_t* path, uint32_t entry, const FILETIME* time);

}  // namespace

void RunInstallStep(uint32_t step) {
    SetupState& setup = *CurrentSetup;
    StepStrings strings;
    ::ZeroMemory(&strings, sizeof(strings));
    uint32_t installLength = BoundedLength(setup.InstallFolder, PathCapacity);
    uint32_t startMenuLength = BoundedLength(setup.StartMenuFolder, PathCapacity);
    setup.PendingStep = 0;
    if (step > UninstallerIndex) {
        return;
    }
    if (step < ComponentCount) {
        RunComponentStep(setup, step, strings);
    } else {
        RunFinalStep(setup, strings);
    }
    // Every step starts from the bare folders, whatever this one appended.
    setup.InstallFolder[installLength] = 0;
    setup.StartMenuFolder[startMenuLength] = 0;
    HWND progressBar = ::GetDlgItem(setup.PageWindows[WizardPage::Progress], IDC_PROGRESS_BAR);
    ::SendMessageW(progressBar, PBM_SETPOS, StepProgressPosition(step), 0);
}

namespace {

void RunComponentStep(SetupState& setup, uint32_t component, StepStrings& strings) {
    if (component == 0 && setup.BytesRequired != 0) {
        ListInstallation(setup, strings);
    }
    // After a failure nothing more is written or taken back: the final step undoes what was. A ticked
    // component never falls through to the removal of an unchosen one.
    if (setup.ErrorCount != 0) {
    } else if (IsComponentTicked(setup, component)) {
        const wchar_t* name = setup.ComponentTable[component];
        ::SetDlgItemTextW(setup.PageWindows[WizardPage::Progress], IDC_STATUS_TEXT, name);
        // A folder that cannot be made shows up as the failed write that follows.
        CreateJournaledFolders(setup.Journal, setup.InstallFolder);
        // Strings that do not fit their buffers fail the write instead of overrunning them.
        uint32_t fits = AppendFileName(setup.InstallFolder, PathCapacity, name, L".exe");
        fits &= ComposeIconText(strings.IconText, WorkingStringCapacity, setup.InstallFolder);
        fits &= ComposeOpenCommand(strings.Command, WorkingStringCapacity, setup.InstallFolder);
        AddDetailsLine(setup, setup.InstallFolder);
        const FILETIME* time = &setup.PayloadDirectory[component + 1].LastWriteTime;
        const DWORD error = WriteEntry(setup, fits, setup.InstallFolder, component + 1, time);
        if (error != 0) {
            CountFailedWrite(setup, error);
        } else {
            CreateJournaledFolders(setup.Journal, setup.StartMenuFolder);
            fits = AppendFileName(setup.StartMenuFolder, PathCapacity, name, L".lnk");
            AddDetailsLine(setup, setup.StartMenuFolder);
            HRESULT linked = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
            if (fits && !ClearPlaceForFile(setup.Journal, setup.StartMenuFolder)) {
                linked = HRESULT_FROM_WIN32(::GetLastError());
            } else if (fits) {
                linked = CreateShortcut(setup.InstallFolder, setup.StartMenuFolder);
            }
            if (linked != S_OK) {
                CountFailedWrite(setup, static_cast<DWORD>(linked));
            }
            RegistrationStrings registration = {strings.IconText, strings.Command, nullptr, nullptr, 0, nullptr,
                                                nullptr};
            WriteComponentRegistrations(component, registration);
        }
    } else if (IsInstalledHere(setup, component)) {
        RemoveUnchosenComponent(setup, component);
    }
    // Without the frame (/quiet) nothing paces the steps: they are run one after the other.
    if (setup.FrameWindow != nullptr) {
        ::PostMessageW(setup.FrameWindow, WM_APP, component + 1, 0);
    }
}

// Before the first program: the uninstaller in place and listed, so that an installation cut short,
// even killed, is removed from the list. Silent unless it fails: the final step writes both again and
// reports them. Without an uninstaller nothing could take a program back, so nothing more is written.
void ListInstallation(SetupState& setup, StepStrings& strings) {
    RegistrationStrings entry;
    const uint32_t fits = ComposeUninstallEntry(setup, strings, entry);
    const DWORD error = PrepareInstallFolder(setup, fits ? strings.Uninstaller : nullptr, entry);
    if (error != 0) {
        AddDetailsLine(setup, strings.Uninstaller);
        CountFailedWrite(setup, error);
    }
    setup.Journal.ListedCount = setup.Journal.Count;
}

void RunFinalStep(SetupState& setup, StepStrings& strings) {
    if (setup.BytesRequired != 0 && setup.ErrorCount == 0) {
        RegistrationStrings entry;
        const uint32_t fits = ComposeUninstallEntry(setup, strings, entry);
        // The record and the entry's size state what is installed now.
        const uint32_t installed = ComponentsInPlace(setup);
        ComposeComponentNames(installed, strings.Components, ComponentNamesCapacity);
        entry.InstalledComponents = strings.Components;
        entry.BytesRequired = RequiredBytes(setup.PayloadDirectory, installed);
        WriteSavedInstallFolder(entry);
        AddDetailsLine(setup, strings.Uninstaller);
        const DWORD error = WriteEntry(setup, fits, strings.Uninstaller, UninstallerEntry, nullptr);
        if (error != 0) {
            CountFailedWrite(setup, error);
        } else {
            WriteUninstallEntry(entry, ReportFailures);
        }
        // Only once this installation is whole; journaled like the rest, so that a failure in it
        // leaves the earlier installation as it was.
        if (setup.ErrorCount == 0 && IsMovingInstallation(setup)) {
            RemoveEarlierInstallation(setup);
        }
    }
    const char* result = InstallFailedText;
    if (setup.ErrorCount != 0) {
        UndoInstallation(setup);
    } else {
        KeepInstallation(setup);
        if (setup.BytesRequired != 0 && IsMovingInstallation(setup)) {
            RemoveEarlierFolder(setup);
        }
        result = setup.RestartCount != 0 ? RestartFinishesText : InstallSucceededText;
    }
    ::SetDlgItemTextA(setup.PageWindows[WizardPage::Progress], IDC_STATUS_TEXT, result);
    WriteLogNarrowLine(setup.Log, result);
    setup.State = Finished;
}

// The uninstaller's path and the uninstall entry's data, one composition for the early entry and the
// final one: 1 when every string fit. InstallLocation is the install folder itself.
uint32_t ComposeUninstallEntry(const SetupState& setup, StepStrings& strings, RegistrationStrings& entry) {
    uint32_t fits = CopyText(strings.Uninstaller, PathCapacity, setup.InstallFolder);
    fits &= AppendUninstallerName(strings.Uninstaller, PathCapacity, setup.ComponentTable[UninstallerIndex]);
    fits &= ComposeIconText(strings.IconText, WorkingStringCapacity, strings.Uninstaller);
    fits &= ComposeUninstallCommand(strings.Command, WorkingStringCapacity, strings.Uninstaller);
    fits &= ComposeQuietUninstallCommand(strings.QuietCommand, WorkingStringCapacity, strings.Uninstaller);
    entry = {strings.IconText, nullptr, strings.Command, setup.InstallFolder, setup.BytesRequired,
             strings.QuietCommand, nullptr};
    return fits;
}

bool IsComponentTicked(const SetupState& setup, uint32_t component) {
    return (setup.ChosenComponents & (1u << component)) != 0;
}

// A component of the installation this one replaces in the same folder.
bool IsInstalledHere(const SetupState& setup, uint32_t component) {
    return (setup.Installed.Components & (1u << component)) != 0 && IsReplacingInPlace(setup);
}

// Writes a payload entry to the path: 0, or the Windows error for the log. A path cut to fit its buffer
// is one no file call would take.
DWORD WriteEntry(SetupState& setup, uint32_t fits, const wchar_t* path, uint32_t entry, const FILETIME* time) {
    if (!fits) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    const PayloadEntry& body = setup.PayloadDirectory[entry];
    DWORD error = 0;
    const uint32_t written = setup.Payload.WriteEntryToFile(path, body.Offset, body.Size, time, &error);
    if (written == WrittenForRestart) {
        AddDetailsLine(setup, PlacedAtRestartLine);
    }
    if (written == 0 || written == WrittenForRestart) {
        return 0;
    }
    return error != 0 ? error : ERROR_WRITE_FAULT;
}

}  // namespace
