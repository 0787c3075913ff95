#include "install/installed_files.h"

#include "common/bounded_text.h"
#include "common/plain_path.h"
#include "common/same_path.h"
#include "common/step_strings.h"
#include "common/temporary_name.h"
#include "common/paths.h"

namespace {

bool IsTemporaryOfFolder(const wchar_t* path, const wchar_t* folder);

}  // namespace

bool NamesInstalledFile(const SetupState& setup, const wchar_t* path) {
    wchar_t plain[PathCapacity];
    if (!CopyText(plain, PathCapacity, path) || !MakePathPlain(plain, PathCapacity)) {
        return false;
    }
    wchar_t file[PathCapacity];
    for (uint32_t entry = 0; entry <= UninstallerIndex; ++entry) {
        const wchar_t* name = setup.ComponentTable[entry];
        CopyText(file, PathCapacity, setup.InstallFolder);
        const uint32_t fits = entry == UninstallerIndex ? AppendUninstallerName(file, PathCapacity, name)
                                                        : AppendFileName(file, PathCapacity, name, L".exe");
        if (fits && SamePath(file, plain)) {
            return true;
        }
        CopyText(file, PathCapacity, setup.StartMenuFolder);
        if (entry < ComponentCount && AppendFileName(file, PathCapacity, name, L".lnk") && SamePath(file, plain)) {
            return true;
        }
    }
    return IsTemporaryOfFolder(plain, setup.InstallFolder);
}

namespace {

bool IsTemporaryOfFolder(const wchar_t* path, const wchar_t* folder) {
    wchar_t parent[PathCapacity];
    CopyText(parent, PathCapacity, path);
    uint32_t nameStart = BoundedLength(parent, PathCapacity);
    while (nameStart > 0 && parent[nameStart - 1] != L'\\') {
        --nameStart;
    }
    if (!IsTemporaryName(path + nameStart)) {
        return false;
    }
    parent[nameStart] = L'\0';
    return SamePath(parent, folder);
}

}  // namespace
