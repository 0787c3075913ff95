#include "removal/file_removal.h"

#include <windows.h>

namespace {

bool IsAlreadyGone(DWORD error);
RemovalOutcome RemoveAtRestart(const wchar_t* path);

}  // namespace

RemovalOutcome RemoveFileNowOrAtRestart(const wchar_t* path) {
    if (::DeleteFileW(path) != FALSE) {
        return Removed;
    }
    DWORD error = ::GetLastError();
    return IsAlreadyGone(error) ? Removed : RemoveAtRestart(path);
}

RemovalOutcome RemoveFolderWhenEmpty(const wchar_t* folder, RemovalOutcome earlier) {
    if (::RemoveDirectoryW(folder) != FALSE) {
        return Removed;
    }
    DWORD error = ::GetLastError();
    if (IsAlreadyGone(error) || (error == ERROR_DIR_NOT_EMPTY && earlier == Removed)) {
        return Removed;
    }
    return RemoveAtRestart(folder);
}

namespace {

bool IsAlreadyGone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

RemovalOutcome RemoveAtRestart(const wchar_t* path) {
    return ::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE ? RemovedAtRestart : LeftBehind;
}

}  // namespace
