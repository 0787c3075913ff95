#include "common/exit_code.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"
#include "tests/support/window_picture.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

std::vector<std::wstring> ExpectedDetails(const std::wstring& folder, bool allComponents) {
    std::vector<std::wstring> lines;
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        lines.push_back(folder + ComponentNames[n] + L".exe");
        lines.push_back(StartMenuFolder() + ComponentNames[n] + L".lnk");
        if (!allComponents) break;
    }
    lines.push_back(folder + L"uninstall.exe");
    return lines;
}

void ExpectPackRegistryValues(const std::wstring& folder) {
    std::vector<RecordedValue> values = PackRegistryValues(folder);
    EXPECT_EQ(34u, values.size());
    for (const RecordedValue& expected : values) {
        RegistryValue value = ReadMachineValue(expected.Key, expected.ApiName());
        std::wstring where = expected.Key + L" " + (expected.Name.empty() ? L"(default)" : expected.Name);
        ASSERT_TRUE(value.Present) << where.c_str();
        EXPECT_EQ(expected.Type, value.Type) << where.c_str();
        EXPECT_EQ(expected.Bytes, std::string(value.Data.begin(), value.Data.end())) << where.c_str();
    }
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
        std::wstring text = ControlText(wizard.Page, IDC_LICENSE_TEXT);
        return std::string(text.begin(), text.end());
    }());
    EXPECT_EQ(L"Please review the license agreement before installing Kelvorin App Pack. If you accept all terms "
              L"of the agreement, click I Agree.",
              ControlText(wizard.Page, IDC_LICENSE_INTRO));
    SaveScreenshot(wizard.Frame, L"page-license");

    ASSERT_TRUE(wizard.Agree());
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(ComponentNames[n], ControlText(wizard.Page, IDC_COMPONENT_FIRST + n));
        EXPECT_TRUE(IsChecked(wizard.Page, IDC_COMPONENT_FIRST + n)) << n;
    }
    SaveScreenshot(wizard.Frame, L"page-components");

    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(DefaultInstallFolder(), ControlText(wizard.Page, IDC_FOLDER_TEXT));
    EXPECT_EQ(L"C:\\Program Files (x86)\\Kelvorin\\", ControlText(wizard.Page, IDC_FOLDER_TEXT));
    EXPECT_EQ(SpaceRequiredText(PackBytesRequired()), ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    EXPECT_EQ(0u, ControlText(wizard.Page, IDC_SPACE_AVAILABLE).rfind(L"Space available: ", 0));
    EXPECT_TRUE(IsEnabled(wizard.Page, IDOK));
    SaveScreenshot(wizard.Frame, L"page-folder");

    ASSERT_TRUE(wizard.Install());
    ASSERT_TRUE(wizard.WaitForResult());
    EXPECT_EQ(L"Installation completed successfully.", ControlText(wizard.Page, IDC_STATUS_TEXT));
    EXPECT_EQ(100, ProgressPosition(wizard.Page, IDC_PROGRESS_BAR));
    EXPECT_FALSE(IsShown(wizard.Page, IDC_DETAILS_LIST));
    wizard.ShowDetails();
    EXPECT_TRUE(IsShown(wizard.Page, IDC_DETAILS_LIST));
    EXPECT_FALSE(IsShown(wizard.Page, IDC_SHOW_DETAILS));
    EXPECT_EQ(ExpectedDetails(DefaultInstallFolder(), true), ListLines(wizard.Page, IDC_DETAILS_LIST));
    SaveScreenshot(wizard.Frame, L"page-progress");
    wizard.Close();
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());

    ExpectBodiesInstalled(DefaultInstallFolder());
    EXPECT_EQ(ExpectedTrustResult(), TrustResult(InstallerPath()));
    EXPECT_EQ(ExpectedTrustResult(), TrustResult(DefaultInstallFolder() + L"uninstall.exe"));
    ExpectPackRegistryValues(DefaultInstallFolder());
    std::vector<std::wstring> programs = InstalledProgramsList();
    EXPECT_NE(programs.end(), std::find(programs.begin(), programs.end(), L"Kelvorin|||Kelvorin App Pack (32-bit)"));

    ExpectDocumentOpensIn(L".jtxt", L"Jottervale");
    ExpectDocumentOpensIn(L".cvn", L"Cryvane");
    ExpectDocumentOpensIn(L".pbr", L"Pebbrack");
    std::wstring music = KnownFolder(CSIDL_COMMON_MUSIC);
    HANDLE player = ShellOpen(music, L"Humbrewave", L"Directory");
    ASSERT_NE(nullptr, player) << "the folder verb did not start anything";
    EXPECT_NE(nullptr, WaitForWindowTitled(L"Humbrewave - " + music, DefaultDeadlineMs));
    ::TerminateProcess(player, 0);
    ::CloseHandle(player);
}

