#include "common/exit_code.h"
#include "tests/e2e/machine_snapshot.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/uninstall_support.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const wchar_t* const RemovedText = L"Kelvorin App Pack was removed from your computer.";
const wchar_t* const RestartText =
    L"Some files of Kelvorin App Pack are in use. They will be removed when you restart your computer.";
const wchar_t* const PackListLine = L"Kelvorin|||Kelvorin App Pack (32-bit)";
const wchar_t* const SessionManagerKey = L"System\\CurrentControlSet\\Control\\Session Manager";

void InstallEverything() {
    Wizard wizard;
    ASSERT_TRUE(wizard.InstallWithDefaults());
    wizard.Close();
    ASSERT_EQ(0u, wizard.Installer.WaitForExit());
}

bool PackIsListed() {
    std::vector<std::wstring> programs = InstalledProgramsList();
    return std::find(programs.begin(), programs.end(), PackListLine) != programs.end();
}

// Waits for the question, checks it, and answers it with the key of one of its buttons.
void AnswerQuestion(UninstallRun& run, WORD key) {
    ASSERT_TRUE(run.WaitForQuestion());
    EXPECT_EQ(RemoveQuestionText, MessageBoxText(run.QuestionBox));
    EXPECT_EQ(L"Kelvorin App Pack (32-bit)", WindowText(run.QuestionBox));
    EXPECT_NE(nullptr, ::GetDlgItem(run.QuestionBox, IDYES));
    EXPECT_NE(nullptr, ::GetDlgItem(run.QuestionBox, IDNO));
    run.Answer(key);
}

void UninstallAnsweringYes(const std::wstring& commandLine, const wchar_t* expectedResult) {
    UninstallRun run(commandLine);
    ASSERT_TRUE(run.Uninstaller.Started());
    AnswerQuestion(run, 'Y');
    EXPECT_EQ(expectedResult, run.Result());
    EXPECT_EQ(0u, run.Uninstaller.WaitForExit());
}

TEST(Uninstall, TakesBackEverythingTheInstallationWrote) {
    std::vector<std::wstring> before = MachineSnapshot();
    InstallEverything();
    ASSERT_TRUE(PackIsListed());
    // What a later installation killed while it wrote a program leaves beside it.
    ASSERT_TRUE(WriteWholeFile(DefaultInstallFolder() + L"~kv5e1.tmp", "cut short"));
    UninstallAnsweringYes(UninstallString(), RemovedText);
    ExpectMachineAsBefore(before);
    EXPECT_FALSE(PackIsListed());
    // Nothing is left for the restart, not even the uninstaller's copy: a deployment tool that checks
    // for a pending restart after the removal finds none.
    EXPECT_TRUE(PendingRemovals().empty());
}

TEST(Uninstall, AnsweringNoChangesNothing) {
    InstallEverything();
    std::vector<std::wstring> installed = MachineSnapshot();
    UninstallRun run(UninstallString());
    AnswerQuestion(run, 'N');
    EXPECT_EQ(0u, run.Uninstaller.WaitForExit());
    EXPECT_EQ(nullptr, FindAnyMessageBox());
    std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == installed) << SnapshotDifference(installed, after);
    EXPECT_TRUE(PackIsListed());
}

TEST(Uninstall, LeavesWhatBelongsToOthers) {
    InstallEverything();
    std::wstring folder = DefaultInstallFolder();
    ASSERT_TRUE(WriteWholeFile(folder + L"notes.txt", ""));
    ASSERT_TRUE(WriteWholeFile(folder + L"Ostrel.ex~", "mine"));  // named as the installer once named its own
    // Since the installation, another program took over .jtxt and Cryvane's document class, and
    // another installation of the pack saved its own folder.
    const std::wstring otherCommand = L"\"C:\\Other\\Reader.exe\" \"%1\"";
    ASSERT_TRUE(WriteMachineText(L"Software\\Classes\\.jtxt", nullptr, L"Other.Document"));
    ASSERT_TRUE(WriteMachineText(L"Software\\Classes\\Cryvane.File\\shell\\open\\command", nullptr, otherCommand));
    ASSERT_TRUE(WriteMachineText(L"Software\\Kelvorin", L"AppPath", L"C:\\Other\\"));

    UninstallAnsweringYes(UninstallString(), RemovedText);

    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder + L"uninstall.exe"); }));
    EXPECT_TRUE(PathExists(folder + L"notes.txt"));
    EXPECT_EQ("mine", ReadWholeFile(folder + L"Ostrel.ex~"));
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        EXPECT_FALSE(PathExists(folder + ComponentNames[n] + L".exe")) << ComponentNames[n];
    }
    EXPECT_FALSE(PathExists(StartMenuFolder()));
    EXPECT_EQ(L"Other.Document", ReadMachineValue(L"Software\\Classes\\.jtxt", nullptr).Text());
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Jottervale.Document"));
    EXPECT_EQ(L"Cryvane.File", ReadMachineValue(L"Software\\Classes\\.cvn", nullptr).Text());
    EXPECT_EQ(otherCommand, ReadMachineValue(L"Software\\Classes\\Cryvane.File\\shell\\open\\command", nullptr).Text());
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\.pbr"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Pebbrack.File"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Directory\\shell\\Humbrewave"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\SystemFileAssociations\\audio\\shell\\Humbrewave"));
    EXPECT_EQ(L"C:\\Other\\", ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    // The record beside it describes that other installation now, and stays with it.
    EXPECT_EQ(L"23.8.0.0", ReadMachineValue(L"Software\\Kelvorin", L"Version").Text());
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));
}

