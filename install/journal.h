#pragma once

#include "common/paths.h"

#include <windows.h>

#include <cstdint>

// What an installation changed on the machine, in the order it changed it, so that a failure can put
// everything back in reverse order. Each record is fixed-size: a path or key and whatever the change
// replaced, an earlier file waiting beside its successor under a temporary name of the installer's own,
// or a registry value's earlier data. The journal lives in memory only: a kill cannot undo, and what it
// leaves (files of the installer's own) is finished by the next run or the uninstaller.

enum JournalOperation : uint32_t {
    FileAdded = 0,              // nothing was at Path; undo deletes it
    FileReplaced = 1,           // the earlier file waits at Aside; undo moves it back
    FileReplacedAtRestart = 2,  // the earlier file was in use; the new one waits at Aside for the restart
    FoldersCreated = 3,         // the folders of Path below its first ExistingLength characters were made
    ValueWritten = 4,           // the value had the earlier data, or none; undo writes or deletes it
};
// A removal needs no operation of its own: a file taken away is a FileReplaced with nothing put in its
// place, a value taken away a ValueWritten whose new data is none.

constexpr uint32_t KeyPathCapacity = 256;      // what BuildRegistryPath composes, terminator included
constexpr uint32_t ValueNameCapacity = 64;     // the longest value name written, with room to spare
constexpr uint32_t EarlierDataCapacity = 1024;  // an earlier value larger than this is not overwritten
constexpr uint32_t JournalCapacity = 128;      // a full installation needs about fifty records

struct FileRecord {
    wchar_t Path[PathCapacity];
    wchar_t Aside[PathCapacity];
    uint32_t ExistingLength;  // FoldersCreated: the characters of Path that were there before
};

struct ValueRecord {
    wchar_t KeyPath[KeyPathCapacity];
    wchar_t Name[ValueNameCapacity];  // empty for the key's default value
    uint32_t ExistingLength;          // the characters of KeyPath whose key was there before
    uint32_t Existed;                 // 1 when the value was there, with EarlierType and EarlierData
    DWORD EarlierType;
    DWORD EarlierSize;
    BYTE EarlierData[EarlierDataCapacity];
};

struct JournalRecord {
    JournalOperation Operation;
    union {
        FileRecord File;
        ValueRecord Value;
    };
};

struct InstallJournal {
    JournalRecord Records[JournalCapacity];
    uint32_t Count;
    uint32_t ListedCount;  // the records that list the installation: the uninstaller and its entry
};

// What happened to a file that was put in place: now, or only at the next restart.
enum PlaceResult : uint32_t {
    PlacedNow = 0,
    PlacedAtRestart = 1,
    NotPlaced = 2,  // the Windows error is the thread's last one
};

void ClearJournal(InstallJournal& journal);

// Moves the complete temporary file to the path. An earlier file there is renamed aside first (a
// rename, so a running program can go too) and recorded; one that cannot even be renamed (held open
// without sharing) stays, and the temporary file takes its place at the next restart. A folder at
// the path is never moved. A path this run already journaled is replaced outright: nothing earlier of
// this run needs keeping.
PlaceResult PlaceFile(InstallJournal& journal, const wchar_t* temporary, const wchar_t* path);

// Before a file is created in place at the path by a writer of its own (the shell's link object): an
// earlier file is renamed aside and recorded. False, with nothing changed, when it cannot be.
bool ClearPlaceForFile(InstallJournal& journal, const wchar_t* path);

// A file a removal takes away, renamed aside and recorded so that undo can put it back: true when it
// is no longer at its path. False, with nothing changed, for a path that is no file, one this run wrote,
// or one that cannot be renamed.
bool SetFileAside(InstallJournal& journal, const wchar_t* path);

// Creates every missing folder along the path and records the first one it made. As
// CreateDirectoryChain: 1 when every folder is there.
uint32_t CreateJournaledFolders(InstallJournal& journal, const wchar_t* path);

// Remembers a value's earlier data before it is written; a value this run already remembered is not
// remembered again. False, with the last error set, when it cannot be remembered (the journal is
// full, or the earlier data too large): the value must then not be written.
bool RememberValue(InstallJournal& journal, const wchar_t* keyPath, const wchar_t* valueName);

// Remembers every value under the key and its subkeys before the tree is deleted. False, with the last
// error set, when any cannot be remembered: the tree must then not be deleted.
bool RememberKeyTree(InstallJournal& journal, const wchar_t* keyPath);

// The most recent record, which undo takes first, put back: 1 when the machine is as it was before
// that change, 0 when it could not be (the last error says why). The record is taken off the journal.
uint32_t UndoLastRecord(InstallJournal& journal);

// Once the installation has succeeded: an earlier file waiting aside is deleted, or deleted at the next
// restart when it is in use (a running program renamed aside). PlacedAtRestart for that case.
PlaceResult FinishRecord(const JournalRecord& record);
