#include "removal/file_removal.h"

#include "common/paths.h"
#include "common/run_log.h"
#include "removal/kept_removals.h"

namespace {

constexpr const wchar_t* AtRestartLabel = L"Removed at the next restart: ";
constexpr const wchar_t* LeftBehindLabel = L"Could not be removed: ";

HANDLE ReportLog = nullptr;

bool IsAlreadyGone(DWORD error);
RemovalOutcome RemoveAtRestart(const wchar_t* path);

}  // namespace

void ReportRemovalsTo(HANDLE log) {
    ReportLog = log;
}

RemovalOutcome RemoveFileNowOrAtRestart(const wchar_t* path) {
    const RemovalKeeper* keeper = CurrentRemovalKeeper();
    if (keeper != nullptr && keeper->SetFileAside(keeper->Context, path)) {
        return Removed;
    }
    if (::DeleteFileW(path) != FALSE) {
        return Removed;
    }
    DWORD error = ::GetLastError();
    return IsAlreadyGone(error) || IsExistingFolder(path) ? Removed : RemoveAtRestart(path);
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
    if (::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) != FALSE) {
        WriteLogText(ReportLog, AtRestartLabel, path);
        return RemovedAtRestart;
    }
    DWORD error = ::GetLastError();
    WriteLogText(ReportLog, LeftBehindLabel, path);
    WriteLogError(ReportLog, error);
    return LeftBehind;
}

}  // namespace
