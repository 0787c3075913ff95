#include "removal/installation.h"

#include "install/step_strings.h"
#include "removal/text.h"

#include <windows.h>

uint32_t FindInstallation(Installation* installation) {
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
    return CutToFolder(installation->Folder) > 0 ? 1 : 0;
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
