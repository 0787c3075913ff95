#include "setup/folders.h"

#include "install/registry.h"
#include "common/bounded_text.h"
#include "common/paths.h"
#include "common/product_texts.h"
#include "common/plain_path.h"
#include "setup/setup_state.h"

#include <shlobj.h>

uint32_t InitDefaultPaths() {
    return CurrentSetup->LoadPayload() == 0 ? ProposeFolders() : 0;
}

uint32_t ProposeFolders() {
    SetupState& setup = *CurrentSetup;
    // The saved value is read straight into the zero-filled InstallFolder, so it always ends in a NUL.
    ::ZeroMemory(setup.InstallFolder, sizeof(setup.InstallFolder));
    // Its type is not asked, so only the text decides: "." or "C:" (which a number can spell) would
    // resolve against the current folder of the elevated process.
    const wchar_t* keyPath = setup.BuildRegistryPath(MakerName);
    if (ReadSavedInstallPath(keyPath, setup.InstallFolder) && IsFullPath(setup.InstallFolder) &&
        IsExistingFolder(setup.InstallFolder)) {
        // Plain from here on; the picker starts at the folder itself, the separator is added below.
        static_cast<void>(MakePathPlain(setup.InstallFolder, PathCapacity - 1));
        CopyText(setup.BrowseBuffer, PathCapacity, setup.InstallFolder);
    } else {
        if (::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, setup.InstallFolder) !=
            S_OK) {
            return 0;
        }
        EnsureTrailingSeparator(setup.InstallFolder);
        // The picker starts at Program Files, the parent of the default folder.
        CopyText(setup.BrowseBuffer, PathCapacity, setup.InstallFolder);
        AppendText(setup.InstallFolder, PathCapacity, MakerName);
    }
    EnsureTrailingSeparator(setup.InstallFolder);
    if (::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, setup.StartMenuFolder) !=
        S_OK) {
        return 0;
    }
    EnsureTrailingSeparator(setup.StartMenuFolder);
    AppendText(setup.StartMenuFolder, PathCapacity, MakerName);
    EnsureTrailingSeparator(setup.StartMenuFolder);
    return 1;
}
