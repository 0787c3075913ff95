#include "pack/uninstaller/self_removal.h"

#include "common/bounded_text.h"
#include "common/paths.h"
#include "common/step_strings.h"
#include "removal/file_removal.h"
#include "pack/uninstaller/removal_folder.h"
#include "removal/text.h"

namespace {

constexpr const wchar_t* CopyName = L"uninstall.exe";
// Beside the copy, the uninstaller's file takes another name; in a folder aside it keeps its own.
constexpr const wchar_t* MovedName = L"uninstall.old";
constexpr const wchar_t* AsidePrefix = L"Kvu";
constexpr uint32_t FinishCapacity = 40;

HANDLE HandleOf(uint32_t number);
uint32_t MoveToFolderAside(const Installation& installation, RemovalCopy* copy);
uint32_t RunCopy(const RemovalCopy& copy, HANDLE uninstaller, RemovalOutcome outcome, bool quiet);
RemovalOutcome LeaveOwnFolder(HANDLE program, const wchar_t* folder);
uint32_t RenameThroughHandle(HANDLE file, const wchar_t* path);
void CopyFolderPath(wchar_t* out, const wchar_t* folder);

}  // namespace

bool PrepareRemovalCopy(RemovalCopy* copy) {
    copy->ProgramFile = INVALID_HANDLE_VALUE;
    copy->Aside[0] = L'\0';
    copy->Moved = false;
    wchar_t own[PathCapacity];
    wchar_t temp[MAX_PATH + 1];
    DWORD length = ::GetModuleFileNameW(nullptr, own, PathCapacity);
    if (length == 0 || length >= PathCapacity || ReadTemporaryFolder(temp) == 0 ||
        MakeRemovalFolder(temp, copy->Folder) == 0) {
        return false;
    }
    bool ready = CopyText(copy->Program, PathCapacity, copy->Folder) &&
                 AppendText(copy->Program, PathCapacity, CopyName) &&
                 CopyText(copy->Original, PathCapacity, copy->Folder) &&
                 AppendText(copy->Original, PathCapacity, MovedName) && ::CopyFileW(own, copy->Program, TRUE) != FALSE;
    if (ready) {
        SECURITY_ATTRIBUTES inherited = {sizeof(inherited), nullptr, TRUE};
        copy->ProgramFile = ::CreateFileW(copy->Program, DELETE, FILE_SHARE_READ | FILE_SHARE_DELETE, &inherited,
                                          OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        // Checked with the copy in place: from here on only an administrator could change the folder.
        ready = copy->ProgramFile != INVALID_HANDLE_VALUE && IsAdministratorsOnlyFolder(copy->Folder);
    }
    if (!ready) {
        if (copy->ProgramFile != INVALID_HANDLE_VALUE) {
            static_cast<void>(::CloseHandle(copy->ProgramFile));  // deletes the copy
        } else {
            static_cast<void>(::DeleteFileW(copy->Program));
        }
        wchar_t folder[PathCapacity];
        CopyFolderPath(folder, copy->Folder);
        static_cast<void>(::RemoveDirectoryW(folder));
    }
    return ready;
}

RemovalOutcome MoveUninstallerAside(const Installation& installation, RemovalCopy* copy) {
    // Never copied across volumes: a running program's file could be copied, not deleted after.
    copy->Moved = ::MoveFileExW(installation.Program, copy->Original, 0) != FALSE ||
                  (::GetLastError() == ERROR_NOT_SAME_DEVICE && MoveToFolderAside(installation, copy) != 0);
    if (copy->Moved) {
        return Removed;
    }
    CopyText(copy->Original, PathCapacity, installation.Program);
    CopyText(copy->Aside, PathCapacity, installation.Folder);
    return RemoveFileNowOrAtRestart(installation.Program);
}

uint32_t StartRemovalCopy(RemovalCopy* copy, RemovalOutcome* outcome, bool quiet) {
    uint32_t started = 0;
    HANDLE uninstaller = nullptr;
    if (::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentProcess(), ::GetCurrentProcess(), &uninstaller,
                          SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, TRUE, 0) != FALSE) {
        started = RunCopy(*copy, uninstaller, *outcome, quiet);
        static_cast<void>(::CloseHandle(uninstaller));
    }
    // Once started, the copy holds its file open; otherwise this deletes it now.
    static_cast<void>(::CloseHandle(copy->ProgramFile));
    copy->ProgramFile = INVALID_HANDLE_VALUE;
    if (started == 0) {
        // This program's own file, once moved, can go only after it has ended: at the restart.
        wchar_t folder[PathCapacity];
        *outcome = WorseOutcome(*outcome, copy->Moved ? RemoveFileNowOrAtRestart(copy->Original) : Removed);
        CopyFolderPath(folder, copy->Folder);
        *outcome = WorseOutcome(*outcome, RemoveFolderWhenEmpty(folder, *outcome));
        if (copy->Moved && copy->Aside[0] != L'\0') {
            CopyFolderPath(folder, copy->Aside);
            *outcome = WorseOutcome(*outcome, RemoveFolderWhenEmpty(folder, *outcome));
        }
    }
    return started;
}

