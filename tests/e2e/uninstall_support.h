#pragma once

#include "tests/e2e/installer_driver.h"

#include <string>
#include <vector>

// The uninstaller as the list of installed programs starts it, answered as a user answers it.

constexpr const wchar_t* RemoveQuestionText = L"Remove Kelvorin App Pack (32-bit) and all of its components?";

std::wstring UninstallString();  // the command the list of installed programs runs

// The paths the system is to act on at the next restart, in the form it keeps them ("\??\C:\...").
// Sources and targets alike; the empty target of a deletion is left out.
std::vector<std::wstring> PendingRemovals();

// Once the removal's copy has ended nothing of the pack may remain, the uninstaller's own file and the
// copy's included: waits for the machine to be as it was.
void ExpectMachineAsBefore(const std::vector<std::wstring>& before);

struct UninstallRun {
    explicit UninstallRun(const std::wstring& commandLine) : Uninstaller(L"", commandLine) {}
    InstallerProcess Uninstaller;
    HWND QuestionBox = nullptr;

    bool WaitForQuestion();  // false when no question came
    void Answer(WORD key);   // the key of its Yes or No button

    // The message with the result, whichever process shows it, closed with Enter; the process that
    // showed it has ended when this returns. "<no message>" when none came.
    std::wstring Result();
};