TEST(Scenario, SecondRunStartsInTheSavedFolder) {
    std::wstring saved = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\Pack\\";
    ASSERT_TRUE(::CreateDirectoryW(saved.c_str(), nullptr));
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.InstallWithDefaults());
        wizard.Close();
        ASSERT_EQ(0u, wizard.Installer.WaitForExit());
    }
    // Point the saved folder elsewhere, as an earlier installation there would have.
    ASSERT_TRUE(WriteMachineText(L"Software\\Kelvorin", L"AppPath", RemoveTrailingSeparator(saved)));
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense());
        ASSERT_TRUE(wizard.Agree());
        ASSERT_TRUE(wizard.Next());
        EXPECT_EQ(saved, ControlText(wizard.Page, IDC_FOLDER_TEXT));
        PressKeys(wizard.Frame, {VK_ESCAPE});
        EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    }
    ASSERT_TRUE(::RemoveDirectoryW(saved.c_str()));
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense());
        ASSERT_TRUE(wizard.Agree());
        ASSERT_TRUE(wizard.Next());
        EXPECT_EQ(DefaultInstallFolder(), ControlText(wizard.Page, IDC_FOLDER_TEXT));
        PressKeys(wizard.Frame, {VK_ESCAPE});
        EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    }
}

// A folder of drive C: that is a 1 MB volume of its own: the page shows that volume's free space, and
// the 3 MB pack cannot be installed there.
TEST(Scenario, SavedFolderOnASmallVolume) {
    std::wstring volume = EnvironmentValue(L"KELVORIN_SMALL_VOLUME");
    if (volume.empty()) GTEST_SKIP() << EnvironmentValue(L"KELVORIN_SMALL_VOLUME_MISSING").c_str();
    ASSERT_TRUE(WriteMachineText(L"Software\\Kelvorin", L"AppPath", volume));
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    ASSERT_TRUE(wizard.Agree());
    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(volume, ControlText(wizard.Page, IDC_FOLDER_TEXT));
    EXPECT_EQ(L"Space required:  3 MB", ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    EXPECT_EQ(L"Space available: 1 MB", ControlText(wizard.Page, IDC_SPACE_AVAILABLE));
    EXPECT_FALSE(IsEnabled(wizard.Page, IDOK));
    PressKeys(wizard.Frame, {VK_ESCAPE});
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());
}

TEST(Scenario, OnlyOstrelAfterGoingBack) {
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    ASSERT_TRUE(wizard.Agree());
    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(L"Space required:  3 MB", ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    ASSERT_TRUE(wizard.Back(L"&Next >"));
    for (int n = 1; n < 8; ++n) {
        ASSERT_TRUE(ClickCheckBoxTo(wizard.Page, IDC_COMPONENT_FIRST + n, false));
    }
    EXPECT_TRUE(IsChecked(wizard.Page, IDC_COMPONENT_FIRST));
    ASSERT_TRUE(wizard.Next());
    EXPECT_EQ(L"Space required:  1 MB", ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    ASSERT_TRUE(wizard.Install());
    ASSERT_TRUE(wizard.WaitForResult());
    EXPECT_EQ(L"Installation completed successfully.", ControlText(wizard.Page, IDC_STATUS_TEXT));
    EXPECT_EQ(ExpectedDetails(DefaultInstallFolder(), false), ListLines(wizard.Page, IDC_DETAILS_LIST));
    wizard.Close();
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());

    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\.jtxt"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Directory\\shell\\Humbrewave"));
    EXPECT_FALSE(PathExists(DefaultInstallFolder() + L"Glimmerdox.exe"));
    EXPECT_EQ(DefaultInstallFolder(), ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    EXPECT_EQ(233472u >> 10, ReadMachineValue(UninstallEntryKey, L"EstimatedSize").Number());
}

