#include "install/install_folder.h"

#include "install/journal.h"
#include "install/temporary_name.h"

namespace {

void DeleteLeftover(const wchar_t* path, void* context);

}  // namespace

bool PrepareInstallFolder(SetupState& setup, const wchar_t* uninstaller) {
    // A folder that cannot be made shows up as the failed write of the first program.
    CreateJournaledFolders(setup.Journal, setup.InstallFolder);
    VisitTemporaryFiles(setup.InstallFolder, DeleteLeftover, nullptr);
    // Links an installation cut short had put aside wait in the Start-menu folder.
    VisitTemporaryFiles(setup.StartMenuFolder, DeleteLeftover, nullptr);
    bool inPlace = false;
    if (uninstaller != nullptr) {
        // A failure here shows when the final step writes it again.
        static_cast<void>(WriteUninstaller(setup, uninstaller));
        inPlace = IsFileInPlace(uninstaller);
    }
    return inPlace;
}

uint32_t WriteUninstaller(SetupState& setup, const wchar_t* path) {
    const PayloadEntry& entry = setup.PayloadDirectory[UninstallerEntry];
    return setup.Payload.WriteEntryToFile(path, entry.Offset, entry.Size, nullptr);
}

bool IsFileInPlace(const wchar_t* path) {
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

namespace {

// An earlier program an interrupted installation renamed aside may still be running: it goes at the
// next restart. One held open by another installation still writing it stays.
void DeleteLeftover(const wchar_t* path, void*) {
    if (!::DeleteFileW(path) && ::GetLastError() == ERROR_ACCESS_DENIED) {
        static_cast<void>(::MoveFileExW(path, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT));
    }
}

}  // namespace
