#include "setup/unattended.h"

#include "install/install_choices.h"
#include "install/install_step.h"
#include "install/installation_end.h"
#include "common/bounded_text.h"
#include "common/exit_code.h"
#include "common/paths.h"
#include "common/run_log.h"
#include "wizard/folder_page.h"
#include "wizard/space_figures.h"

namespace {

constexpr uint32_t FigureTextBytes = 64;
constexpr uint32_t ExtensionLength = 4;  // ".exe"

uint32_t LongestFileName(const SetupState& setup);
DWORD AttributesOfFolder(const wchar_t* folder);

}  // namespace

void ApplyFolderChoice(SetupState& setup, const CommandLine& arguments) {
    if ((arguments.Given & DirSwitch) != 0) {
        CopyText(setup.InstallFolder, PathCapacity, arguments.Folder);
        MakeFolderPlain(setup.InstallFolder);
        CopyText(setup.BrowseBuffer, PathCapacity, setup.InstallFolder);
    }
}

int CheckUnattendedChoices(SetupState& setup) {
    if (setup.ChosenComponents == 0) {
        WriteLogLine(setup.Log, L"No component was chosen: there is nothing to install.");
        return ExitNoComponentChosen;
    }
    if (!IsUsableInstallFolder(setup, setup.InstallFolder)) {
        WriteLogText(setup.Log, L"The install folder cannot be used: ", setup.InstallFolder);
        return ExitFolderUnusable;
    }
    // The Folder page's figures and rule, on the volume that receives the files.
    const uint32_t required = RequiredBytes(setup.PayloadDirectory, setup.ChosenComponents);
    const uint64_t freeBytes = QueryFreeBytes(setup.InstallFolder);
    if (!InstallFits(required, freeBytes)) {
        char figures[FigureTextBytes];
        WriteLogText(setup.Log, L"Not enough free space on the volume of ", setup.InstallFolder);
        WriteRequiredText(figures, required);
        WriteLogNarrowLine(setup.Log, figures);
        WriteAvailableText(figures, freeBytes);
        WriteLogNarrowLine(setup.Log, figures);
        return ExitDiskFull;
    }
    return ExitSucceeded;
}

int RunQuietInstallation(SetupState& setup) {
    BeginInstallation(setup, setup.ChosenComponents);
    for (uint32_t step = 0; step <= UninstallerIndex; ++step) {
        RunInstallStep(step);
    }
    return InstallationExitCode(setup);
}

bool IsUsableInstallFolder(const SetupState& setup, const wchar_t* folder) {
    if (BoundedLength(folder, PathCapacity) + LongestFileName(setup) >= MAX_PATH) {
        return false;
    }
    wchar_t probe[PathCapacity];
    CopyText(probe, PathCapacity, folder);
    for (;;) {
        const DWORD attributes = AttributesOfFolder(probe);
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        }
        if (!CutToParentFolder(probe)) {
            return false;  // not even the drive or the share exists
        }
    }
}

namespace {

uint32_t LongestFileName(const SetupState& setup) {
    uint32_t longest = 0;
    for (const wchar_t* name : setup.ComponentTable) {
        const uint32_t length = BoundedLength(name, PathCapacity) + ExtensionLength;
        longest = length > longest ? length : longest;
    }
    return longest;
}

// Asked without the trailing separator, so that a file of that name answers as a file.
DWORD AttributesOfFolder(const wchar_t* folder) {
    wchar_t path[PathCapacity];
    CopyText(path, PathCapacity, folder);
    uint32_t length = BoundedLength(path, PathCapacity);
    if (length > 3 && path[length - 1] == L'\\') {
        path[length - 1] = L'\0';
    }
    return ::GetFileAttributesW(path);
}

}  // namespace
