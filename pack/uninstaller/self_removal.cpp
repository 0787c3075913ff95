#include "pack/uninstaller/self_removal.h"

#include "removal/file_removal.h"
#include "removal/text.h"

namespace {

constexpr const wchar_t* FinishSwitch = L"/finish";
constexpr const wchar_t* QuietSwitchText = L"/quiet";
constexpr const wchar_t* CopyPrefix = L"Kvu";
// The uninstaller ends right after starting the copy; one that hangs keeps its file until the restart.
constexpr DWORD UninstallerExitWaitMs = 60000;
constexpr uint32_t NumberCapacity = 12;

uint32_t RunCopy(const wchar_t* copy, const wchar_t* workFolder, HANDLE uninstaller, RemovalOutcome outcome,
                 const wchar_t* program, bool quiet);
bool ReadQuietEnd(const wchar_t* cursor, bool* quiet);
bool SkipText(const wchar_t** cursor, const wchar_t* text);
bool ReadNumber(const wchar_t** cursor, uint32_t* number);
bool ReadQuoted(const wchar_t** cursor, wchar_t* out, uint32_t capacity);

}  // namespace

uint32_t StartRemovalHelper(const Installation& installation, RemovalOutcome outcome, bool quiet) {
    wchar_t temp[MAX_PATH];
    wchar_t copy[MAX_PATH];
    DWORD tempLength = ::GetTempPathW(MAX_PATH, temp);
    if (tempLength == 0 || tempLength >= MAX_PATH || ::GetTempFileNameW(temp, CopyPrefix, 0, copy) == 0) {
        return 0;
    }
    // GetTempFileNameW reserved the name with an empty file, which the copy replaces.
    if (::CopyFileW(installation.Program, copy, FALSE) == FALSE) {
        static_cast<void>(::DeleteFileW(copy));
        return 0;
    }
    // Whether the last handle's close deletes a file still mapped as a running program differs between
    // Windows versions; the restart removes what is left and skips a copy already gone. Should this
    // fail, the handle's deletion still works where it does today.
    static_cast<void>(::MoveFileExW(copy, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
    HANDLE copyFile = ::CreateFileW(copy, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited, OPEN_EXISTING,
                                    FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (copyFile == INVALID_HANDLE_VALUE) {
        static_cast<void>(::DeleteFileW(copy));
        return 0;
    }
    uint32_t started = 0;
    HANDLE uninstaller = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &uninstaller,
                          SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0) != FALSE) {
        started = RunCopy(copy, temp, uninstaller, outcome, installation.Program, quiet);
        static_cast<void>(::CloseHandle(uninstaller));
    }
    // Once started, the copy holds the file open; otherwise this deletes it now.
    static_cast<void>(::CloseHandle(copyFile));
    return started;
}

bool ReadHelperRequest(const wchar_t* commandLine, HelperRequest* request) {
    const wchar_t* cursor = commandLine;
    uint32_t handle = 0;
    uint32_t outcome = 0;
    if (commandLine == nullptr || !SkipText(&cursor, FinishSwitch) || !ReadNumber(&cursor, &handle) ||
        !ReadNumber(&cursor, &outcome) || outcome > LeftBehind ||
        !ReadQuoted(&cursor, request->Program, PathCapacity) || !ReadQuietEnd(cursor, &request->Quiet)) {
        return false;
    }
    request->Original = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(handle));
    request->Outcome = static_cast<RemovalOutcome>(outcome);
    return ::GetProcessId(request->Original) != 0;
}

RemovalOutcome FinishAfterUninstaller(const HelperRequest& request) {
    // After a timeout the file is still busy, and the removal below hands it to the restart.
    static_cast<void>(::WaitForSingleObject(request.Original, UninstallerExitWaitMs));
    static_cast<void>(::CloseHandle(request.Original));
    return RemoveUninstallerAndFolder(request.Program, request.Outcome);
}