bool IsRemovalCopy(const CommandLine& arguments) {
    return arguments.Problem == NoProblem && (arguments.Given & FinishSwitch) != 0 &&
           arguments.FinishOutcome <= LeftBehind && ::GetProcessId(HandleOf(arguments.FinishProcess)) != 0 &&
           ::GetFileType(HandleOf(arguments.FinishFile)) == FILE_TYPE_DISK;
}

RemovalOutcome FinishRemoval(const CommandLine& arguments) {
    HANDLE uninstaller = HandleOf(arguments.FinishProcess);
    // However long it runs: its file cannot go before it has ended.
    static_cast<void>(::WaitForSingleObject(uninstaller, INFINITE));
    static_cast<void>(::CloseHandle(uninstaller));
    wchar_t program[PathCapacity];
    wchar_t folder[PathCapacity];
    wchar_t path[PathCapacity];
    DWORD length = ::GetModuleFileNameW(nullptr, program, PathCapacity);
    if (length == 0 || length >= PathCapacity) {
        return LeftBehind;
    }
    CopyText(folder, PathCapacity, program);
    CutToFolder(folder);
    RemovalOutcome outcome = Removed;
    if ((arguments.Given & DirSwitch) != 0) {
        // The uninstaller's file is in a folder aside, or stayed in the install folder named for the
        // restart; now that it has ended it may go at once, and the folder with it once empty.
        if (CopyText(path, PathCapacity, arguments.Folder) &&
            AppendUninstallerName(path, PathCapacity, ComponentNames[UninstallerIndex]) &&
            ::DeleteFileW(path) != FALSE) {
            CopyFolderPath(path, arguments.Folder);
            static_cast<void>(::RemoveDirectoryW(path));
        }
    } else if (CopyText(path, PathCapacity, folder) && AppendText(path, PathCapacity, MovedName)) {
        outcome = RemoveFileNowOrAtRestart(path);
    }
    return WorseOutcome(outcome, LeaveOwnFolder(HandleOf(arguments.FinishFile), folder));
}

