#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

namespace {

const wchar_t* const UninstallKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin";

std::vector<std::wstring> ExpectedDetails(const std::wstring& folder, bool allComponents) {
    std::vector<std::wstring> lines;
    for (const PackProgram& program : PackPrograms) {
        lines.push_back(folder + program.Name + L".exe");
        lines.push_back(StartMenuFolder() + program.Name + L".lnk");
        if (!allComponents) break;
    }
    lines.push_back(folder + L"uninstall.exe");
    return lines;
}

void ExpectBodiesInstalled(const std::wstring& folder) {
    for (const PackProgram& program : PackPrograms) {
        std::wstring installed = folder + program.Name + L".exe";
        std::vector<uint8_t> expected, actual;
        ASSERT_TRUE(ReadFileBytes(PackBody((std::wstring(program.Name) + L".exe").c_str()), &expected));
        ASSERT_TRUE(ReadFileBytes(installed, &actual)) << installed.c_str();
        EXPECT_TRUE(expected == actual) << "bytes of " << installed.c_str();
        EXPECT_EQ(program.Time, LastWriteTime(installed)) << installed.c_str();
        EXPECT_EQ(installed, ResolveLink(StartMenuFolder() + program.Name + L".lnk"));
    }
    std::vector<uint8_t> expected, actual;
    ASSERT_TRUE(ReadFileBytes(PackBody(L"uninstall.exe"), &expected));
    ASSERT_TRUE(ReadFileBytes(folder + L"uninstall.exe", &actual));
    EXPECT_TRUE(expected == actual) << "bytes of the uninstaller";
}

void ExpectDocumentOpensIn(const std::wstring& extension, const std::wstring& program) {
    std::wstring document = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\sample" + extension;
    HANDLE file = ::CreateFileW(document.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    HANDLE started = ShellOpen(document, nullptr);
    ASSERT_NE(nullptr, started) << "no program opened " << document.c_str();
    HWND window = WaitForWindowTitled(program + L" - " + document, DefaultDeadlineMs);
    EXPECT_NE(nullptr, window) << "no window titled " << (program + L" - " + document).c_str();
    ::TerminateProcess(started, 0);
    ::CloseHandle(started);
}

TEST(Scenario, DefaultInstallation) {
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    std::vector<uint8_t> license;
    ASSERT_TRUE(ReadFileBytes(PackBody(L"license.txt"), &license));
    EXPECT_EQ(std::string(license.begin(), license.end()), [&] {
        std::wstring text = ControlText(wizard.Page, LicenseText);
        return std::string(text.begin(), text.end());
    }());
    EXPECT_EQ(L"Please review the license agreement before installing Kelvorin App Pack. If you accept all terms "
              L"of the agreement, click I Agree.",
              ControlText(wizard.Page, 1000));

    ASSERT_TRUE(wizard.Agree());
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(PackPrograms[n].Name, ControlText(wizard.Page, FirstCheckbox + n));
        EXPECT_TRUE(IsChecked(wizard.Page, FirstCheckbox + n)) << n;
    }

    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(DefaultInstallFolder(), ControlText(wizard.Page, FolderText));
    EXPECT_EQ(L"C:\\Program Files (x86)\\Kelvorin\\", ControlText(wizard.Page, FolderText));
    EXPECT_EQ(L"Space required:  3 MB", ControlText(wizard.Page, RequiredText));
    EXPECT_EQ(0u, ControlText(wizard.Page, AvailableText).rfind(L"Space available: ", 0));
    EXPECT_TRUE(IsEnabled(wizard.Page, ForwardButton));

    ASSERT_TRUE(wizard.Install());
    ASSERT_TRUE(wizard.WaitForResult());
    EXPECT_EQ(L"Installation completed successfully.", ControlText(wizard.Page, StatusText));
    EXPECT_EQ(100, ProgressPosition(wizard.Page, ProgressBar));
    EXPECT_FALSE(IsShown(wizard.Page, DetailsList));
    wizard.ShowDetails();
    EXPECT_TRUE(IsShown(wizard.Page, DetailsList));
    EXPECT_FALSE(IsShown(wizard.Page, DetailsButton));
    EXPECT_EQ(ExpectedDetails(DefaultInstallFolder(), true), ListLines(wizard.Page, DetailsList));
    wizard.Close();
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());

    ExpectBodiesInstalled(DefaultInstallFolder());
    EXPECT_EQ(DefaultInstallFolder(), ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    EXPECT_EQ(2112u, ReadMachineValue(UninstallKey, L"EstimatedSize").Number());
    EXPECT_EQ(L"\"" + DefaultInstallFolder() + L"uninstall.exe\"",
              ReadMachineValue(UninstallKey, L"UninstallString").Text());
    std::vector<std::wstring> programs = InstalledProgramsList();
    EXPECT_NE(programs.end(), std::find(programs.begin(), programs.end(), L"Kelvorin|||Kelvorin App Pack (32-bit)"));

    ExpectDocumentOpensIn(L".jtxt", L"Jottervale");
    ExpectDocumentOpensIn(L".cvn", L"Cryvane");
    ExpectDocumentOpensIn(L".pbr", L"Pebbrack");
    std::wstring music = KnownFolder(CSIDL_COMMON_MUSIC);
    HANDLE player = ShellOpen(music, L"Humbrewave");
    ASSERT_NE(nullptr, player) << "the folder verb did not start anything";
    EXPECT_NE(nullptr, WaitForWindowTitled(L"Humbrewave - " + music, DefaultDeadlineMs));
    ::TerminateProcess(player, 0);
    ::CloseHandle(player);
}

}  // namespace
