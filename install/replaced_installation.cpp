#include "install/replaced_installation.h"

#include "common/same_path.h"
#include "install/details_list.h"
#include "install/journal.h"
#include "removal/component_removal.h"
#include "removal/file_removal.h"
#include "removal/kept_removals.h"
#include "removal/leftover_files.h"
#include "removal/text.h"

namespace {

constexpr const wchar_t* RemovedLabel = L"Removed: ";
constexpr const wchar_t* RemovedAtRestartLabel = L"Removed at the next restart: ";
constexpr const wchar_t* NotRemovedLabel = L"Not removed: ";
constexpr uint32_t LineCapacity = PathCapacity + 32;

// For its lifetime, what the removal rule takes away waits in the installation's journal, so that a
// failure puts it back.
class JournaledRemovals {
public:
    explicit JournaledRemovals(InstallJournal& journal) : keeper_{SetAside, KeepTree, &journal} {
        KeepRemovalsWith(&keeper_);
    }
    ~JournaledRemovals() { KeepRemovalsWith(nullptr); }
    JournaledRemovals(const JournaledRemovals&) = delete;
    JournaledRemovals& operator=(const JournaledRemovals&) = delete;

private:
    static bool SetAside(void* journal, const wchar_t* path) {
        return SetFileAside(*static_cast<InstallJournal*>(journal), path);
    }
    static bool KeepTree(void* journal, const wchar_t* keyPath) {
        return RememberKeyTree(*static_cast<InstallJournal*>(journal), keyPath);
    }
    RemovalKeeper keeper_;
};

bool IsSameFolderOnDisk(const wchar_t* a, const wchar_t* b);
bool ReadFolderIdentity(const wchar_t* folder, BY_HANDLE_FILE_INFORMATION* identity);
void ReportRemoval(SetupState& setup, const wchar_t* path, RemovalOutcome outcome);
RemovalOutcome RemoveNamedComponent(SetupState& setup, const Installation& installation, uint32_t component);
RemovalOutcome RemoveNamedFile(SetupState& setup, const wchar_t* path);
bool IsPresent(const wchar_t* path);

}  // namespace

bool IsReplacingInPlace(const SetupState& setup) {
    const wchar_t* installed = setup.Installed.Folder;
    return setup.Installed.Relation != NothingInstalled &&
           (SamePath(installed, setup.InstallFolder) || IsSameFolderOnDisk(installed, setup.InstallFolder));
}

bool IsMovingInstallation(const SetupState& setup) {
    return setup.Installed.Relation != NothingInstalled && !IsReplacingInPlace(setup);
}

void RemoveUnchosenComponent(SetupState& setup, uint32_t component) {
    Installation installation;
    if (ComposeInstallation(setup.InstallFolder, &installation) != 0) {
        JournaledRemovals journaled(setup.Journal);
        static_cast<void>(RemoveNamedComponent(setup, installation, component));
    }
}

void RemoveEarlierInstallation(SetupState& setup) {
    Installation earlier;
    if (ComposeInstallation(setup.Installed.Folder, &earlier) == 0) {
        return;
    }
    JournaledRemovals journaled(setup.Journal);
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        if ((setup.Installed.Components & (1u << component)) != 0) {
            static_cast<void>(RemoveNamedComponent(setup, earlier, component));
        }
    }
    static_cast<void>(RemoveNamedFile(setup, earlier.Program));
}

void RemoveEarlierFolder(SetupState& setup) {
    Installation earlier;
    if (ComposeInstallation(setup.Installed.Folder, &earlier) == 0) {
        return;
    }
    const RemovalOutcome leftovers = RemoveLeftoverFiles(earlier);
    // A folder that still holds someone's files stays, as the uninstaller leaves it.
    wchar_t folder[PathCapacity];
    CopyText(folder, PathCapacity, earlier.Folder);
    folder[BoundedLength(folder, PathCapacity) - 1] = L'\0';
    if (IsPresent(folder)) {
        const RemovalOutcome removed = RemoveFolderWhenEmpty(folder, leftovers);
        if (removed != Removed || !IsPresent(folder)) {
            ReportRemoval(setup, earlier.Folder, removed);
        }
    }
}

uint32_t ComponentsInPlace(const SetupState& setup) {
    const uint32_t installedHere = IsReplacingInPlace(setup) ? setup.Installed.Components : 0;
    return ComponentsInFolder(setup.InstallFolder) & (setup.ChosenComponents | installedHere);
}

namespace {

// Named by its program, when that was there to remove or stays.
RemovalOutcome RemoveNamedComponent(SetupState& setup, const Installation& installation, uint32_t component) {
    wchar_t program[PathCapacity];
    const bool named = ComposeComponentPath(installation, component, program) != 0;
    const bool present = named && IsPresent(program);
    RemovalOutcome outcome = RemoveComponent(installation, component);
    if (named && (present || outcome != Removed)) {
        ReportRemoval(setup, program, outcome);
    }
    if (outcome == LeftBehind) {
        CountFailedRemoval(setup);
    }
    return outcome;
}

RemovalOutcome RemoveNamedFile(SetupState& setup, const wchar_t* path) {
    const bool present = IsPresent(path);
    RemovalOutcome outcome = RemoveFileNowOrAtRestart(path);
    if (present || outcome != Removed) {
        ReportRemoval(setup, path, outcome);
    }
    if (outcome == LeftBehind) {
        CountFailedRemoval(setup);
    }
    return outcome;
}

bool IsPresent(const wchar_t* path) {
    return ::GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// However the two paths spell it (a short name, a link): taking this installation's own folder for an
// earlier one elsewhere would delete the programs it has just written.
bool IsSameFolderOnDisk(const wchar_t* a, const wchar_t* b) {
    BY_HANDLE_FILE_INFORMATION first;
    BY_HANDLE_FILE_INFORMATION second;
    return ReadFolderIdentity(a, &first) && ReadFolderIdentity(b, &second) &&
           first.dwVolumeSerialNumber == second.dwVolumeSerialNumber && first.nFileIndexHigh == second.nFileIndexHigh &&
           first.nFileIndexLow == second.nFileIndexLow;
}

bool ReadFolderIdentity(const wchar_t* folder, BY_HANDLE_FILE_INFORMATION* identity) {
    HANDLE handle = ::CreateFileW(folder, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    const bool read = ::GetFileInformationByHandle(handle, identity) != FALSE;
    ::CloseHandle(handle);
    return read;
}

void ReportRemoval(SetupState& setup, const wchar_t* path, RemovalOutcome outcome) {
    wchar_t line[LineCapacity];
    CopyText(line, LineCapacity, outcome == Removed            ? RemovedLabel
                                 : outcome == RemovedAtRestart ? RemovedAtRestartLabel
                                                               : NotRemovedLabel);
    AppendText(line, LineCapacity, path);
    AddDetailsLine(setup, line);
}

}  // namespace
