#include "install/installation_end.h"

#include "common/bounded_text.h"
#include "install/details_list.h"
#include "common/exit_code.h"
#include "common/run_log.h"

namespace {

// A label, then a file path, or a key path and a value name.
constexpr uint32_t LineCapacity = 64 + PathCapacity + ValueNameCapacity;

constexpr const wchar_t* UndoFailedLine = L"ERROR: Undo failed.";
constexpr const wchar_t* StaysListedLine = L"The installation stays listed, so that it can be removed.";
constexpr const wchar_t* OldCopyAtRestartLabel = L"Replaced while in use; the old copy goes at the next restart: ";
constexpr const wchar_t* RemovedAtRestartLabel = L"Removed while in use; its file goes at the next restart: ";

void ComposeUndoLine(const JournalRecord& record, wchar_t* line);

}  // namespace

void UndoInstallation(SetupState& setup) {
    InstallJournal& journal = setup.Journal;
    bool failed = false;
    while (journal.Count > 0 && !(failed && journal.Count <= journal.ListedCount)) {
        wchar_t line[LineCapacity];
        ComposeUndoLine(journal.Records[journal.Count - 1], line);
        AddDetailsLine(setup, line);
        if (!UndoLastRecord(journal)) {
            const DWORD error = ::GetLastError();
            AddDetailsLine(setup, UndoFailedLine);
            WriteLogError(setup.Log, error);
            failed = true;
        }
    }
    if (failed) {
        AddDetailsLine(setup, StaysListedLine);
        // What lists the installation is kept as it is now: the files it replaced need not wait.
        for (uint32_t i = 0; i < journal.Count; ++i) {
            static_cast<void>(FinishRecord(journal.Records[i]));
        }
    }
    ClearJournal(journal);
}

void KeepInstallation(SetupState& setup) {
    InstallJournal& journal = setup.Journal;
    setup.RestartCount = 0;
    for (uint32_t i = 0; i < journal.Count; ++i) {
        const JournalRecord& record = journal.Records[i];
        if (record.Operation == FileReplacedAtRestart) {
            ++setup.RestartCount;
        }
        if (FinishRecord(record) == PlacedAtRestart) {
            // Nothing at its name: the upgrade removed it rather than replaced it.
            const bool replaced = ::GetFileAttributesW(record.File.Path) != INVALID_FILE_ATTRIBUTES;
            wchar_t line[LineCapacity];
            CopyText(line, LineCapacity, replaced ? OldCopyAtRestartLabel : RemovedAtRestartLabel);
            AppendText(line, LineCapacity, record.File.Path);
            AddDetailsLine(setup, line);
        }
    }
    ClearJournal(journal);
}

int InstallationExitCode(const SetupState& setup) {
    if (setup.ErrorCount != 0) {
        return ExitInstallationFailed;
    }
    return setup.RestartCount != 0 ? ExitRestartRequired : ExitSucceeded;
}

namespace {

// "Undo: removed C:\...\Blorra.exe", "Undo: put back HKLM\Software\Kelvorin: AppPath" and the like.
void ComposeUndoLine(const JournalRecord& record, wchar_t* line) {
    const bool value = record.Operation == ValueWritten;
    const wchar_t* action = L"Undo: removed ";
    if (record.Operation == FileReplaced || (value && record.Value.Existed)) {
        action = L"Undo: put back ";
    } else if (record.Operation == FileReplacedAtRestart) {
        action = L"Undo: withdrew the new program waiting for the restart at ";
    } else if (record.Operation == FoldersCreated) {
        action = L"Undo: removed the empty folders made for ";
    }
    CopyText(line, LineCapacity, action);
    if (!value) {
        AppendText(line, LineCapacity, record.File.Path);
        return;
    }
    AppendText(line, LineCapacity, L"HKLM\\");
    AppendText(line, LineCapacity, record.Value.KeyPath);
    AppendText(line, LineCapacity, L": ");
    AppendText(line, LineCapacity, record.Value.Name[0] != L'\0' ? record.Value.Name : L"(Default)");
}

}  // namespace
