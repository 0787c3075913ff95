#pragma once

#include "tests/support/shell_link.h"

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Reads what an installation left on the machine through the platform's own clients: the file
// system, the shell's link object, the registry in the 32-bit view, Wine's list of installed programs
// and the shell's document and verb handling.

bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>* bytes);
bool PathExists(const std::wstring& path);
uint64_t LastWriteTime(const std::wstring& path);  // 0 when the file cannot be read
// The platform's own Authenticode check of a file, WinVerifyTrust's generic action with no user
// interface and no revocation lookup: 0 for a valid signature, else the reason.
LONG TrustResult(const std::wstring& path);


struct RegistryValue {
    bool Present = false;
    DWORD Type = 0;
    std::vector<uint8_t> Data;
    std::wstring Text() const;  // the data as a string, without its terminator
    DWORD Number() const;
};
RegistryValue ReadMachineValue(const std::wstring& keyPath, const wchar_t* valueName);  // 32-bit view
bool MachineKeyExists(const std::wstring& keyPath);
bool WriteMachineText(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& text);

// Each line Wine's uninstaller prints for the list of installed programs.
std::vector<std::wstring> InstalledProgramsList();

// Opens a document or invokes a verb on a path through the shell, as Explorer would; returns the
// started process (to be closed by the caller) or null. A file class, when given, names the key
// whose verbs apply, as Explorer takes the verbs of "Directory" for a folder (Wine's shell would
// otherwise look only under "Folder").
HANDLE ShellOpen(const std::wstring& path, const wchar_t* verb, const wchar_t* fileClass = nullptr);
// A visible top-level window of any process with exactly this title, once it shows.
HWND WaitForWindowTitled(const std::wstring& title, DWORD deadlineMs);

std::wstring KnownFolder(int csidl);  // with no trailing backslash
std::wstring EnvironmentValue(const wchar_t* name);