RemovalOutcome RemoveUninstallerAndFolder(const wchar_t* program, RemovalOutcome earlier) {
    wchar_t folder[PathCapacity];
    if (CopyText(folder, PathCapacity, program) == 0) {
        return LeftBehind;
    }
    uint32_t length = CutToFolder(folder);
    folder[length > 0 ? length - 1 : 0] = L'\0';  // without its backslash, as the restart list keeps it
    RemovalOutcome outcome = WorseOutcome(earlier, RemoveFileNowOrAtRestart(program));
    return WorseOutcome(outcome, RemoveFolderWhenEmpty(folder, outcome));
}

namespace {

uint32_t RunCopy(const wchar_t* copy, const wchar_t* workFolder, HANDLE uninstaller, RemovalOutcome outcome,
                 const wchar_t* program, bool quiet) {
    wchar_t handleText[NumberCapacity];
    wchar_t outcomeText[NumberCapacity];
    wchar_t commandLine[TextCapacity];
    ::wsprintfW(handleText, L"%lu", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(uninstaller)));
    ::wsprintfW(outcomeText, L"%lu", static_cast<unsigned long>(outcome));
    // "copy" /finish handle outcome "program" [/quiet]
    const wchar_t* parts[] = {L"\"", copy, L"\" ", FinishSwitch, L" ", handleText, L" ", outcomeText,
                              L" \"", program, L"\"", quiet ? L" " : L"", quiet ? QuietSwitchText : L""};
    uint32_t fits = CopyText(commandLine, TextCapacity, L"");
    for (const wchar_t* part : parts) {
        fits &= AppendText(commandLine, TextCapacity, part);
    }
    if (fits == 0) {
        return 0;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // The copy works from the temporary folder, so that its current folder does not keep the install
    // folder from being removed.
    if (::CreateProcessW(copy, commandLine, nullptr, nullptr, TRUE, 0, nullptr, workFolder, &startup, &process) ==
        FALSE) {
        return 0;
    }
    // The user answered this process; the copy's message may take the front in its place.
    static_cast<void>(::AllowSetForegroundWindow(process.dwProcessId));
    static_cast<void>(::CloseHandle(process.hThread));
    static_cast<void>(::CloseHandle(process.hProcess));
    return 1;
}

// The end of the copy's command line, or /quiet before it.
bool ReadQuietEnd(const wchar_t* cursor, bool* quiet) {
    *quiet = *cursor == L' ';
    if (*quiet) {
        ++cursor;
        if (!SkipText(&cursor, QuietSwitchText)) {
            return false;
        }
    }
    return *cursor == L'\0';
}

// The text, then one space or the end.
bool SkipText(const wchar_t** cursor, const wchar_t* text) {
    const wchar_t* at = *cursor;
    for (; *text != L'\0'; ++text, ++at) {
        if (*at != *text) {
            return false;
        }
    }
    if (*at == L' ') {
        ++at;
    } else if (*at != L'\0') {
        return false;
    }
    *cursor = at;
    return true;
}

bool ReadNumber(const wchar_t** cursor, uint32_t* number) {
    const wchar_t* at = *cursor;
    uint32_t value = 0;
    for (; *at >= L'0' && *at <= L'9'; ++at) {
        if (value > (0xFFFFFFFFu - 9) / 10) {
            return false;
        }
        value = value * 10 + static_cast<uint32_t>(*at - L'0');
    }
    if (at == *cursor) {
        return false;
    }
    *number = value;
    *cursor = at;
    return SkipText(cursor, L"");
}

bool ReadQuoted(const wchar_t** cursor, wchar_t* out, uint32_t capacity) {
    const wchar_t* at = *cursor;
    if (*at != L'"') {
        return false;
    }
    uint32_t length = 0;
    for (++at; *at != L'"'; ++at) {
        if (*at == L'\0' || length + 1 >= capacity) {
            return false;
        }
        out[length++] = *at;
    }
    out[length] = L'\0';
    *cursor = at + 1;
    return length > 0;
}

}  // namespace