// Bytes a program takes on the small volume, which allots whole pages.
uint64_t BytesOnVolume(const std::wstring& file) {
    std::vector<uint8_t> bytes;
    EXPECT_TRUE(ReadFileBytes(file, &bytes)) << file.c_str();
    return (bytes.size() + 4095) / 4096 * 4096;
}

// Fills the volume with a file of the user's until only the given free space is left.
bool LeaveFree(const std::wstring& volume, uint64_t bytes) {
    ULARGE_INTEGER available = {};
    if (!::GetDiskFreeSpaceExW(volume.c_str(), &available, nullptr, nullptr) || available.QuadPart < bytes) {
        return false;
    }
    return WriteWholeFile(volume + L"filler.bin", std::string(available.QuadPart - bytes, '\0'));
}

// The volume fills during the installation, after the Folder page found room enough: the programs
// written before then, their links and values are undone, the first change last, and the pack is not
// listed. The folder and the saved folder were there before and stay.
TEST(Uninstall, InstallationCutShortByAFullSmallVolumeIsUndone) {
    std::wstring volume = EnvironmentValue(L"KELVORIN_SMALL_VOLUME");
    if (volume.empty()) GTEST_SKIP() << EnvironmentValue(L"KELVORIN_SMALL_VOLUME_MISSING").c_str();
    std::wstring folder = volume + L"Kelvorin\\";
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(folder).c_str(), nullptr));
    ASSERT_TRUE(WriteMachineText(L"Software\\Kelvorin", L"AppPath", folder));
    std::vector<std::wstring> before = MachineSnapshot();
    Wizard wizard;
    ASSERT_TRUE(wizard.ReachLicense());
    ASSERT_TRUE(wizard.Agree());
    for (int n = 2; n < 8; ++n) {  // Ostrel and Glimmerdox stay
        ASSERT_TRUE(ClickCheckBoxTo(wizard.Page, IDC_COMPONENT_FIRST + n, false));
    }
    ASSERT_TRUE(wizard.Next());
    ASSERT_EQ(folder, ControlText(wizard.Page, IDC_FOLDER_TEXT));
    // Room for both programs, not for the uninstaller as well: an installation that wrote the programs
    // first could not end with it.
    ASSERT_TRUE(LeaveFree(volume, BytesOnVolume(PackBody(L"Ostrel.exe")) + BytesOnVolume(PackBody(L"Glimmerdox.exe")) +
                                      40960));
    ASSERT_TRUE(wizard.Install());
    ASSERT_TRUE(wizard.WaitForResult());
    EXPECT_EQ(L"Installation failed.", ControlText(wizard.Page, IDC_STATUS_TEXT));
    const std::vector<std::wstring> lines = ListLines(wizard.Page, IDC_DETAILS_LIST);
    ASSERT_LT(5u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{folder + L"Ostrel.exe", StartMenuFolder() + L"Ostrel.lnk",
                                         folder + L"Glimmerdox.exe", L"ERROR: Write failed.",
                                         L"Undo: removed " + StartMenuFolder() + L"Ostrel.lnk"}),
              std::vector<std::wstring>(lines.begin(), lines.begin() + 5));
    // The entry, written before the uninstaller, is undone last.
    EXPECT_EQ(L"Undo: removed " + folder + L"uninstall.exe", lines[lines.size() - 13]);
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin: DisplayIcon",
              lines.back());
    wizard.Close();
    EXPECT_EQ(DWORD{ExitInstallationFailed}, wizard.Installer.WaitForExit());
    EXPECT_FALSE(PackIsListed());
    ExpectMachineAsBefore(before);
    EXPECT_FALSE(PathExists(folder + L"Ostrel.exe"));
    EXPECT_FALSE(PathExists(folder + L"uninstall.exe"));
    EXPECT_EQ(folder, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
}