namespace {

// A folder made as the copy's is, beside the install folder and so on its volume, takes the file under
// its own name. 1 when it moved.
uint32_t MoveToFolderAside(const Installation& installation, RemovalCopy* copy) {
    wchar_t above[MAX_PATH];
    wchar_t folder[PathCapacity];
    if (!CopyText(above, MAX_PATH, installation.Folder) || CutToParentFolder(above) == 0 ||
        MakeRemovalFolder(above, copy->Aside) == 0) {
        return 0;
    }
    if (CopyText(copy->Original, PathCapacity, copy->Aside) &&
        AppendUninstallerName(copy->Original, PathCapacity, ComponentNames[UninstallerIndex]) &&
        ::MoveFileExW(installation.Program, copy->Original, 0) != FALSE) {
        return 1;
    }
    CopyFolderPath(folder, copy->Aside);
    static_cast<void>(::RemoveDirectoryW(folder));
    copy->Aside[0] = L'\0';
    return 0;
}

// An inherited handle, as its number was written on the command line.
HANDLE HandleOf(uint32_t number) {
    return reinterpret_cast<HANDLE>(static_cast<uintptr_t>(number));
}

uint32_t RunCopy(const RemovalCopy& copy, HANDLE uninstaller, RemovalOutcome outcome, bool quiet) {
    wchar_t finish[FinishCapacity];
    wchar_t folder[PathCapacity];
    wchar_t commandLine[TextCapacity];
    wchar_t system[MAX_PATH];
    ::wsprintfW(finish, L"/finish=%lu,%lu,%lu", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(uninstaller)),
                static_cast<unsigned long>(reinterpret_cast<uintptr_t>(copy.ProgramFile)),
                static_cast<unsigned long>(outcome));
    // Without its backslash, which would escape the closing quote.
    CopyFolderPath(folder, copy.Aside);
    const bool aside = folder[0] != L'\0';
    // "copy" /finish=PROCESS,OUTCOME ["/dir=FOLDER"] [/quiet]
    const wchar_t* parts[] = {L"\"", copy.Program, L"\" ", finish, aside ? L" \"/dir=" : L"", folder,
                              aside ? L"\"" : L"", quiet ? L" /quiet" : L""};
    uint32_t fits = CopyText(commandLine, TextCapacity, L"");
    for (const wchar_t* part : parts) {
        fits &= AppendText(commandLine, TextCapacity, part);
    }
    UINT systemLength = ::GetSystemDirectoryW(system, MAX_PATH);
    if (fits == 0 || systemLength == 0 || systemLength >= MAX_PATH) {
        return 0;
    }
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    // The copy works from the system folder, so that its current folder keeps no folder it removes.
    if (::CreateProcessW(copy.Program, commandLine, nullptr, nullptr, TRUE, 0, nullptr, system, &startup,
                         &process) == FALSE) {
        return 0;
    }
    // The user answered this process; the copy's message may take the front in its place.
    static_cast<void>(::AllowSetForegroundWindow(process.dwProcessId));
    static_cast<void>(::CloseHandle(process.hThread));
    static_cast<void>(::CloseHandle(process.hProcess));
    return 1;
}

// The copy's file moves to the temporary folder above its own, where the handle opened for deletion on
// close deletes it when the copy ends; its folder, empty then, goes now. The move goes through that
// very handle, so that the deletion follows the file to its new name.
RemovalOutcome LeaveOwnFolder(HANDLE program, const wchar_t* folder) {
    wchar_t above[PathCapacity];
    wchar_t aside[MAX_PATH];
    CopyText(above, PathCapacity, folder);
    bool left = CutToParentFolder(above) != 0 && ::GetTempFileNameW(above, AsidePrefix, 0, aside) != 0;
    if (left && RenameThroughHandle(program, aside) == 0) {
        static_cast<void>(::DeleteFileW(aside));
        left = false;
    }
    wchar_t path[PathCapacity];
    CopyFolderPath(path, folder);
    return RemoveFolderWhenEmpty(path, left ? Removed : RemovedAtRestart);
}

// Renames the open file to the path, replacing the empty file that reserved the name. 1 when renamed.
uint32_t RenameThroughHandle(HANDLE file, const wchar_t* path) {
    constexpr uint32_t NameBytes = MAX_PATH * sizeof(wchar_t);
    union {
        FILE_RENAME_INFO Info;
        uint8_t Bytes[sizeof(FILE_RENAME_INFO) + NameBytes];
    } rename;
    ::ZeroMemory(&rename, sizeof(rename));
    const uint32_t length = BoundedLength(path, MAX_PATH);
    rename.Info.ReplaceIfExists = TRUE;
    rename.Info.FileNameLength = length * sizeof(wchar_t);
    ::CopyMemory(rename.Info.FileName, path, length * sizeof(wchar_t));
    return ::SetFileInformationByHandle(file, FileRenameInfo, &rename, sizeof(rename)) != FALSE ? 1 : 0;
}

// The folder's path without its trailing backslash, as the folder calls and the restart list take it.
void CopyFolderPath(wchar_t* out, const wchar_t* folder) {
    CopyText(out, PathCapacity, folder);
    uint32_t length = BoundedLength(out, PathCapacity);
    if (length > 0 && out[length - 1] == L'\\') {
        out[length - 1] = L'\0';
    }
}

}  // namespace
