#include "pack/uninstaller/install_folders.h"

#include "common/bounded_text.h"
#include "common/paths.h"
#include "removal/file_removal.h"

RemovalOutcome RemoveInstallFolders(const Installation& installation, RemovalOutcome earlier) {
    wchar_t folder[PathCapacity];
    CopyText(folder, PathCapacity, installation.Folder);
    const uint32_t outermost = BoundedLength(installation.CreatedFolder, PathCapacity);
    RemovalOutcome outcome = earlier;
    for (uint32_t length = BoundedLength(folder, PathCapacity); length > 0;) {
        folder[length - 1] = L'\0';  // without its backslash, as the restart list keeps it
        outcome = WorseOutcome(outcome, RemoveFolderWhenEmpty(folder, outcome));
        folder[length - 1] = L'\\';
        if (length <= outermost || outermost == 0 || CutToParentFolder(folder) == 0) {
            break;
        }
        length = BoundedLength(folder, PathCapacity);
    }
    return outcome;
}