TEST(Uninstall, CopyInAnotherFolderLeavesTheInstallationAlone) {
    InstallEverything();
    std::vector<std::wstring> installed = MachineSnapshot();
    // Every registration, link and entry names the install folder; none of them is this copy's.
    std::wstring elsewhere = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\Elsewhere\\";
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(elsewhere).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(UninstallerBody().c_str(), (elsewhere + L"uninstall.exe").c_str(), TRUE));

    UninstallAnsweringYes(L"\"" + elsewhere + L"uninstall.exe\"", RemovedText);

    ExpectMachineAsBefore(installed);
    EXPECT_TRUE(PackIsListed());
}

TEST(Uninstall, FilesInUseAreRemovedAtRestart) {
    InstallEverything();
    std::wstring folder = DefaultInstallFolder();
    // One program is running, another is open in a program that shares it with no one.
    std::wstring running = folder + L"Ostrel.exe";
    InstallerProcess ostrel(running);
    ASSERT_NE(nullptr, WaitForWindowTitled(L"Ostrel", DefaultDeadlineMs));
    std::wstring held = folder + L"Jottervale.exe";
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    UninstallAnsweringYes(UninstallString(), RestartText);

    std::vector<std::wstring> pending = PendingRemovals();
    for (const std::wstring& path : {running, held, RemoveTrailingSeparator(folder)}) {
        EXPECT_NE(pending.end(), std::find(pending.begin(), pending.end(), L"\\??\\" + path)) << path;
    }
    ::CloseHandle(holder);
    EXPECT_TRUE(PathExists(running));
    EXPECT_TRUE(PathExists(held));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder + L"uninstall.exe"); }));
    EXPECT_FALSE(PathExists(folder + L"Glimmerdox.exe"));
    EXPECT_FALSE(PathExists(StartMenuFolder()));
    // The files are still this installation's: their registrations go now, as the files go at the restart.
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Jottervale.Document"));
    EXPECT_FALSE(PackIsListed());
}

// The longest folder the pack can be installed to and started from: its longest program path,
// Tindlevault.exe's, is the longest a program can open without long-path support (259 characters).
// The installation saves it, the next run proposes it, the uninstaller removes it all.
TEST(Uninstall, LongestFolderIsSavedProposedAgainAndRemoved) {
    const std::wstring parent = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\" + std::wstring(100, L'p');
    const std::wstring folder = parent + L"\\" + std::wstring(242 - parent.size(), L'f') + L"\\";
    ASSERT_EQ(MAX_PATH - 1, folder.size() + std::wstring(L"Tindlevault.exe").size());
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + parent).c_str(), nullptr));
    std::vector<std::wstring> before = MachineSnapshot();
    ASSERT_TRUE(::CreateDirectoryW((L"\\\\?\\" + RemoveTrailingSeparator(folder)).c_str(), nullptr));
    // Saved without its separator, as a hand-made value might be: the installation writes it with one.
    ASSERT_TRUE(WriteMachineText(L"Software\\Kelvorin", L"AppPath", RemoveTrailingSeparator(folder)));
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense() && wizard.Agree() && wizard.Next());
        EXPECT_EQ(folder, ControlText(wizard.Page, IDC_FOLDER_TEXT));
        ASSERT_TRUE(wizard.Install() && wizard.WaitForResult());
        EXPECT_EQ(L"Installation completed successfully.", ControlText(wizard.Page, IDC_STATUS_TEXT));
        wizard.Close();
        ASSERT_EQ(0u, wizard.Installer.WaitForExit());
    }
    EXPECT_EQ(folder, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense() && wizard.Agree() && wizard.Next());
        EXPECT_EQ(folder, ControlText(wizard.Page, IDC_FOLDER_TEXT));
        PressKeys(wizard.Frame, {VK_ESCAPE});
        EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    }
    ASSERT_EQ(L"\"" + folder + L"uninstall.exe\"", UninstallString());
    UninstallAnsweringYes(UninstallString(), RemovedText);
    ExpectMachineAsBefore(before);
}

TEST(Uninstall, SecondRunAfterRemovalEndsCleanly) {
    std::vector<std::wstring> before = MachineSnapshot();
    InstallEverything();
    std::wstring command = UninstallString();
    UninstallAnsweringYes(command, RemovedText);
    std::wstring folder = DefaultInstallFolder();
    ASSERT_TRUE(WaitFor([&] { return !PathExists(folder); }));

    // The uninstaller put back where it was, with nothing else of the pack left to remove.
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(folder).c_str(), nullptr));
    ASSERT_TRUE(::CopyFileW(UninstallerBody().c_str(), (folder + L"uninstall.exe").c_str(), TRUE));
    UninstallAnsweringYes(command, RemovedText);
    ExpectMachineAsBefore(before);
}

}  // namespace
