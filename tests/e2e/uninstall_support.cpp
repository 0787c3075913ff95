#include "tests/e2e/uninstall_support.h"

#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"

std::wstring UninstallString() {
    return ReadMachineValue(UninstallEntryKey, L"UninstallString").Text();
}

bool UninstallRun::WaitForQuestion() {
    return WaitFor([&] { return (QuestionBox = Uninstaller.FindMessageBox()) != nullptr; });
}

void UninstallRun::Answer(WORD key) {
    PressKeys(QuestionBox, {key});
}

std::wstring UninstallRun::Result() {
    HWND box = nullptr;
    if (!WaitFor([&] { return (box = FindAnyMessageBox()) != nullptr && box != QuestionBox; })) {
        return L"<no message>";
    }
    std::wstring text = MessageBoxText(box);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(box, &owner);
    HANDLE process = ::OpenProcess(SYNCHRONIZE, FALSE, owner);
    PressKeys(box, {VK_RETURN});
    if (process != nullptr) {
        ::WaitForSingleObject(process, DefaultDeadlineMs);
        ::CloseHandle(process);
    }
    return text;
}
