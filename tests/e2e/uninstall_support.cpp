#include "tests/e2e/uninstall_support.h"

#include "tests/e2e/machine_snapshot.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const wchar_t* const SessionManagerKey = L"System\\CurrentControlSet\\Control\\Session Manager";

}  // namespace

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

std::vector<std::wstring> PendingRemovals() {
    RegistryValue value = ReadMachineValue(SessionManagerKey, L"PendingFileRenameOperations");
    std::vector<std::wstring> paths;
    std::wstring all = value.Present ? value.Text() : L"";
    for (size_t start = 0; start < all.size();) {
        size_t end = std::min(all.find(L'\0', start), all.size());
        if (end > start) paths.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return paths;
}

void ExpectMachineAsBefore(const std::vector<std::wstring>& before) {
    std::vector<std::wstring> after;
    EXPECT_TRUE(WaitFor([&] { return (after = MachineSnapshot()) == before; }, 10000))
        << SnapshotDifference(before, after);
}
