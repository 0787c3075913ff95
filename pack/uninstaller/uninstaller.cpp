#include "common/dll_search.h"
#include "pack/uninstaller/product_keys.h"
#include "pack/uninstaller/self_removal.h"
#include "pack/uninstaller/uninstall_texts.h"
#include "removal/component_removal.h"
#include "removal/leftover_files.h"
#include "removal/start_menu_links.h"
#include "setup/exit_code.h"
#include "setup/run_log.h"
#include "setup/run_start.h"
#include "setup/usage_texts.h"

#include <windows.h>

namespace {

constexpr RunRules UninstallerRules = {UninstallerSwitches, L"uninstall", UninstallerUsage, true};
constexpr const wchar_t* OwnPathUnknownText = L"The uninstaller could not read its own path.";
constexpr const wchar_t* AnsweredNoText = L"Nothing was removed: the answer was No.";
constexpr const wchar_t* QuestionNotShownText = L"The question could not be shown.";

int Uninstall(const RunStart& run);
RemovalOutcome RemovePack(const Installation& installation);
const wchar_t* ResultText(RemovalOutcome outcome);
void ShowResult(RemovalOutcome outcome);
int ExitCodeOf(RemovalOutcome outcome);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (!RestrictDllSearch()) {
        return ExitDllSearchNotRestricted;
    }
    HelperRequest request;
    if (ReadHelperRequest(commandLine, &request)) {
        RemovalOutcome outcome = FinishAfterUninstaller(request);
        if (!request.Quiet) {
            ShowResult(outcome);
        }
        return ExitSucceeded;
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
    RemovalOutcome outcome = RemovePack(installation);
    if (StartRemovalHelper(installation, outcome, quiet) == 0) {
        // Without the copy, the system removes this program and its folder at the next restart.
        outcome = RemoveUninstallerAndFolder(installation.Program, outcome);
        if (!quiet) {
            ShowResult(outcome);
        }
    }
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
