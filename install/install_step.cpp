#include "install/install_step.h"

#include "install/details_list.h"
#include "install/registrations.h"
#include "install/shortcut.h"
#include "install/step_strings.h"
#include "resources/resource_ids.h"
#include "setup/paths.h"
#include "setup/setup_state.h"

#include <commctrl.h>

namespace {

constexpr const char* InstallFailedText = "Installation failed.";
constexpr const char* InstallSucceededText = "Installation completed successfully.";

// Zero-filled at the start of every step and alive only for it.
struct StepStrings {
    wchar_t IconText[WorkingStringCapacity];
    wchar_t Command[WorkingStringCapacity];
};

void RunComponentStep(SetupState& setup, uint32_t component, StepStrings& strings);
void RunFinalStep(SetupState& setup, StepStrings& strings);
bool IsComponentTicked(const SetupState& setup, uint32_t component);

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
    if (IsComponentTicked(setup, component)) {
        const wchar_t* name = setup.ComponentTable[component];
        ::SetDlgItemTextW(setup.PageWindows[WizardPage::Progress], IDC_STATUS_TEXT, name);
        // A folder that cannot be made shows up as the failed write that follows.
        CreateDirectoryChain(setup.InstallFolder);
        // Strings that do not fit their buffers fail the write instead of overrunning them.
        uint32_t fits = AppendFileName(setup.InstallFolder, PathCapacity, name, L".exe");
        fits &= ComposeIconText(strings.IconText, WorkingStringCapacity, setup.InstallFolder);
        fits &= ComposeOpenCommand(strings.Command, WorkingStringCapacity, setup.InstallFolder);
        AddDetailsLine(setup, setup.InstallFolder);
        const PayloadEntry& entry = setup.PayloadDirectory[component + 1];
        if (!fits || setup.Payload.WriteEntryToFile(setup.InstallFolder, entry.Offset, entry.Size,
                                                    &entry.LastWriteTime) != 0) {
            CountFailedWrite(setup);
        } else {
            CreateDirectoryChain(setup.StartMenuFolder);
            fits = AppendFileName(setup.StartMenuFolder, PathCapacity, name, L".lnk");
            AddDetailsLine(setup, setup.StartMenuFolder);
            if (!fits || CreateShortcut(setup.InstallFolder, setup.StartMenuFolder) != 0) {
                CountFailedWrite(setup);
            }
            RegistrationStrings registration = {strings.IconText, strings.Command, nullptr, nullptr, 0};
            WriteComponentRegistrations(component, registration);
        }
    }
    ::PostMessageW(setup.FrameWindow, WM_APP, component + 1, 0);
}

void RunFinalStep(SetupState& setup, StepStrings& strings) {
    if (setup.BytesRequired != 0) {
        RegistrationStrings registration = {strings.IconText, nullptr, strings.Command, setup.InstallFolder,
                                            setup.BytesRequired};
        WriteSavedInstallFolder(registration);
        uint32_t nameStart = BoundedLength(setup.InstallFolder, PathCapacity);
        uint32_t fits = AppendFileName(setup.InstallFolder, PathCapacity, setup.ComponentTable[UninstallerIndex],
                                       L".exe");
        // The table keeps "Uninstall"; the file on disk is uninstall.exe.
        if (setup.InstallFolder[nameStart] != 0) {
            setup.InstallFolder[nameStart] = L'u';
        }
        fits &= ComposeIconText(strings.IconText, WorkingStringCapacity, setup.InstallFolder);
        fits &= ComposeUninstallCommand(strings.Command, WorkingStringCapacity, setup.InstallFolder);
        AddDetailsLine(setup, setup.InstallFolder);
        const PayloadEntry& entry = setup.PayloadDirectory[UninstallerEntry];
        if (!fits || setup.Payload.WriteEntryToFile(setup.InstallFolder, entry.Offset, entry.Size, nullptr) != 0) {
            CountFailedWrite(setup);
        } else {
            WriteUninstallEntry(registration);
        }
    }
    ::SetDlgItemTextA(setup.PageWindows[WizardPage::Progress], IDC_STATUS_TEXT,
                      setup.ErrorCount != 0 ? InstallFailedText : InstallSucceededText);
    setup.State = Finished;
}

bool IsComponentTicked(const SetupState& setup, uint32_t component) {
    return ::IsDlgButtonChecked(setup.PageWindows[WizardPage::Components], IDC_COMPONENT_FIRST + component) ==
           BST_CHECKED;
}

}  // namespace
