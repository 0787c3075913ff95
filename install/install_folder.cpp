#include "install/install_folder.h"

#include "common/paths.h"
#include "common/temporary_name.h"
#include "install/file_writer.h"
#include "install/journal.h"

namespace {

void DeleteLeftover(const wchar_t* path, void* context);
void FindOutermostMissingFolder(const wchar_t* folder, wchar_t* outermost);

}  // namespace

DWORD PrepareInstallFolder(SetupState& setup, const wchar_t* uninstaller, const RegistrationStrings& entry) {
    wchar_t created[PathCapacity];
    FindOutermostMissingFolder(setup.InstallFolder, created);
    // A folder that cannot be made shows up as the failed write of the uninstaller.
    CreateJournaledFolders(setup.Journal, setup.InstallFolder);
    VisitTemporaryFiles(setup.InstallFolder, DeleteLeftover, nullptr);
    // Links an installation cut short had put aside wait in the Start-menu folder.
    VisitTemporaryFiles(setup.StartMenuFolder, DeleteLeftover, nullptr);
    if (uninstaller == nullptr) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    // A folder of that name would refuse the uninstaller only after the entry was written.
    if (::GetFileAttributesW(uninstaller) != INVALID_FILE_ATTRIBUTES && !IsFileInPlace(uninstaller)) {
        return ERROR_ALREADY_EXISTS;
    }
    WriteUninstallEntry(entry, LeaveFailuresToLaterWrite);
    DWORD error = 0;
    const uint32_t written = WriteUninstaller(setup, uninstaller, &error);
    if (written != 0 && written != WrittenForRestart) {
        return error;  // the undo takes the entry back
    }
    // Recorded once something can take the folders back; never for a folder that was there before.
    if (created[0] != L'\0') {
        WriteCreatedParentFolder(created, LeaveFailuresToLaterWrite);
    }
    return 0;
}

uint32_t WriteUninstaller(SetupState& setup, const wchar_t* path, DWORD* error) {
    const PayloadEntry& entry = setup.PayloadDirectory[UninstallerEntry];
    return setup.Payload.WriteEntryToFile(path, entry.Offset, entry.Size, nullptr, error);
}

namespace {

// The folder the installation creates first, with its backslash; empty when the folders above the
// install folder all exist.
void FindOutermostMissingFolder(const wchar_t* folder, wchar_t* outermost) {
    wchar_t above[PathCapacity];
    outermost[0] = L'\0';
    CopyText(above, PathCapacity, folder);
    while (CutToParentFolder(above) != 0 && !IsExistingFolder(above)) {
        CopyText(outermost, PathCapacity, above);
    }
}

// An earlier program an interrupted installation renamed aside may still be running: it goes at the
// next restart. One held open by another installation still writing it stays.
void DeleteLeftover(const wchar_t* path, void*) {
    if (!::DeleteFileW(path) && ::GetLastError() == ERROR_ACCESS_DENIED) {
        static_cast<void>(::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    }
}

}  // namespace
