#include "install/details_list.h"

#include "common/bounded_text.h"
#include "common/run_log.h"

namespace {

constexpr const wchar_t* WriteFailedLine = L"ERROR: Write failed.";
constexpr const wchar_t* RemovalFailedLine = L"ERROR: Removal failed.";
constexpr wchar_t MachineKeyPrefix[] = L"HKLM\\";
// The prefix and the longest key path that Scratch holds, with its terminator.
constexpr uint32_t KeyLineCapacity = sizeof(MachineKeyPrefix) / sizeof(wchar_t) - 1 + ScratchBytes / sizeof(wchar_t);

}  // namespace

void AddDetailsLine(const SetupState& setup, const wchar_t* line) {
    if (setup.DetailsList != nullptr) {
        ::SendMessageW(setup.DetailsList, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    }
    WriteLogLine(setup.Log, line);
}

void CountFailedWrite(SetupState& setup, DWORD error) {
    AddDetailsLine(setup, WriteFailedLine);
    if (error != 0) {
        WriteLogError(setup.Log, error);
    }
    ++setup.ErrorCount;
}

void CountFailedRemoval(SetupState& setup) {
    AddDetailsLine(setup, RemovalFailedLine);
    ++setup.ErrorCount;
}

void CountFailedRegistryWrite(SetupState& setup, const wchar_t* keyPath) {
    const DWORD error = ::GetLastError();
    // The key path may live in Scratch, so the line is composed apart from it.
    wchar_t line[KeyLineCapacity];
    CopyText(line, KeyLineCapacity, MachineKeyPrefix);
    AppendText(line, KeyLineCapacity, keyPath);
    AddDetailsLine(setup, line);
    CountFailedWrite(setup, error);
}
