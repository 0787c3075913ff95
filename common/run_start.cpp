#include "common/run_start.h"

#include "common/bounded_text.h"
#include "common/exit_code.h"
#include "common/product_texts.h"
#include "common/run_log.h"
#include "common/single_instance.h"

namespace {

constexpr uint32_t MessageCapacity = 2048;

void RefuseCommandLine(const RunStart& run, const RunRules& rules);

}  // namespace

bool MayShowMessageBox(RunMode mode) {
    return mode == WizardMode;
}

bool BeginRun(const wchar_t* commandLine, const RunRules& rules, RunStart* run, int* exitCode) {
    ::ZeroMemory(run, sizeof(*run));
    CommandLine& arguments = run->Arguments;
    ReadCommandLine(commandLine, rules.Switches, &arguments);
    if (arguments.Problem == NoProblem && (arguments.Given & HelpSwitch) != 0) {
        if (MayShowMessageBox(arguments.Mode)) {
            static_cast<void>(::MessageBoxW(nullptr, rules.Usage, ProductTitle, MB_OK | MB_ICONINFORMATION));
        }
        *exitCode = ExitSucceeded;
        return false;
    }
    // Checked before the log is opened: the running program may be writing to that very file.
    if (!ClaimInstallation(rules.InheritableClaim, &run->Claim)) {
        if (arguments.Mode != QuietMode) {
            BringRunningInstallationToFront();
        }
        *exitCode = ExitAnotherInstallationRuns;
        return false;
    }
    if (arguments.LogPath[0] != L'\0') {
        const bool ownFile = arguments.Problem == NoProblem && rules.LogNamesOwnFile != nullptr &&
                             rules.LogNamesOwnFile(arguments);
        run->Log = ownFile ? nullptr : OpenRunLog(arguments.LogPath);
        if (run->Log == nullptr && arguments.Problem == NoProblem) {
            arguments.Problem = LogNotCreated;
            CopyText(arguments.ProblemArgument, ArgumentTextCapacity, L"/log=");
            AppendText(arguments.ProblemArgument, ArgumentTextCapacity, arguments.LogPath);
        }
    }
    WriteLogHeader(run->Log, rules.Role, commandLine);
    if (arguments.Problem != NoProblem) {
        RefuseCommandLine(*run, rules);
        *exitCode = ExitInvalidCommandLine;
        return false;
    }
    return true;
}

void EndRun(RunStart* run, int exitCode) {
    WriteLogExitCode(run->Log, exitCode);
    CloseRunLog(run->Log);
    run->Log = nullptr;
    ReleaseInstallation(run->Claim);
    run->Claim = nullptr;
}

namespace {

void RefuseCommandLine(const RunStart& run, const RunRules& rules) {
    wchar_t message[MessageCapacity];
    ComposeProblemLine(run.Arguments, message, MessageCapacity);
    WriteLogLine(run.Log, message);
    if (MayShowMessageBox(run.Arguments.Mode)) {
        AppendText(message, MessageCapacity, L"\n\n");
        AppendText(message, MessageCapacity, rules.Usage);
        static_cast<void>(::MessageBoxW(nullptr, message, ProductTitle, MB_OK | MB_ICONERROR));
    }
}

}  // namespace
