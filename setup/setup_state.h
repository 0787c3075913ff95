#pragma once

#include "common/command_line.h"
#include "common/component_table.h"
#include "install/journal.h"
#include "setup/installed_pack.h"
#include "setup/payload_layout.h"
#include "common/paths.h"

#include <windows.h>

#include <cstdint>

enum InstallState : uint32_t {
    Idle = 0,
    Installing = 1,
    Finished = 2,
    Closing = 3,
};

// In a namespace, since the shell's headers declare an interface named Folder; the values stay plain
// numbers because they index PageWindows and step from page to page.
namespace WizardPage {
enum Value : uint32_t {
    License = 0,
    Components = 1,
    Folder = 2,
    Progress = 3,
};
}

constexpr uint32_t PageCount = 4;
constexpr uint32_t ScratchBytes = 512;
static_assert(LicenseShownBytes < ScratchBytes, "the license's copy ends in a NUL");

struct PayloadEntry {
    uint32_t Offset;
    uint32_t Size;
    FILETIME LastWriteTime;
};

// Owns the 4 MiB block that holds the decoded payload image for the whole run.
struct PayloadBuffer {
    uint8_t* Data;
    uint32_t Owned;
    uint32_t Capacity;
    uint32_t ElementSize;
    uint32_t Length;
    uint32_t Reserved;  // never set or read; kept so the record has its documented shape

    uint8_t* AllocatePayloadBuffer();
    void ReleasePayloadBuffer();
    // 0 when the file is in place; 16 when it could not be created or put in place, 17 when the write
    // failed; 18 when it was written whole but takes the place of a file in use only at the next restart.
    uint32_t WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time);
    // The same, and for a result other than 0 the Windows error of the call that failed in *error, taken
    // before any call made on the way out could replace it.
    uint32_t WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time,
                              DWORD* error);
};

// One buffer, three uses in turn: the license text, the space texts, registry key paths.
union ScratchBuffer {
    char Narrow[ScratchBytes];
    wchar_t Wide[ScratchBytes / sizeof(wchar_t)];
};

struct SetupState {
    HINSTANCE Instance;
    HWND FrameWindow;
    HWND PageWindows[PageCount];
    HWND DetailsList;
    HICON FrameIcon;
    const uint8_t* ResourceData;
    uint32_t ResourceSize;
    WizardPage::Value CurrentPage;
    InstallState State;
    uint32_t ErrorCount;
    uint32_t BytesRequired;
    uint32_t PendingStep;
    wchar_t InstallFolder[PathCapacity];
    wchar_t StartMenuFolder[PathCapacity];
    wchar_t BrowseBuffer[PathCapacity];
    PayloadEntry PayloadDirectory[PayloadEntryCount];
    PayloadBuffer Payload;
    ScratchBuffer Scratch;
    const wchar_t* ComponentTable[ComponentCount + 1];
    RunMode Mode;               // the wizard, /passive or /quiet
    uint32_t ChosenComponents;  // bit n: component n; taken once when the installation starts
    HANDLE Log;                 // the /log file, or null
    InstalledPack Installed;    // what the run found installed at its start
    InstallJournal Journal;     // what this installation changed, for its undo
    uint32_t RestartCount;      // files that take their place, or go, only at the next restart

    explicit SetupState(HINSTANCE instance);
    ~SetupState();
    SetupState(const SetupState&) = delete;
    SetupState& operator=(const SetupState&) = delete;

    uint32_t LoadPayload();
    void ShowPage(uint32_t page);
    void UpdateSpaceInfo();
    wchar_t* BuildRegistryPath(const wchar_t* c1, const wchar_t* c2 = nullptr, const wchar_t* c3 = nullptr,
                               const wchar_t* c4 = nullptr, const wchar_t* c5 = nullptr,
                               const wchar_t* c6 = nullptr);
};

// The one global: every dialog procedure and operation reaches the state through it.
extern SetupState* CurrentSetup;
