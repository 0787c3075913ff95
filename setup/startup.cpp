#include "setup/startup.h"

#include "common/bounded_text.h"
#include "install/installed_files.h"
#include "install/programs_in_use.h"
#include "resources/resource_ids.h"
#include "common/exit_code.h"
#include "setup/folders.h"
#include "common/run_log.h"
#include "common/run_start.h"
#include "common/product_texts.h"
#include "setup/setup_state.h"
#include "setup/unattended.h"
#include "common/usage_texts.h"
#include "setup/version_check.h"
#include "wizard/frame.h"

#include <commctrl.h>
#include <objbase.h>

namespace StartupSeams {
HRESULT(WINAPI* CoInitializeExCall)(LPVOID, DWORD) = ::CoInitializeEx;
BOOL(WINAPI* InitCommonControlsExCall)(const INITCOMMONCONTROLSEX*) = ::InitCommonControlsEx;
BOOL(WINAPI* CheckTokenMembershipCall)(HANDLE, PSID, PBOOL) = ::CheckTokenMembership;
}  // namespace StartupSeams

namespace {

constexpr const char* InitFailedText = "Setup initialization failed.";
constexpr const char* InitFailedCaption = "Error";
constexpr const char* NotAdminText = "You must be logged in as an administrator to install this software.";
constexpr const char* NotAdminCaption = "Kelvorin App Pack";

constexpr const wchar_t* FolderTooLongText = L"The install folder is too long: ";

bool LogNamesInstalledFile(const CommandLine& arguments);

constexpr RunRules InstallerRules = {InstallerSwitches, L"setup", InstallerUsage, false, LogNamesInstalledFile};

int RunInstaller(SetupState& setup, const CommandLine& arguments);
int RunChosenMode(SetupState& setup, const CommandLine& arguments);
int ReportFolderTooLong(const SetupState& setup, const CommandLine& arguments);
bool StartPlatformServices();
WPARAM RunMessageLoop(SetupState& setup);

}  // namespace

int RunSetup(HINSTANCE instance, const wchar_t* commandLine) {
    SetupState setup(instance);
    CurrentSetup = &setup;
    RunStart run;
    int result = ExitSucceeded;
    if (BeginRun(commandLine, InstallerRules, &run, &result)) {
        setup.Mode = run.Arguments.Mode;
        setup.ChosenComponents = run.Arguments.Components;
        setup.Log = run.Log;
        result = RunInstaller(setup, run.Arguments);
        setup.Log = nullptr;
    }
    EndRun(&run, result);
    return result;
}

bool IsUserAdmin() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                    0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!StartupSeams::CheckTokenMembershipCall(nullptr, administrators, &member)) {
        member = FALSE;
    }
    ::FreeSid(administrators);
    return member != FALSE;
}

void ReportInitFailure() {
    WriteLogNarrowLine(CurrentSetup->Log, InitFailedText);
    if (MayShowMessageBox(CurrentSetup->Mode)) {
        ::MessageBoxA(CurrentSetup->FrameWindow, InitFailedText, InitFailedCaption, MB_ICONERROR);
    }
}

void ReportNotAdministrator() {
    WriteLogNarrowLine(CurrentSetup->Log, NotAdminText);
    if (MayShowMessageBox(CurrentSetup->Mode)) {
        ::MessageBoxA(nullptr, NotAdminText, NotAdminCaption, MB_ICONWARNING);
    }
}

namespace {

// The folders are those the installation will use; a log in place of one of its files would be replaced
// by it, or take its place.
bool LogNamesInstalledFile(const CommandLine& arguments) {
    SetupState& setup = *CurrentSetup;
    if (ProposeFolders() == 0) {
        return false;  // the start-up fails on its own
    }
    if (!arguments.FolderTooLong) {
        ApplyFolderChoice(setup, arguments);
    }
    return NamesInstalledFile(setup, arguments.LogPath);
}

int RunInstaller(SetupState& setup, const CommandLine& arguments) {
    HRESULT com = StartupSeams::CoInitializeExCall(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com)) {
        WriteLogLine(setup.Log, L"COM could not be started.");
        WriteLogError(setup.Log, static_cast<DWORD>(com));
        return ExitComStartFailed;
    }
    int result = ExitSucceeded;
    if (!StartPlatformServices()) {
        WriteLogLine(setup.Log, L"The common controls could not be started.");
        result = ExitControlsStartFailed;
    } else if (!InitDefaultPaths()) {
        ReportInitFailure();
        result = ExitInitializationFailed;
    } else if (!IsUserAdmin()) {
        ReportNotAdministrator();
        result = ExitNotAdministrator;
    } else {
        result = RunChosenMode(setup, arguments);
    }
    ::CoUninitialize();
    return result;
}

// The wizard, /passive and /quiet from here on: a newer version installed ends every mode before
// anything is written or shown, and /passive and /quiet end so when the wizard would refuse their choices.
int RunChosenMode(SetupState& setup, const CommandLine& arguments) {
    int refused = CheckInstalledVersion(setup, arguments);
    if (refused != ExitSucceeded) {
        return refused;
    }
    if (arguments.FolderTooLong) {
        return ReportFolderTooLong(setup, arguments);
    }
    ApplyFolderChoice(setup, arguments);
    if (setup.Mode != WizardMode) {
        refused = CheckUnattendedChoices(setup);
        if (refused != ExitSucceeded) {
            return refused;
        }
        // No one to ask: the programs in use are named in the log and replaced as well as they can be.
        ProgramsInUse found;
        FindProgramsInUse(setup, setup.ChosenComponents, found);
        LogProgramsInUse(setup, found);
    }
    if (setup.Mode == QuietMode) {
        return RunQuietInstallation(setup);
    }
    setup.FrameWindow =
        ::CreateDialogParamW(setup.Instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr, FrameDialogProc, 0);
    if (setup.FrameWindow == nullptr) {
        ReportInitFailure();
        return ExitFrameNotCreated;
    }
    return static_cast<int>(RunMessageLoop(setup));
}

// In every mode, before anything is shown: no file could go into such a folder.
int ReportFolderTooLong(const SetupState& setup, const CommandLine& arguments) {
    wchar_t line[ArgumentPathCapacity + 64];
    CopyText(line, ArgumentPathCapacity + 64, FolderTooLongText);
    AppendText(line, ArgumentPathCapacity + 64, arguments.Folder);
    AppendText(line, ArgumentPathCapacity + 64, L"...");
    WriteLogLine(setup.Log, line);
    if (MayShowMessageBox(setup.Mode)) {
        static_cast<void>(::MessageBoxW(nullptr, line, ProductTitle, MB_OK | MB_ICONERROR));
    }
    return ExitFolderUnusable;
}

bool StartPlatformServices() {
    INITCOMMONCONTROLSEX controls = {8, 0xFF};
    return StartupSeams::InitCommonControlsExCall(&controls) != FALSE;
}

// Keyboard navigation belongs to the page on show, so each message goes to its dialog handling first.
WPARAM RunMessageLoop(SetupState& setup) {
    MSG message = {};
    while (message.message != WM_QUIT) {
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!::IsDialogMessageW(setup.PageWindows[setup.CurrentPage], &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
    return message.wParam;
}

}  // namespace
