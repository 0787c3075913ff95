#include "install/journal.h"

#include "common/bounded_text.h"
#include "install/file_writer.h"
#include "install/programs_in_use.h"
#include "install/registry.h"
#include "removal/registry_keys.h"
#include "common/temporary_name.h"

namespace {

constexpr DWORD MoveInPlace = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;

JournalRecord* NextRecord(InstallJournal& journal, JournalOperation operation);
const JournalRecord* FindFileRecord(const InstallJournal& journal, const wchar_t* path);
bool IsValueJournaled(const InstallJournal& journal, const wchar_t* keyPath, const wchar_t* valueName);
bool RecordPlace(InstallJournal& journal, const wchar_t* path, bool earlierFile);
bool MoveAside(const wchar_t* path, wchar_t* aside);
uint32_t ExistingKeyLength(const wchar_t* keyPath);
uint32_t ExistingFolderLength(const wchar_t* path);
uint32_t UndoFile(const JournalRecord& record);
uint32_t RemoveCreatedFolders(const FileRecord& folders);
uint32_t UndoValue(const ValueRecord& value);
void CutAtLastSeparator(wchar_t* path, uint32_t* length);

}  // namespace

void ClearJournal(InstallJournal& journal) {
    journal.Count = 0;
    journal.ListedCount = 0;
}

PlaceResult PlaceFile(InstallJournal& journal, const wchar_t* temporary, const wchar_t* path) {
    const bool earlierFile = IsFileInPlace(path);
    const JournalRecord* earlier = FindFileRecord(journal, path);
    if (earlier != nullptr && earlier->Operation == FileReplacedAtRestart) {
        // Still in use: the newer file takes the name the restart moves into place.
        return ::MoveFileExW(temporary, earlier->File.Aside, MoveInPlace) ? PlacedAtRestart : NotPlaced;
    }
    if (earlier != nullptr || IsExistingFolder(path)) {
        // This run's own file, or a folder, which the move refuses as it should.
        return FileWriterSeams::MoveFileExCall(temporary, path, MoveInPlace) ? PlacedNow : NotPlaced;
    }
    JournalRecord* record = NextRecord(journal, earlierFile ? FileReplaced : FileAdded);
    if (record == nullptr || !CopyText(record->File.Path, PathCapacity, path)) {
        return NotPlaced;
    }
    if (earlierFile && !MoveAside(path, record->File.Aside)) {
        const DWORD error = ::GetLastError();
        if (!IsInUseError(error)) {
            return NotPlaced;
        }
        // Held open without sharing: the system moves the new file over it before anything can open
        // it again at the next restart.
        if (!CopyText(record->File.Aside, PathCapacity, temporary) ||
            !::MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_DELAY_UNTIL_REBOOT)) {
            return NotPlaced;
        }
        record->Operation = FileReplacedAtRestart;
        ++journal.Count;
        return PlacedAtRestart;
    }
    if (!FileWriterSeams::MoveFileExCall(temporary, path, MoveInPlace)) {
        const DWORD error = ::GetLastError();
        if (earlierFile) {
            static_cast<void>(::MoveFileExW(record->File.Aside, path, MOVEFILE_REPLACE_EXISTING));
        }
        ::SetLastError(error);
        return NotPlaced;
    }
    ++journal.Count;
    return PlacedNow;
}

bool ClearPlaceForFile(InstallJournal& journal, const wchar_t* path) {
    if (FindFileRecord(journal, path) != nullptr || IsExistingFolder(path)) {
        return true;  // the writer replaces this run's own file, or fails on the folder by itself
    }
    return RecordPlace(journal, path, IsFileInPlace(path));
}

bool SetFileAside(InstallJournal& journal, const wchar_t* path) {
    return IsFileInPlace(path) && FindFileRecord(journal, path) == nullptr && RecordPlace(journal, path, true);
}

uint32_t CreateJournaledFolders(InstallJournal& journal, const wchar_t* path) {
    const uint32_t existing = ExistingFolderLength(path);
    if (existing == BoundedLength(path, PathCapacity)) {
        return 1;
    }
    JournalRecord* record = NextRecord(journal, FoldersCreated);
    if (record == nullptr || !CopyText(record->File.Path, PathCapacity, path)) {
        return 0;
    }
    const uint32_t made = CreateDirectoryChain(path);
    // Recorded when anything was made, even part of the chain: undo removes what is there and empty.
    if (ExistingFolderLength(path) > existing) {
        record->File.ExistingLength = existing;
        ++journal.Count;
    }
    return made;
}

