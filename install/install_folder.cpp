#include "install/install_folder.h"

#include "common/temporary_name.h"
#include "common/paths.h"

namespace {

void DeleteLeftover(const wchar_t* path, void* context);
void FindOutermostMissingFolder(const wchar_t* folder, wchar_t* outermost);

}  // namespace

DWORD PrepareInstallFolder(SetupState& setup, const wchar_t* uninstaller, const RegistrationStrings& entry) {
    wchar_t created[PathCapacity];
    FindOutermostMissingFolder(setup.InstallFolder, created);
    // A folder that cannot be made shows up as the failed write of the uninstaller.
    CreateDirectoryChain(setup.InstallFolder);
    VisitTemporaryFiles(setup.InstallFolder, DeleteLeftover, nullptr);
    if (uninstaller == nullptr) {
        return ERROR_FILENAME_EXCED_RANGE;
    }
    // A folder of that name would refuse the uninstaller only after the entry was written.
    if (::GetFileAttributesW(uninstaller) != INVALID_FILE_ATTRIBUTES && !IsFileInPlace(uninstaller)) {
        return ERROR_ALREADY_EXISTS;
    }
    const bool earlier = IsFileInPlace(uninstaller);
    WriteUninstallEntry(entry, LeaveFailuresToLaterWrite);
    DWORD error = 0;
    if (WriteUninstaller(setup, uninstaller) != 0) {
        error = ::GetLastError();
        error = error != 0 ? error : ERROR_WRITE_FAULT;
    }
    if (error != 0 && !earlier) {
        DeleteUninstallEntry();
        return error;
    }
    // Recorded once something can take the folders back; never for a folder that was there before.
    if (created[0] != L'\0') {
        WriteCreatedParentFolder(created, LeaveFailuresToLaterWrite);
    }
    return 0;
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

// One held open by another installation still writing it stays.
void DeleteLeftover(const wchar_t* path, void*) {
    static_cast<void>(::DeleteFileW(path));
}

}  // namespace