TEST(Scenario, NothingTickedCannotBeInstalled) {
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    ASSERT_TRUE(wizard.Agree());
    // Tab from the default button reaches the first box; Space clears it; Tab moves on.
    PressKeys(wizard.Frame, {VK_TAB});
    for (int n = 0; n < 8; ++n) {
        PressKeys(wizard.Frame, {VK_SPACE});
        PressKeys(wizard.Frame, {VK_TAB});
    }
    ASSERT_TRUE(WaitFor([&] {
        for (int n = 0; n < 8; ++n) {
            if (IsChecked(wizard.Page, IDC_COMPONENT_FIRST + n)) return false;
        }
        return true;
    }));
    PressKeys(wizard.Frame, {VK_MENU, 'N'});
    wizard.Page = WaitForPageWithButton(wizard.Frame, IDOK, L"&Install");
    ASSERT_NE(nullptr, wizard.Page);
    EXPECT_EQ(L"Space required:  0 MB", ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    EXPECT_FALSE(IsEnabled(wizard.Page, IDOK));
    PressKeys(wizard.Frame, {VK_ESCAPE});
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    EXPECT_TRUE(NothingInstalled());
}

enum class CloseRequest { CancelOrClose, EscapeKey, CloseBox, AltF4 };

void Request(Wizard& wizard, CloseRequest request) {
    switch (request) {
    case CloseRequest::CancelOrClose:  // "Cancel" on the first three pages, "&Close" on the last
        ClickButton(wizard.Page, IsShown(wizard.Page, IDCANCEL) ? IDCANCEL : IDOK);
        break;
    case CloseRequest::EscapeKey:
        PressKeys(wizard.Frame, {VK_ESCAPE});
        break;
    case CloseRequest::CloseBox:
        ClickCloseBox(wizard.Frame);
        break;
    case CloseRequest::AltF4:
        PressKeys(wizard.Frame, {VK_MENU, VK_F4});
        break;
    }
}

TEST(Scenario, CancelOnTheFirstThreePagesEndsAtOnce) {
    for (CloseRequest request : {CloseRequest::CancelOrClose, CloseRequest::EscapeKey, CloseRequest::CloseBox}) {
        for (int page = 0; page < 3; ++page) {
            Wizard wizard;
            ASSERT_TRUE(wizard.ReachLicense());
            if (page > 0) ASSERT_TRUE(wizard.Agree());
            if (page > 1) ASSERT_TRUE(wizard.Next());
            Request(wizard, request);
            EXPECT_EQ(0u, wizard.Installer.WaitForExit(5000))
                << "page " << page << " request " << static_cast<int>(request);
        }
    }
    EXPECT_TRUE(NothingInstalled());
}

TEST(Scenario, CloseRequestsWaitForTheInstallationToFinish) {
    for (CloseRequest request :
         {CloseRequest::CancelOrClose, CloseRequest::EscapeKey, CloseRequest::AltF4, CloseRequest::CloseBox}) {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense());
        ASSERT_TRUE(wizard.Agree());
        ASSERT_TRUE(wizard.Next());
        ASSERT_TRUE(wizard.Install());
        Request(wizard, request);
        int positionAfterRequest = ProgressPosition(wizard.Page, IDC_PROGRESS_BAR);
        EXPECT_LT(positionAfterRequest, 100) << "the installation ended before the request was made";
        ASSERT_TRUE(wizard.WaitForResult()) << "request " << static_cast<int>(request);
        EXPECT_FALSE(wizard.Installer.HasExited());
        EXPECT_EQ(100, ProgressPosition(wizard.Page, IDC_PROGRESS_BAR));
        // Once the result shows, the same request ends the program.
        Request(wizard, request);
        EXPECT_EQ(0u, wizard.Installer.WaitForExit(5000)) << "request " << static_cast<int>(request);
    }
}