bool RememberValue(InstallJournal& journal, const wchar_t* keyPath, const wchar_t* valueName) {
    const wchar_t* name = valueName != nullptr ? valueName : L"";
    if (IsValueJournaled(journal, keyPath, name)) {
        return true;
    }
    JournalRecord* record = NextRecord(journal, ValueWritten);
    if (record == nullptr) {
        return false;
    }
    ValueRecord& value = record->Value;
    if (!CopyText(value.KeyPath, KeyPathCapacity, keyPath) || !CopyText(value.Name, ValueNameCapacity, name)) {
        ::SetLastError(ERROR_FILENAME_EXCED_RANGE);
        return false;
    }
    value.ExistingLength = ExistingKeyLength(keyPath);
    value.EarlierSize = EarlierDataCapacity;
    const LONG status = ReadRegistryValue(keyPath, valueName, &value.EarlierType, value.EarlierData, &value.EarlierSize);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
        // Data that cannot be kept would be lost for good: the value is left as it is.
        ::SetLastError(static_cast<DWORD>(status));
        return false;
    }
    value.Existed = status == ERROR_SUCCESS ? 1 : 0;
    ++journal.Count;
    return true;
}

bool RememberKeyTree(InstallJournal& journal, const wchar_t* keyPath) {
    HKEY key = nullptr;
    LONG status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS, &key);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    bool kept = status == ERROR_SUCCESS;
    for (DWORD index = 0; kept; ++index) {
        wchar_t name[ValueNameCapacity];
        DWORD length = ValueNameCapacity;
        status = ::RegEnumValueW(key, index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        kept = status == ERROR_SUCCESS && RememberValue(journal, keyPath, name);
    }
    wchar_t subkey[KeyPathCapacity];
    const uint32_t prefix = CopyText(subkey, KeyPathCapacity, keyPath) & AppendText(subkey, KeyPathCapacity, L"\\");
    const uint32_t start = BoundedLength(subkey, KeyPathCapacity);
    for (DWORD index = 0; kept; ++index) {
        DWORD length = KeyPathCapacity - start;
        status = prefix ? ::RegEnumKeyExW(key, index, subkey + start, &length, nullptr, nullptr, nullptr, nullptr)
                        : ERROR_FILENAME_EXCED_RANGE;
        if (status == ERROR_NO_MORE_ITEMS) {
            break;
        }
        kept = status == ERROR_SUCCESS && RememberKeyTree(journal, subkey);
    }
    if (key != nullptr) {
        static_cast<void>(::RegCloseKey(key));
    }
    if (status != ERROR_SUCCESS && status != ERROR_NO_MORE_ITEMS) {
        ::SetLastError(static_cast<DWORD>(status));
    }
    return kept;
}

uint32_t UndoLastRecord(InstallJournal& journal) {
    if (journal.Count == 0) {
        return 1;
    }
    const JournalRecord& record = journal.Records[--journal.Count];
    if (journal.ListedCount > journal.Count) {
        journal.ListedCount = journal.Count;
    }
    return record.Operation == ValueWritten ? UndoValue(record.Value) : UndoFile(record);
}

PlaceResult FinishRecord(const JournalRecord& record) {
    if (record.Operation != FileReplaced) {
        return PlacedNow;
    }
    const wchar_t* aside = record.File.Aside;
    // A program of an earlier installation may carry the read-only attribute; it is the installer's own.
    static_cast<void>(::SetFileAttributesW(aside, FILE_ATTRIBUTE_NORMAL));
    if (::DeleteFileW(aside) || ::GetLastError() == ERROR_FILE_NOT_FOUND) {
        return PlacedNow;
    }
    return ::MoveFileExW(aside, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT) ? PlacedAtRestart : NotPlaced;
}

