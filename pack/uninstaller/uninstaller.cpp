#include "common/dll_search.h"
#include "pack/uninstaller/component_programs.h"
#include "pack/uninstaller/component_registrations.h"
#include "pack/uninstaller/leftover_files.h"
#include "pack/uninstaller/product_keys.h"
#include "pack/uninstaller/self_removal.h"
#include "pack/uninstaller/start_menu_links.h"
#include "pack/uninstaller/uninstall_texts.h"
#include "pack/window_program.h"

#include <windows.h>

namespace {

// Exit codes beyond those every pack program shares.
constexpr int UninstallEnded = 0;  // every normal path, the answer No included
constexpr int OwnPathUnknown = 5;
constexpr int QuestionNotShown = 6;

RemovalOutcome RemovePack(const Installation& installation);
void ShowResult(RemovalOutcome outcome);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (!RestrictDllSearch()) {
        return DllSearchFailed;
    }
    HelperRequest request;
    if (ReadHelperRequest(commandLine, &request)) {
        ShowResult(FinishAfterUninstaller(request));
        return UninstallEnded;
    }

    Installation installation;
    if (FindInstallation(&installation) == 0) {
        return OwnPathUnknown;
    }
    int answer = ::MessageBoxW(nullptr, RemoveQuestion, ProductTitle, MB_YESNO | MB_ICONQUESTION);
    if (answer != IDYES) {
        return answer == IDNO ? UninstallEnded : QuestionNotShown;
    }
    RemovalOutcome outcome = RemovePack(installation);
    if (StartRemovalHelper(installation, outcome) == 0) {
        // Without the copy, the system removes this program and its folder at the next restart.
        ShowResult(RemoveUninstallerAndFolder(installation.Program, outcome));
    }
    return UninstallEnded;
}

namespace {

// The links go first and the entry in the list of installed programs last: a removal cut short can
// still be finished from that list.
RemovalOutcome RemovePack(const Installation& installation) {
    RemovalOutcome outcome = RemoveStartMenuLinks(installation);
    outcome = WorseOutcome(outcome, RemoveComponentRegistrations(installation));
    outcome = WorseOutcome(outcome, RemoveComponentPrograms(installation));
    outcome = WorseOutcome(outcome, RemoveLeftoverFiles(installation));
    outcome = WorseOutcome(outcome, RemoveUninstallEntry(installation));
    return WorseOutcome(outcome, RemoveSavedInstallFolder(installation));
}

void ShowResult(RemovalOutcome outcome) {
    const wchar_t* text = outcome == Removed            ? RemovedMessage
                          : outcome == RemovedAtRestart ? RemovedAtRestartMessage
                                                        : LeftBehindMessage;
    UINT icon = outcome == Removed ? MB_ICONINFORMATION : MB_ICONWARNING;
    // Nothing is left to do whichever way the box is closed, or if it cannot be shown.
    static_cast<void>(::MessageBoxW(nullptr, text, ProductTitle, MB_OK | icon | MB_SETFOREGROUND));
}

}  // namespace
