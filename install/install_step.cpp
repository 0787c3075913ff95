#include "install/install_step.h"

#include "install/details_list.h"
#include "install/file_writer.h"
#include "install/install_folder.h"
#include "install/installation_end.h"
#include "install/registrations.h"
#include "install/shortcut.h"
#include "install/step_strings.h"
#include "resources/resource_ids.h"
#include "setup/paths.h"
#include "setup/run_log.h"
#include "setup/setup_state.h"

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
};

void RunComponentStep(SetupState& setup, uint32_t component, StepStrings& strings);
void ListInstallation(SetupState& setup, StepStrings& strings);
void RunFinalStep(SetupState& setup, StepStrings& strings);
uint32_t ComposeUninstallEntry(const SetupState& setup, StepStrings& strings, RegistrationStrings& entry);
bool IsComponentTicked(const SetupState& setup, uint32_t component);
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
    // After a failure nothing more is written: the final step undoes what was.
    if (IsComponentTicked(setup, component) && setup.ErrorCount == 0) {
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
            RegistrationStrings registration = {strings.IconText, strings.Command, nullptr, nullptr, 0, nullptr};
            WriteComponentRegistrations(component, registration);
        }
    }
    // Without the frame (/quiet) nothing paces the steps: they are run one after the other.
    if (setup.FrameWindow != nullptr) {
        ::PostMessageW(setup.FrameWindow, WM_APP, component + 1, 0);
    }
}

// Before the first program: the uninstaller in place and listed, so that an installation cut short,
// even killed, is removed from the list. Silent: the final step writes both again and reports them.
void ListInstallation(SetupState& setup, StepStrings& strings) {
    RegistrationStrings entry;
    const uint32_t fits = ComposeUninstallEntry(setup, strings, entry);
    if (PrepareInstallFolder(setup, fits ? strings.Uninstaller : nullptr)) {
        WriteUninstallEntry(entry, LeaveFailuresToLaterWrite);
    }
    setup.Journal.ListedCount = setup.Journal.Count;
}

void RunFinalStep(SetupState& setup, StepStrings& strings) {
    if (setup.BytesRequired != 0 && setup.ErrorCount == 0) {
        RegistrationStrings entry;
        const uint32_t fits = ComposeUninstallEntry(setup, strings, entry);
        WriteSavedInstallFolder(entry);
        AddDetailsLine(setup, strings.Uninstaller);
        const DWORD error = WriteEntry(setup, fits, strings.Uninstaller, UninstallerEntry, nullptr);
        if (error != 0) {
            CountFailedWrite(setup, error);
        }
        // The one put in place before the first program still takes back what was written.
        if (error == 0 || (fits && IsFileInPlace(strings.Uninstaller))) {
            WriteUninstallEntry(entry, ReportFailures);
        }
    }
    const char* result = InstallFailedText;
    if (setup.ErrorCount != 0) {
        UndoInstallation(setup);
    } else {
        KeepInstallation(setup);
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
             strings.QuietCommand};
    return fits;
}

bool IsComponentTicked(const SetupState& setup, uint32_t component) {
    return (setup.ChosenComponents & (1u << component)) != 0;
}

// Writes a payload entry to the path: 0, or the Windows error for the log. A path cut to fit its buffer
// is one no file call would take.
DWORD WriteEntry(SetupState& setup, uint32_t fits, const wchar_t* path, uint32_t entry, const FILETIME* time) {
    if (!fits) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    const PayloadEntry& body = setup.PayloadDirectory[entry];
    const uint32_t written = setup.Payload.WriteEntryToFile(path, body.Offset, body.Size, time);
    if (written == WrittenForRestart) {
        AddDetailsLine(setup, PlacedAtRestartLine);
    }
    if (written == 0 || written == WrittenForRestart) {
        return 0;
    }
    const DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_WRITE_FAULT;
}

}  // namespace
