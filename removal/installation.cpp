#include "removal/installation.h"

#include "common/same_path.h"
#include "common/step_strings.h"
#include "install/registrations.h"
#include "removal/registry_keys.h"
#include "removal/text.h"

#include <windows.h>

namespace {

void ReadCreatedFolder(Installation* installation);
bool IsFolderAbove(const wchar_t* above, const wchar_t* folder);

}  // namespace

uint32_t FindInstallation(Installation* installation) {
    installation->CreatedFolder[0] = L'\0';
    DWORD length = ::GetModuleFileNameW(nullptr, installation->Program, PathCapacity);
    if (length == 0 || length >= PathCapacity) {
        return 0;
    }
    // Registry data holds the long form; a short form in the started path must still match it.
    wchar_t longPath[PathCapacity];
    DWORD longLength = ::GetLongPathNameW(installation->Program, longPath, PathCapacity);
    if (longLength != 0 && longLength < PathCapacity) {
        CopyText(installation->Program, PathCapacity, longPath);
    }
    CopyText(installation->Folder, PathCapacity, installation->Program);
    if (CutToFolder(installation->Folder) == 0) {
        return 0;
    }
    ReadCreatedFolder(installation);
    return 1;
}

uint32_t ComposeInstallation(const wchar_t* folder, Installation* installation) {
    uint32_t fits = CopyText(installation->Folder, PathCapacity, folder);
    fits &= CopyText(installation->Program, PathCapacity, folder);
    return fits & AppendUninstallerName(installation->Program, PathCapacity, ComponentNames[UninstallerIndex]);
}

uint32_t ComposeComponentPath(const Installation& installation, uint32_t component, wchar_t* out) {
    uint32_t fits = CopyText(out, PathCapacity, installation.Folder);
    return fits & AppendFileName(out, PathCapacity, ComponentNames[component], L".exe");
}

namespace {

// Read before the removal deletes the record with AppPath. The record is taken only while AppPath names
// this installation's folder and only for a folder above it: no folder outside this installation's
// chain is ever removed.
void ReadCreatedFolder(Installation* installation) {
    const RegistryKey& key = CreatedParentFolder.Key;
    wchar_t keyPath[TextCapacity];
    wchar_t saved[TextCapacity];
    wchar_t recorded[PathCapacity];
    if (ComposeKeyPath(key, KeyPartCount(key), keyPath) != 0 &&
        ReadKeyText(keyPath, SavedInstallFolder.Value.Name, saved, TextCapacity) != 0 &&
        SamePath(saved, installation->Folder) &&
        ReadKeyText(keyPath, CreatedParentFolder.Value.Name, recorded, PathCapacity) != 0 &&
        IsFolderAbove(recorded, installation->Folder)) {
        CopyText(installation->CreatedFolder, PathCapacity, recorded);
    }
}

// Both end in a backslash; above is a shorter start of folder, in any case, and not a drive's root.
bool IsFolderAbove(const wchar_t* above, const wchar_t* folder) {
    const int length = ::lstrlenW(above);
    return length > 3 && length < ::lstrlenW(folder) && above[length - 1] == L'\\' &&
           ::CompareStringOrdinal(above, length, folder, length, TRUE) == CSTR_EQUAL;
}

}  // namespace