// "&Install" with a program held open: one box names it; Try Again looks again, Cancel goes back to the
// Folder page with nothing written, Continue installs, and the held program takes its place at the
// next restart: 3010, and the log says which and what was done. After the restart it is in place.
TEST(Scenario, ProgramInUseIsAskedAboutAndReplacedAtTheRestart) {
    std::wstring folder = DefaultInstallFolder();
    if (AfterRestart()) {
        ExpectBodiesInstalled(folder);
        EXPECT_EQ(0u, TemporaryFileCount(folder));
        return;
    }
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(folder).c_str(), nullptr));
    std::wstring held = folder + L"Jottervale.exe";
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const std::wstring log = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\setup.log";
    Wizard wizard(InstallerPath(), L"/log=\"" + log + L"\"");
    ASSERT_TRUE(wizard.ReachLicense() && wizard.Agree() && wizard.Next());
    HWND box = nullptr;
    auto pressInstall = [&] {
        PressKeys(wizard.Frame, {VK_RETURN});
        return WaitFor([&] { return (box = wizard.Installer.FindMessageBox()) != nullptr; });
    };
    auto answer = [&](WORD key) {
        HWND answered = box;
        PressKeys(answered, {key});
        return WaitFor([&] { return !::IsWindow(answered); });
    };
    ASSERT_TRUE(pressInstall());
    const std::wstring text = MessageBoxText(box);
    EXPECT_EQ(0u, text.find(L"These programs are in use and must be replaced:")) << text.c_str();
    EXPECT_NE(std::wstring::npos, text.find(L"\n" + held + L"\n")) << text.c_str();
    SaveScreenshot(box, L"in-use-box");
    ASSERT_TRUE(answer('T'));
    ASSERT_TRUE(WaitFor([&] { return (box = wizard.Installer.FindMessageBox()) != nullptr; })) << "asked again";
    ASSERT_TRUE(answer(VK_ESCAPE));
    EXPECT_EQ(wizard.Page, WaitForPageWithButton(wizard.Frame, IDOK, L"&Install"));
    EXPECT_FALSE(PathExists(folder + L"uninstall.exe"));
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));

    ASSERT_TRUE(pressInstall());
    ASSERT_TRUE(answer('C'));
    wizard.Page = WaitForPageWithButton(wizard.Frame, IDOK, L"&Close");
    ASSERT_NE(nullptr, wizard.Page);
    ASSERT_TRUE(wizard.WaitForResult());
    EXPECT_EQ(RestartFinishesText, ControlText(wizard.Page, IDC_STATUS_TEXT));
    wizard.ShowDetails();
    SaveScreenshot(wizard.Frame, L"progress-restart");
    std::vector<std::wstring> lines = ListLines(wizard.Page, IDC_DETAILS_LIST);
    auto at = std::find(lines.begin(), lines.end(), held);
    ASSERT_NE(lines.end(), at);
    ASSERT_NE(lines.end(), at + 1);
    EXPECT_EQ(PlacedAtRestartLine, *(at + 1));
    EXPECT_EQ(18u, lines.size());  // the seventeen lines of a full installation and that one
    wizard.Close();
    EXPECT_EQ(DWORD{ExitRestartRequired}, wizard.Installer.WaitForExit());
    ::CloseHandle(holder);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(ReadFileBytes(held, &bytes));
    EXPECT_TRUE(bytes.empty()) << "the held file keeps its place until the restart";
    ASSERT_TRUE(ReadFileBytes(log, &bytes));
    const std::string logText(bytes.begin(), bytes.end());
    const std::string heldPath(held.begin(), held.end());
    EXPECT_NE(std::string::npos, logText.find("Programs in use, replaced now or at the next restart:\r\n" + heldPath))
        << logText;
    EXPECT_NE(std::string::npos, logText.find(heldPath + "\r\nIn use: the new program takes its place at the next"))
        << logText;
    EXPECT_NE(std::string::npos, logText.find("\r\nRestart the computer to finish the installation.\r\nExit code: 3010"))
        << logText;
    EXPECT_TRUE(PathExists(StartMenuFolder() + L"Jottervale.lnk"));
    EXPECT_TRUE(MachineKeyExists(L"Software\\Classes\\.jtxt"));
}

