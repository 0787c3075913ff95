#include "setup/folders.h"

#include "install/registry.h"
#include "setup/paths.h"
#include "setup/product_texts.h"
#include "setup/setup_state.h"

#include <shlobj.h>

namespace {

bool IsExistingFolder(const wchar_t* path);
void CopyText(wchar_t* destination, const wchar_t* text);
void AppendText(wchar_t* destination, const wchar_t* text);

}  // namespace

uint32_t InitDefaultPaths() {
    SetupState& setup = *CurrentSetup;
    if (setup.LoadPayload() != 0) {
        return 0;
    }
    // The saved value is read straight into the still zero-filled InstallFolder, so it always ends in a NUL.
    const wchar_t* keyPath = setup.BuildRegistryPath(MakerName);
    if (ReadSavedInstallPath(keyPath, setup.InstallFolder) && IsExistingFolder(setup.InstallFolder)) {
        CopyText(setup.BrowseBuffer, setup.InstallFolder);
    } else {
        if (::SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, setup.InstallFolder) !=
            S_OK) {
            return 0;
        }
        EnsureTrailingSeparator(setup.InstallFolder);
        // The picker starts at Program Files, the parent of the default folder.
        CopyText(setup.BrowseBuffer, setup.InstallFolder);
        AppendText(setup.InstallFolder, MakerName);
    }
    EnsureTrailingSeparator(setup.InstallFolder);
    if (::SHGetFolderPathW(nullptr, CSIDL_COMMON_PROGRAMS, nullptr, SHGFP_TYPE_CURRENT, setup.StartMenuFolder) !=
        S_OK) {
        return 0;
    }
    EnsureTrailingSeparator(setup.StartMenuFolder);
    AppendText(setup.StartMenuFolder, MakerName);
    EnsureTrailingSeparator(setup.StartMenuFolder);
    return 1;
}

namespace {

bool IsExistingFolder(const wchar_t* path) {
    DWORD attributes = ::GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void CopyText(wchar_t* destination, const wchar_t* text) {
    while ((*destination++ = *text++) != L'\0') {
    }
}

void AppendText(wchar_t* destination, const wchar_t* text) {
    while (*destination != L'\0') {
        ++destination;
    }
    CopyText(destination, text);
}

}  // namespace