namespace {

// The record to fill in; it counts once the change it describes has been made. Null when the journal
// is full: the change must then not be made.
JournalRecord* NextRecord(InstallJournal& journal, JournalOperation operation) {
    if (journal.Count == JournalCapacity) {
        ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    JournalRecord* record = &journal.Records[journal.Count];
    ::ZeroMemory(record, sizeof(*record));
    record->Operation = operation;
    return record;
}

// This run's record of the file, or null. Paths are compared as Windows compares names: the install
// folder may be given in any case.
const JournalRecord* FindFileRecord(const InstallJournal& journal, const wchar_t* path) {
    for (uint32_t i = 0; i < journal.Count; ++i) {
        const JournalRecord& record = journal.Records[i];
        if (record.Operation != ValueWritten && record.Operation != FoldersCreated &&
            ::lstrcmpiW(record.File.Path, path) == 0) {
            return &record;
        }
    }
    return nullptr;
}

bool IsValueJournaled(const InstallJournal& journal, const wchar_t* keyPath, const wchar_t* valueName) {
    for (uint32_t i = 0; i < journal.Count; ++i) {
        const JournalRecord& record = journal.Records[i];
        if (record.Operation == ValueWritten && ::lstrcmpiW(record.Value.KeyPath, keyPath) == 0 &&
            ::lstrcmpiW(record.Value.Name, valueName) == 0) {
            return true;
        }
    }
    return false;
}

// The path as added, or with its earlier file renamed aside as replaced. False, with nothing changed,
// when that cannot be.
bool RecordPlace(InstallJournal& journal, const wchar_t* path, bool earlierFile) {
    JournalRecord* record = NextRecord(journal, earlierFile ? FileReplaced : FileAdded);
    if (record == nullptr || !CopyText(record->File.Path, PathCapacity, path) ||
        (earlierFile && !MoveAside(path, record->File.Aside))) {
        return false;
    }
    ++journal.Count;
    return true;
}

// Renames the file to a free temporary name in its folder: a rename, not a copy, so it costs no space
// and works on a running program. Aside holds PathCapacity characters.
bool MoveAside(const wchar_t* path, wchar_t* aside) {
    struct Move {
        const wchar_t* Path;
        bool Moved;
    } move = {path, false};
    ::SetLastError(ERROR_FILENAME_EXCED_RANGE);  // stays when no name fits beside the path
    TryTemporaryNamesBeside(path, aside, PathCapacity, [](const wchar_t* candidate, void* context) {
        Move& move = *static_cast<Move*>(context);
        move.Moved = ::MoveFileExW(move.Path, candidate, 0) != FALSE;
        const DWORD error = ::GetLastError();
        // Another name cures a name taken, not a file in use.
        return move.Moved || (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS);
    }, &move);
    return move.Moved;
}

// The length of the key path up to its deepest key that exists.
uint32_t ExistingKeyLength(const wchar_t* keyPath) {
    wchar_t probe[KeyPathCapacity];
    CopyText(probe, KeyPathCapacity, keyPath);
    uint32_t length = BoundedLength(probe, KeyPathCapacity);
    while (length > 0 && !KeyExists(probe)) {
        CutAtLastSeparator(probe, &length);
    }
    return length;
}

// The length of the folder path (ending in a separator) up to its deepest folder that exists.
uint32_t ExistingFolderLength(const wchar_t* path) {
    wchar_t probe[PathCapacity];
    CopyText(probe, PathCapacity, path);
    while (!IsExistingFolder(probe)) {
        if (CutToParentFolder(probe) == 0) {
            return 0;
        }
    }
    return BoundedLength(probe, PathCapacity);
}

uint32_t UndoFile(const JournalRecord& record) {
    const FileRecord& file = record.File;
    switch (record.Operation) {
    case FileAdded:
        return ::DeleteFileW(file.Path) || ::GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 0;
    case FileReplaced:
        return ::MoveFileExW(file.Aside, file.Path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 1 : 0;
    case FileReplacedAtRestart:
        // Without its source, the rename the system would make at the restart does nothing.
        return ::DeleteFileW(file.Aside) || ::GetLastError() == ERROR_FILE_NOT_FOUND ? 1 : 0;
    default:
        return RemoveCreatedFolders(file);
    }
}

// Innermost first, each only while it is empty: a folder that holds anyone's file stays.
uint32_t RemoveCreatedFolders(const FileRecord& folders) {
    wchar_t folder[PathCapacity];
    CopyText(folder, PathCapacity, folders.Path);
    uint32_t length = BoundedLength(folder, PathCapacity);
    while (length > folders.ExistingLength) {
        folder[--length] = L'\0';
        if (!::RemoveDirectoryW(folder)) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_DIR_NOT_EMPTY) {
                return 1;
            }
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) {
                return 0;
            }
        }
        CutAtLastSeparator(folder, &length);
        folder[length++] = L'\\';
        folder[length] = L'\0';
    }
    return 1;
}

uint32_t UndoValue(const ValueRecord& value) {
    const wchar_t* name = value.Name[0] != L'\0' ? value.Name : nullptr;
    if (value.Existed) {
        return WriteRegistryValue(value.KeyPath, name, value.EarlierType, value.EarlierData, value.EarlierSize);
    }
    if (!DeleteKeyValue(value.KeyPath, name)) {
        return 0;
    }
    // The keys this value's write created go with it, once nothing else is in them.
    wchar_t key[KeyPathCapacity];
    CopyText(key, KeyPathCapacity, value.KeyPath);
    uint32_t length = BoundedLength(key, KeyPathCapacity);
    while (length > value.ExistingLength) {
        if (!DeleteKeyWhenEmpty(key)) {
            return 0;
        }
        CutAtLastSeparator(key, &length);
    }
    return 1;
}

// Cuts the path at its last separator, which is removed too; an empty path when it has none.
void CutAtLastSeparator(wchar_t* path, uint32_t* length) {
    while (*length > 0 && path[*length - 1] != L'\\') {
        --*length;
    }
    if (*length > 0) {
        --*length;
    }
    path[*length] = L'\0';
}

}  // namespace
