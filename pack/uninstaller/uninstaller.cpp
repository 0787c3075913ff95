#include "common/dll_search.h"
#include "removal/component_programs.h"
#include "removal/component_registrations.h"
#include "removal/file_removal.h"
#include "pack/uninstaller/install_folders.h"
#include "removal/leftover_files.h"
#include "pack/uninstaller/product_keys.h"
#include "pack/uninstaller/self_removal.h"
#include "pack/uninstaller/uninstall_texts.h"
#include "common/exit_code.h"
#include "common/run_log.h"
#include "common/run_start.h"
#include "common/usage_texts.h"
#include "removal/component_removal.h"
#include "removal/leftover_files.h"
#include "removal/start_menu_links.h"

#include <windows.h>

namespace {

constexpr RunRules UninstallerRules = {UninstallerSwitches, L"uninstall", UninstallerUsage, true, nullptr};
constexpr const wchar_t* OwnPathUnknownText = L"The uninstaller could not read its own path.";
constexpr const wchar_t* AnsweredNoText = L"Nothing was removed: the answer was No.";
constexpr const wchar_t* QuestionNotShownText = L"The question could not be shown.";

void FinishAsCopy(const CommandLine& arguments);
int Uninstall(const RunStart& run);
RemovalOutcome RemovePack(const Installation& installation);
RemovalOutcome RemoveUninstallerAndFolders(const Installation& installation, RemovalOutcome outcome, bool quiet);
const wchar_t* ResultText(RemovalOutcome outcome);
void ShowResult(RemovalOutcome outcome);
int ExitCodeOf(RemovalOutcome outcome);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (!RestrictDllSearch()) {
        return ExitDllSearchNotRestricted;
    }
    // The copy that finishes a removal is told so on its command line, read by the one parser.
    CommandLine copyArguments;
    ReadCommandLine(::GetCommandLineW(), RemovalCopySwitches, &copyArguments);
    if (IsRemovalCopy(copyArguments)) {
        FinishAsCopy(copyArguments);
        return ExitSucceeded;  // reaches no one: the uninstaller has ended and reported
    }
    // The copy that finishes the removal inherits the claim, so that no installation starts between
    // this program's end and the copy's.
    RunStart run;
    int result = ExitSucceeded;
    if (BeginRun(::GetCommandLineW(), UninstallerRules, &run, &result)) {
        result = Uninstall(run);
    }
    EndRun(&run, result);
    return result;
}

namespace {

// Finishes the removal and, unless quiet, shows its result to the person who answered the uninstaller.
void FinishAsCopy(const CommandLine& arguments) {
    const RemovalOutcome earlier = static_cast<RemovalOutcome>(arguments.FinishOutcome);
    const RemovalOutcome outcome = WorseOutcome(earlier, FinishRemoval(arguments));
    if (arguments.Mode != QuietMode) {
        ShowResult(outcome);
    }
}

int Uninstall(const RunStart& run) {
    const bool quiet = run.Arguments.Mode == QuietMode;
    Installation installation;
    if (FindInstallation(&installation) == 0) {
        WriteLogLine(run.Log, OwnPathUnknownText);
        return ExitUninstallerPathUnknown;
    }
    WriteLogText(run.Log, L"Install folder: ", installation.Folder);
    if (!quiet) {
        int answer = ::MessageBoxW(nullptr, RemoveQuestion, ProductTitle, MB_YESNO | MB_ICONQUESTION);
        if (answer != IDYES) {
            WriteLogLine(run.Log, answer == IDNO ? AnsweredNoText : QuestionNotShownText);
            return answer == IDNO ? ExitSucceeded : ExitQuestionNotShown;
        }
    }
    ReportRemovalsTo(run.Log);
    RemovalOutcome outcome = RemoveUninstallerAndFolders(installation, RemovePack(installation), quiet);
    WriteLogLine(run.Log, ResultText(outcome));
    // Started with no argument, as the list of installed programs starts it, it ends with 0 as it
    // always has: its message has told the person what happened.
    return run.Arguments.Given == 0 ? ExitSucceeded : ExitCodeOf(outcome);
}

// The entry in the list of installed programs goes last: a removal cut short can still be finished
// from that list.
RemovalOutcome RemovePack(const Installation& installation) {
    RemovalOutcome outcome = Removed;
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        outcome = WorseOutcome(outcome, RemoveComponent(installation, component));
    }
    outcome = WorseOutcome(outcome, RemoveStartMenuFolder(outcome));
    outcome = WorseOutcome(outcome, RemoveLeftoverFiles(installation));
    outcome = WorseOutcome(outcome, RemoveUninstallEntry(installation));
    return WorseOutcome(outcome, RemoveSavedInstallFolder(installation));
}

// This program's file leaves the install folder for the copy's, so that the folders can be removed now
// and the outcome told is the whole truth; what cannot leave goes at the restart, and the outcome says so.
RemovalOutcome RemoveUninstallerAndFolders(const Installation& installation, RemovalOutcome outcome, bool quiet) {
    // Started from the install folder, the current folder would keep it from being removed.
    wchar_t system[MAX_PATH];
    UINT length = ::GetSystemDirectoryW(system, MAX_PATH);
    if (length != 0 && length < MAX_PATH) {
        static_cast<void>(::SetCurrentDirectoryW(system));
    }
    RemovalCopy copy;
    const bool prepared = PrepareRemovalCopy(&copy);
    outcome = WorseOutcome(outcome, prepared ? MoveUninstallerAside(installation, &copy)
                                             : RemoveFileNowOrAtRestart(installation.Program));
    outcome = RemoveInstallFolders(installation, outcome);
    if ((prepared ? StartRemovalCopy(&copy, &outcome, quiet) : 0) == 0 && !quiet) {
        ShowResult(outcome);
    }
    return outcome;
}

const wchar_t* ResultText(RemovalOutcome outcome) {
    return outcome == Removed            ? RemovedMessage
           : outcome == RemovedAtRestart ? RemovedAtRestartMessage
                                         : LeftBehindMessage;
}

void ShowResult(RemovalOutcome outcome) {
    UINT icon = outcome == Removed ? MB_ICONINFORMATION : MB_ICONWARNING;
    // Nothing is left to do whichever way the box is closed, or if it cannot be shown.
    static_cast<void>(::MessageBoxW(nullptr, ResultText(outcome), ProductTitle, MB_OK | icon | MB_SETFOREGROUND));
}

int ExitCodeOf(RemovalOutcome outcome) {
    return outcome == Removed            ? ExitSucceeded
           : outcome == RemovedAtRestart ? ExitRestartRequired
                                         : ExitRemovalIncomplete;
}

}  // namespace