// The program's answer to a start it cannot complete: this one box and no other window, and once the
// box is answered the process ends with the code it has for that failure.
void ExpectRefusedAtStart(const std::wstring& copy, DWORD exitCode) {
    InstallerProcess installer(copy);
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = installer.FindMessageBox()) != nullptr; }));
    EXPECT_EQ(L"Setup initialization failed.", MessageBoxText(box));
    EXPECT_EQ(L"Error", WindowText(box));
    EXPECT_EQ(nullptr, installer.FindOtherTopLevel(box));
    PressKeys(box, {VK_RETURN});
    EXPECT_EQ(exitCode, installer.WaitForExit());
    EXPECT_TRUE(NothingInstalled());
}

TEST(Scenario, DamagedProgramIsRefusedAtStart) {
    {
        SCOPED_TRACE("a changed payload byte");
        std::wstring copy = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\DamagedSetup.exe";
        ASSERT_TRUE(WriteDamagedCopy(InstallerPath(), EnvironmentValue(L"KELVORIN_PAYLOAD_RESOURCE"), copy));
        ExpectRefusedAtStart(copy, ExitInitializationFailed);
    }
    {
        SCOPED_TRACE("a page that cannot be created");
        // The Progress page's template, the last page made, names a control class no one registered.
        const wchar_t progressClass[] = L"msctls_progress32";
        const std::vector<uint8_t> className(reinterpret_cast<const uint8_t*>(progressClass),
                                             reinterpret_cast<const uint8_t*>(progressClass) + sizeof(progressClass));
        std::wstring copy = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\PagelessSetup.exe";
        ASSERT_TRUE(WriteChangedCopy(InstallerPath(), className, 0, copy));
        ExpectRefusedAtStart(copy, ExitWizardNotBuilt);
    }
}

TEST(Scenario, ChosenFolderIsUsedAsItIs) {
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    ASSERT_TRUE(wizard.Agree());
    ASSERT_TRUE(wizard.Next());
    PressKeys(wizard.Frame, {VK_MENU, 'R'});
    HWND picker = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (picker = wizard.Installer.FindOtherTopLevel(wizard.Frame)) != nullptr; }));
    // The picker opens at the Program Files folder; Right opens it, Down selects its first folder.
    ASSERT_TRUE(WaitFor([&] { return ::IsWindowEnabled(::GetDlgItem(picker, IDOK)) != FALSE; }));
    PressKeys(picker, {VK_RIGHT});
    PressKeys(picker, {VK_DOWN});
    ::Sleep(300);
    PressKeys(picker, {VK_RETURN});
    ASSERT_TRUE(WaitFor([&] { return ControlText(wizard.Page, IDC_FOLDER_TEXT) != DefaultInstallFolder(); }));
    std::wstring chosen = ControlText(wizard.Page, IDC_FOLDER_TEXT);
    std::wstring programFiles = KnownFolder(CSIDL_PROGRAM_FILES) + L"\\";
    EXPECT_EQ(0u, chosen.rfind(programFiles, 0)) << chosen.c_str();
    EXPECT_EQ(L'\\', chosen.back());
    EXPECT_NE(L'\\', chosen[chosen.size() - 2]);
    EXPECT_EQ(std::wstring::npos, chosen.find(L"Kelvorin"));
    EXPECT_EQ(L"Space required:  3 MB", ControlText(wizard.Page, IDC_SPACE_REQUIRED));
    ASSERT_TRUE(wizard.Install());
    ASSERT_TRUE(wizard.WaitForResult());
    wizard.Close();
    EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    EXPECT_TRUE(PathExists(chosen + L"Ostrel.exe"));
    EXPECT_EQ(chosen, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
}

// Run on a screen lower than the frame but wide enough for it (the scenario's name asks for that
// screen): the frame is centred across and starts at the top, so its close box can be clicked.
TEST(SmallScreen, FrameTallerThanTheScreenStartsAtItsTop) {
    RECT area = {};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0));
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    RECT frame = {};
    ::GetWindowRect(wizard.Frame, &frame);
    ASSERT_GT(frame.bottom - frame.top, area.bottom - area.top) << "the screen is not lower than the frame";
    ASSERT_LE(frame.right - frame.left, area.right - area.left) << "the screen is not wide enough";
    EXPECT_EQ(area.top, frame.top);
    EXPECT_EQ(area.left + (area.right - area.left - (frame.right - frame.left)) / 2, frame.left);
    ClickCloseBox(wizard.Frame);
    EXPECT_EQ(0u, wizard.Installer.WaitForExit(5000));
}

}  // namespace
