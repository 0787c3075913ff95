// The driver's entry: the scenarios as tests, or, on request, a printed walk through the default
// installation with a picture of every page (--walkthrough), its sequel through the uninstaller
// (--uninstall), or the installer's figures (--figures).
#include "tests/support/elapsed.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/uninstall_support.h"
#include "tests/support/window_picture.h"

#include <gtest/gtest.h>
#include <psapi.h>
#include <shlobj.h>

#include <cstdio>
#include <cstring>

namespace {

void ShowPage(const char* name, HWND page, std::initializer_list<int> controls) {
    std::printf("\n== %s page\n", name);
    for (int id : controls) {
        std::wstring text = ControlText(page, id);
        if (id == IDC_COMPONENT_FIRST || (id > IDC_COMPONENT_FIRST && id < IDC_COMPONENT_FIRST + 8)) {
            text = std::wstring(IsChecked(page, id) ? L"[x] " : L"[ ] ") + text;
        }
        std::printf("  %4d: %ls\n", id, text.c_str());
    }
}

void ListFolder(const std::wstring& folder, const wchar_t* pattern) {
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((folder + pattern).c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        SYSTEMTIME time = {};
        ::FileTimeToSystemTime(&found.ftLastWriteTime, &time);
        std::wstring target = ResolveLink(folder + found.cFileName);
        // To the 100 ns, the resolution the installer keeps a program's time with.
        uint64_t ticks = static_cast<uint64_t>(found.ftLastWriteTime.dwHighDateTime) << 32 |
                         found.ftLastWriteTime.dwLowDateTime;
        std::printf("  %-18ls %8lu bytes  %04u-%02u-%02u %02u:%02u:%02u.%07llu UTC%s%ls\n", found.cFileName,
                    found.nFileSizeLow, time.wYear, time.wMonth, time.wDay, time.wHour, time.wMinute, time.wSecond,
                    static_cast<unsigned long long>(ticks % 10000000), target.empty() ? "" : "  -> ", target.c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

// A maker's check of their own release: every installed program against the pack it came from, byte for
// byte and by its last-write time to the 100 ns, and the uninstaller against the one the build made.
bool ComparePrograms(const std::wstring& folder) {
    std::wstring pack = EnvironmentValue(L"KELVORIN_PACK_FOLDER");
    uint32_t installed = 0;
    uint32_t same = 0;
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        if (!PathExists(folder + ComponentNames[n] + L".exe")) continue;
        ++installed;
        std::wstring difference = ProgramDifference(folder, n);
        if (difference.empty()) {
            ++same;
        } else {
            std::printf("  %ls\n", difference.c_str());
        }
    }
    std::vector<uint8_t> uninstaller, built;
    bool uninstallerSame = ReadFileBytes(folder + L"uninstall.exe", &uninstaller) &&
                           ReadFileBytes(UninstallerBody(), &built) && uninstaller == built;
    bool checked = installed > 0 && same == installed && uninstallerSame;
    std::printf("%s: %u of %u installed programs are byte for byte those of %ls, with their last-write times to "
                "the 100 ns; the uninstaller is %s\n",
                checked ? "Release checked" : "RELEASE DIFFERS", same, installed,
                pack.empty() ? L"the built-in pack" : pack.c_str(),
                uninstallerSame ? "the build's own" : "NOT the build's own");
    return checked;
}

void PrintValues(const std::wstring& folder) {
    std::wstring shownKey;
    for (const RecordedValue& expected : PackRegistryValues(folder)) {
        RegistryValue value = ReadMachineValue(expected.Key, expected.ApiName());
        if (!value.Present) continue;
        if (expected.Key != shownKey) std::printf("  HKLM\\%ls\n", expected.Key.c_str());
        shownKey = expected.Key;
        const wchar_t* name = expected.Name.empty() ? L"(default)" : expected.Name.c_str();
        if (value.Type == REG_DWORD) {
            std::printf("    %-20ls REG_DWORD %lu\n", name, value.Number());
        } else {
            std::printf("    %-20ls REG_SZ    %ls\n", name, value.Text().c_str());
        }
    }
}

// How many of a full installation's values are still on the machine.
size_t ValuesLeft(const std::wstring& folder) {
    size_t left = 0;
    for (const RecordedValue& expected : PackRegistryValues(folder)) {
        left += ReadMachineValue(expected.Key, expected.ApiName()).Present ? 1 : 0;
    }
    return left;
}

int Walkthrough() {
    Wizard wizard;
    if (!wizard.ReachLicense()) return 1;
    ShowPage("License", wizard.Page, {IDC_LICENSE_INTRO, IDC_LICENSE_TEXT, IDOK, IDCANCEL});
    SaveScreenshot(wizard.Frame, L"1-license");
    if (!wizard.Agree()) return 1;
    ShowPage("Components", wizard.Page,
             {IDC_COMPONENTS_INTRO, IDC_COMPONENT_FIRST, IDC_COMPONENT_FIRST + 1, IDC_COMPONENT_FIRST + 2,
              IDC_COMPONENT_FIRST + 3, IDC_COMPONENT_FIRST + 4, IDC_COMPONENT_FIRST + 5, IDC_COMPONENT_FIRST + 6,
              IDC_COMPONENT_FIRST + 7, IDOK, IDC_BACK, IDCANCEL});
    SaveScreenshot(wizard.Frame, L"2-components");
    if (!wizard.Next()) return 1;
    ShowPage("Folder", wizard.Page,
             {IDC_FOLDER_INTRO, IDC_DESTINATION_GROUP, IDC_FOLDER_TEXT, IDC_BROWSE, IDC_SPACE_REQUIRED,
              IDC_SPACE_AVAILABLE, IDOK, IDC_BACK, IDCANCEL});
    SaveScreenshot(wizard.Frame, L"3-folder");
    if (!wizard.Install() || !wizard.WaitForResult()) return 1;
    wizard.ShowDetails();
    ShowPage("Progress", wizard.Page, {IDC_STATUS_TEXT, IDOK});
    std::printf("  bar at %d\n", ProgressPosition(wizard.Page, IDC_PROGRESS_BAR));
    for (const std::wstring& line : ListLines(wizard.Page, IDC_DETAILS_LIST)) std::printf("  | %ls\n", line.c_str());
    SaveScreenshot(wizard.Frame, L"4-progress");
    wizard.Close();
    std::printf("\nThe installer ended with exit code %lu.\n", wizard.Installer.WaitForExit());

    std::wstring folder = ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text();
    std::printf("\n== What the installation left\n%ls\n", folder.c_str());
    ListFolder(folder, L"*");
    bool checked = ComparePrograms(folder);
    std::printf("%ls\n", StartMenuFolder().c_str());
    ListFolder(StartMenuFolder(), L"*.lnk");
    PrintValues(folder);
    return checked ? 0 : 1;
}

// The sequel of the walk-through: the uninstaller started as the list of installed programs starts
// it, answered Yes, and what is left of the pack afterwards.
int UninstallWalkthrough() {
    std::wstring command = UninstallString();
    std::wstring folder = ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text();
    if (command.empty()) {
        std::printf("The pack is not in the list of installed programs of this prefix.\n");
        return 1;
    }
    std::printf("\n== Uninstall\n  %ls\n", command.c_str());
    UninstallRun run(command);
    if (!run.WaitForQuestion()) return 1;
    std::printf("  asks: %ls\n", MessageBoxText(run.QuestionBox).c_str());
    SaveScreenshot(run.QuestionBox, L"5-uninstall");
    run.Answer('Y');
    std::printf("  says: %ls\n", run.Result().c_str());
    std::printf("\nThe uninstaller ended with exit code %lu.\n", run.Uninstaller.WaitForExit());

    std::printf("\n== What is left of the pack\n");
    std::printf("  %ls: %s\n", folder.c_str(), PathExists(folder) ? "still there" : "gone");
    std::printf("  %ls: %s\n", StartMenuFolder().c_str(), PathExists(StartMenuFolder()) ? "still there" : "gone");
    std::printf("  registry values of the installation still there: %zu of %zu\n", ValuesLeft(folder),
                PackRegistryValues(folder).size());
    return 0;
}

int Figures() {
    LARGE_INTEGER started, licenseShown, installPressed, resultShown;
    ::QueryPerformanceCounter(&started);
    Wizard wizard;
    if (!wizard.ReachLicense()) return 1;
    ::QueryPerformanceCounter(&licenseShown);
    if (!wizard.Agree() || !wizard.Next()) return 1;
    ::QueryPerformanceCounter(&installPressed);
    if (!wizard.Install() || !wizard.WaitForResult()) return 1;
    ::QueryPerformanceCounter(&resultShown);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(wizard.Installer.Handle(), &memory, sizeof(memory));
    wizard.Close();
    wizard.Installer.WaitForExit();
    // The same installation as a deployment tool runs it, into a folder of its own.
    LARGE_INTEGER quietStarted, quietEnded;
    ::QueryPerformanceCounter(&quietStarted);
    InstallerProcess quiet(InstallerPath(), L"\"" + InstallerPath() + L"\" /quiet /dir=C:\\QuietFigures");
    DWORD quietCode = quiet.WaitForExit();
    ::QueryPerformanceCounter(&quietEnded);
    if (quietCode != 0) return 1;
    std::vector<uint8_t> installer, payload;
    ReadFileBytes(InstallerPath(), &installer);
    ReadFileBytes(EnvironmentValue(L"KELVORIN_PAYLOAD_RESOURCE"), &payload);
    std::printf("Process start to the License page shown: %.0f ms\n", Milliseconds(started, licenseShown));
    std::printf("\"&Install\" to the result text: %.0f ms\n", Milliseconds(installPressed, resultShown));
    std::printf("/quiet installation, process start to exit: %.0f ms\n", Milliseconds(quietStarted, quietEnded));
    std::printf("Installer's peak working set: %lu KiB\n", static_cast<unsigned long>(memory.PeakWorkingSetSize >> 10));
    std::printf("Installer size: %zu bytes; compressed payload %zu bytes; overhead %zu bytes\n", installer.size(),
                payload.size(), installer.size() - payload.size());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int result = 0;
    if (argc > 1 && std::strcmp(argv[1], "--walkthrough") == 0) {
        result = Walkthrough();
    } else if (argc > 1 && std::strcmp(argv[1], "--uninstall") == 0) {
        result = UninstallWalkthrough();
    } else if (argc > 1 && std::strcmp(argv[1], "--figures") == 0) {
        result = Figures();
    } else {
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    ::CoUninitialize();
    return result;
}
