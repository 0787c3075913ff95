#include "setup/exit_code.h"
#include "tests/e2e/machine_snapshot.h"
#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"
#include "tests/e2e/uninstall_support.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const std::wstring LogFolder = L"C:\\Logs\\";

// The installer as a deployment tool starts it: the quoted program, then the arguments.
std::wstring SetupCommand(const std::wstring& arguments) {
    return L"\"" + InstallerPath() + L"\" " + arguments;
}

// A run that must show nothing: its exit code once it has ended, with no window seen on the way.
DWORD RunUnseen(const std::wstring& program, const std::wstring& commandLine) {
    InstallerProcess process(program, commandLine);
    EXPECT_TRUE(process.Started());
    HWND shown = nullptr;
    DWORD code = process.WaitForExitWatching(&shown);
    EXPECT_EQ(nullptr, shown) << "a window titled \"" << WindowText(shown).c_str() << "\" showed";
    return code;
}

std::vector<std::wstring> LogLines(const std::wstring& path) {
    std::vector<uint8_t> bytes;
    std::vector<std::wstring> lines;
    if (!ReadFileBytes(path, &bytes)) return lines;
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, reinterpret_cast<const char*>(bytes.data()),
                                      static_cast<int>(bytes.size()), &text[0], static_cast<int>(text.size())));
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find(L"\r\n", start);
        if (end == std::wstring::npos) break;
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

bool Contains(const std::vector<std::wstring>& lines, const std::wstring& line) {
    for (const std::wstring& each : lines) {
        if (each == line) return true;
    }
    return false;
}

// The line that follows the first one equal to line, or "<none>".
std::wstring LineAfter(const std::vector<std::wstring>& lines, const std::wstring& line) {
    auto at = std::find(lines.begin(), lines.end(), line);
    return at == lines.end() || at + 1 == lines.end() ? L"<none>" : *(at + 1);
}

// A program as an earlier release left it: other bytes, another time.
constexpr uint64_t EarlierTime = 0x01D5000000000000ull;
void WriteEarlierRelease(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    const FILETIME time = {static_cast<DWORD>(EarlierTime), static_cast<DWORD>(EarlierTime >> 32)};
    ::SetFileTime(file, nullptr, nullptr, &time);
    ::CloseHandle(file);
}

void ExpectEarlierRelease(const std::wstring& path, const std::string& bytes) {
    std::vector<uint8_t> read;
    EXPECT_TRUE(ReadFileBytes(path, &read) && std::string(read.begin(), read.end()) == bytes) << path.c_str();
    EXPECT_EQ(EarlierTime, LastWriteTime(path)) << path.c_str();
}



class Unattended : public ::testing::Test {
protected:
    // A scenario checked again after the restart finds the folder made before it.
    void SetUp() override {
        ASSERT_TRUE(::CreateDirectoryW(L"C:\\Logs", nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS);
    }
};

// The same files, links and values as the wizard's default installation, the uninstall entry's two
// values for deployment tools among them; the removal through QuietUninstallString takes it all back.
TEST_F(Unattended, QuietInstallationEqualsTheWizardsAndQuietRemovalTakesItBack) {
    const std::wstring folder = DefaultInstallFolder();
    const std::vector<std::wstring> before = MachineSnapshot();
    std::vector<std::wstring> wizardLines;
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.InstallWithDefaults());
        wizardLines = ListLines(wizard.Page, IDC_DETAILS_LIST);
        wizard.Close();
        ASSERT_EQ(0u, wizard.Installer.WaitForExit());
    }
    const std::vector<std::wstring> installed = MachineSnapshot();
    const std::wstring quietUninstall = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    EXPECT_EQ(L"\"" + folder + L"uninstall.exe\" /quiet", quietUninstall);
    EXPECT_EQ(folder, ReadMachineValue(UninstallEntryKey, L"InstallLocation").Text());

    const std::wstring uninstallLog = LogFolder + L"uninstall.log";
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", quietUninstall + L" /log=" + uninstallLog));
    const std::vector<std::wstring> removal = LogLines(uninstallLog);
    ASSERT_EQ(6u, removal.size());
    EXPECT_EQ(L"Kelvorin App Pack (32-bit) 23.8.0.0 uninstall", removal[0]);
    EXPECT_EQ(L"Install folder: " + folder, removal[3]);
    EXPECT_EQ(L"Kelvorin App Pack was removed from your computer.", removal[4]);
    EXPECT_EQ(L"Exit code: 0", removal[5]);
    // The copy in the temporary folder removes the uninstaller and the folder once the uninstaller has
    // ended; a listing of the folder meanwhile would keep it there until the restart.
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder); }, 10000));
    std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
    EXPECT_EQ(nullptr, FindAnyMessageBox()) << "the copy that finishes the removal showed its result";

    const std::wstring log = LogFolder + L"quiet.log";
    const std::wstring command = SetupCommand(L"/quiet /log=" + log);
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), command));
    after = MachineSnapshot();
    EXPECT_TRUE(after == installed) << SnapshotDifference(installed, after);
    ExpectBodiesInstalled(folder);

    std::vector<std::wstring> lines = LogLines(log);
    ASSERT_EQ(wizardLines.size() + 7, lines.size());
    EXPECT_EQ(L"Kelvorin App Pack (32-bit) 23.8.0.0 setup", lines[0]);
    EXPECT_EQ(0u, lines[1].rfind(L"Local time: 20", 0)) << lines[1];
    EXPECT_EQ(L"Command line: " + command, lines[2]);
    EXPECT_EQ(L"Install folder: " + folder, lines[3]);
    EXPECT_EQ(L"Start-menu folder: " + StartMenuFolder(), lines[4]);
    EXPECT_EQ(wizardLines, std::vector<std::wstring>(lines.begin() + 5, lines.end() - 2));
    EXPECT_EQ(L"Installation completed successfully.", lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 0", lines.back());
}

// A program of the pack held open goes at the next restart: the tool is told so by 3010.
TEST_F(Unattended, QuietRemovalWithAFileInUseEndsWith3010) {
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    const std::wstring folder = DefaultInstallFolder();
    HANDLE holder = ::CreateFileW((folder + L"Jottervale.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    const std::wstring log = LogFolder + L"removal.log";
    const std::wstring command = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    EXPECT_EQ(DWORD{ExitRestartRequired}, RunUnseen(L"", command + L" /norestart /log=" + log));
    ::CloseHandle(holder);
    std::vector<std::wstring> lines = LogLines(log);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"Some files of Kelvorin App Pack are in use. They will be removed when you restart your computer.",
              lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 3010", lines.back());
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder + L"uninstall.exe"); }));
}

// A deployment tool's timeout or a power cut ends the installation after its first program: what it
// wrote is listed already, and the removal from the list leaves nothing of the pack. Under /passive the
// frame's timer paces the steps, so that the kill surely lands mid-way.
TEST_F(Unattended, InstallationKilledAfterItsFirstProgramIsListedAndRemovable) {
    const std::wstring folder = DefaultInstallFolder();
    const std::vector<std::wstring> before = MachineSnapshot();
    {
        InstallerProcess installer(InstallerPath(), SetupCommand(L"/passive"));
        ASSERT_TRUE(installer.Started());
        ASSERT_TRUE(WaitFor([&] { return PathExists(folder + L"Ostrel.exe"); }));
        ASSERT_TRUE(::TerminateProcess(installer.Handle(), 99));
        ASSERT_EQ(99u, installer.WaitForExit());
    }
    ASSERT_FALSE(PathExists(folder + L"Pebbrack.exe")) << "killed too late: the installation had ended";
    ASSERT_EQ(L"\"" + folder + L"uninstall.exe\"", UninstallString());
    const std::wstring quietUninstall = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", quietUninstall));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder); }, 10000));
    const std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
}

// The uninstaller ends while its copy in the temporary folder still works and shows the result: the
// copy keeps the installation claimed until it ends, so nothing can install in between.
TEST_F(Unattended, TheRemovalsCopyKeepsTheInstallationClaimed) {
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    UninstallRun run(UninstallString());
    ASSERT_TRUE(run.WaitForQuestion());
    run.Answer('Y');
    ASSERT_EQ(DWORD{ExitSucceeded}, run.Uninstaller.WaitForExit());
    ASSERT_TRUE(WaitFor([&] { HWND box = FindAnyMessageBox(); return box != nullptr && box != run.QuestionBox; }));
    EXPECT_EQ(DWORD{ExitAnotherInstallationRuns}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    EXPECT_EQ(L"Kelvorin App Pack was removed from your computer.", run.Result());
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
}

TEST_F(Unattended, QuietIntoAChosenFolderInstallsOnlyTheChosenComponents) {
    const std::wstring folder = L"C:\\Kelvorin Tools\\";
    const std::wstring log = LogFolder + L"chosen.log";
    const std::wstring command =
        SetupCommand(L"-QUIET /dir=\"C:\\Kelvorin Tools\" /Components=ostrel,CRYVANE /norestart \"/log=" + log + L"\"");
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), command));

    const std::wstring menu = StartMenuFolder();
    const std::vector<std::wstring> expected = {
        L"Kelvorin App Pack (32-bit) 23.8.0.0 setup",
        L"Command line: " + command,
        L"Install folder: " + folder,
        L"Start-menu folder: " + menu,
        folder + L"Ostrel.exe", menu + L"Ostrel.lnk",
        folder + L"Cryvane.exe", menu + L"Cryvane.lnk",
        folder + L"uninstall.exe",
        L"Installation completed successfully.",
        L"Exit code: 0",
    };
    std::vector<std::wstring> lines = LogLines(log);
    ASSERT_EQ(expected.size() + 1, lines.size());
    lines.erase(lines.begin() + 1);  // the local time
    EXPECT_EQ(expected, lines);

    EXPECT_EQ(folder + L"Cryvane.exe", ResolveLink(menu + L"Cryvane.lnk"));
    EXPECT_FALSE(PathExists(folder + L"Glimmerdox.exe"));
    EXPECT_FALSE(PathExists(menu + L"Glimmerdox.lnk"));
    EXPECT_FALSE(PathExists(DefaultInstallFolder()));
    EXPECT_TRUE(MachineKeyExists(L"Software\\Classes\\Cryvane.File"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\.jtxt"));
    EXPECT_EQ(folder, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    EXPECT_EQ(folder, ReadMachineValue(UninstallEntryKey, L"InstallLocation").Text());
}

// The Progress page alone, nothing pressed, and the window goes by itself once the result has shown.
TEST_F(Unattended, PassiveShowsTheProgressOnlyAndClosesByItself) {
    InstallerProcess installer(InstallerPath(), SetupCommand(L"/passive"));
    HWND frame = installer.WaitForFrame();
    ASSERT_NE(nullptr, frame);
    HWND page = VisiblePage(frame);
    ASSERT_NE(nullptr, page);
    EXPECT_NE(nullptr, ::GetDlgItem(page, IDC_PROGRESS_BAR)) << "the first page shown is not the Progress page";
    EXPECT_FALSE(IsShown(page, IDOK));
    EXPECT_FALSE(IsShown(page, IDC_SHOW_DETAILS));
    EXPECT_TRUE(IsShown(page, IDC_DETAILS_LIST));
    EXPECT_TRUE(WaitFor([&] { return ControlText(page, IDC_STATUS_TEXT) == L"Installation completed successfully."; }));
    EXPECT_EQ(nullptr, installer.FindMessageBox());
    EXPECT_EQ(DWORD{ExitSucceeded}, installer.WaitForExit());
    EXPECT_TRUE(PathExists(DefaultInstallFolder() + L"Pebbrack.exe"));
}

// A refused command line: with a window allowed, one box that names the argument and shows the usage;
// under /quiet none, only the log. Nothing is installed or removed either way.
TEST_F(Unattended, InvalidArgumentsAreRefusedBeforeAnythingIsWritten) {
    const std::wstring uninstaller = LogFolder + L"uninstall.exe";
    ASSERT_TRUE(::CopyFileW(UninstallerBody().c_str(), uninstaller.c_str(), TRUE));
    struct Case {
        std::wstring Program;
        const wchar_t* Argument;
        const wchar_t* Usage;
    } cases[] = {
        {InstallerPath(), L"/bogus", L"[/quiet | /passive]"},
        {InstallerPath(), L"/dir=relative\\folder", L"[/quiet | /passive]"},
        {InstallerPath(), L"/components=Ostrel,Nonesuch", L"[/quiet | /passive]"},
        {uninstaller, L"/dir=C:\\Kelvorin", L"uninstall.exe [/quiet]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Argument);
        const std::wstring program = L"\"" + c.Program + L"\" ";
        InstallerProcess installer(c.Program, program + c.Argument);
        HWND box = nullptr;
        ASSERT_TRUE(WaitFor([&] { return (box = installer.FindMessageBox()) != nullptr; }));
        std::wstring text = MessageBoxText(box);
        EXPECT_NE(std::wstring::npos, text.find(std::wstring(L": ") + c.Argument + L"\n\n")) << text;
        EXPECT_NE(std::wstring::npos, text.find(c.Usage)) << text;
        EXPECT_EQ(nullptr, installer.FindOtherTopLevel(box));
        PressKeys(box, {VK_RETURN});
        EXPECT_EQ(DWORD{ExitInvalidCommandLine}, installer.WaitForExit());

        const std::wstring log = LogFolder + L"refused.log";
        EXPECT_EQ(DWORD{ExitInvalidCommandLine},
                  RunUnseen(c.Program, program + L"/quiet /log=" + log + L" " + c.Argument));
        std::vector<std::wstring> lines = LogLines(log);
        ASSERT_LE(2u, lines.size());
        EXPECT_NE(std::wstring::npos, lines[lines.size() - 2].find(std::wstring(L": ") + c.Argument));
        EXPECT_EQ(L"Exit code: 1639", lines.back());
    }
    EXPECT_TRUE(NothingInstalled());
    EXPECT_TRUE(PathExists(uninstaller));
}

// What the wizard would not let a person install is refused under /quiet and /passive before anything
// is written: too little space on the receiving volume (a 1 MB one of its own), no component, a folder
// that is a file.
TEST_F(Unattended, RefusedChoicesOnASmallVolumeWriteNothing) {
    std::wstring volume = EnvironmentValue(L"KELVORIN_SMALL_VOLUME");
    if (volume.empty()) GTEST_SKIP() << EnvironmentValue(L"KELVORIN_SMALL_VOLUME_MISSING").c_str();
    const std::wstring log = LogFolder + L"refused.log";
    const std::wstring onVolume = volume + L"Kelvorin\\";
    for (const wchar_t* mode : {L"/quiet", L"/passive"}) {
        EXPECT_EQ(DWORD{ExitDiskFull},
                  RunUnseen(InstallerPath(), SetupCommand(std::wstring(mode) + L" /log=" + log + L" /dir=" + onVolume)));
        std::vector<std::wstring> lines = LogLines(log);
        EXPECT_TRUE(Contains(lines, L"Not enough free space on the volume of " + onVolume)) << mode;
        EXPECT_TRUE(Contains(lines, L"Space required:  3 MB")) << mode;
        EXPECT_TRUE(Contains(lines, L"Space available: 1 MB")) << mode;
    }
    EXPECT_FALSE(PathExists(onVolume));

    EXPECT_EQ(DWORD{ExitNoComponentChosen}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=")));
    const std::wstring file = LogFolder + L"not-a-folder";
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    ::CloseHandle(handle);
    EXPECT_EQ(DWORD{ExitFolderUnusable},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /log=" + log + L" /dir=" + file + L"\\Kelvorin")));
    EXPECT_TRUE(Contains(LogLines(log), L"The install folder cannot be used: " + file + L"\\Kelvorin\\"));
    EXPECT_EQ(DWORD{ExitFolderUnusable}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /dir=Q:\\Kelvorin")));
    EXPECT_TRUE(NothingInstalled());
}

// A second installer or uninstaller started while the wizard runs ends with 1618 and leaves it be; one
// started by a person brings the running wizard to the front.
TEST_F(Unattended, SecondInstallationWhileOneRunsEndsWith1618) {
    Wizard first;
    ASSERT_TRUE(first.ReachLicense());
    ::ShowWindow(first.Frame, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(first.Frame) != FALSE; }));
    {
        InstallerProcess second(InstallerPath());
        EXPECT_EQ(DWORD{ExitAnotherInstallationRuns}, second.WaitForExit());
    }
    EXPECT_TRUE(WaitFor([&] { return !::IsIconic(first.Frame) && ::GetForegroundWindow() == first.Frame; }));
    EXPECT_EQ(DWORD{ExitAnotherInstallationRuns}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    // An uninstaller that went on would take the programs from its own folder: a folder of its own.
    const std::wstring uninstaller = LogFolder + L"uninstall.exe";
    ASSERT_TRUE(::CopyFileW(UninstallerBody().c_str(), uninstaller.c_str(), TRUE));
    EXPECT_EQ(DWORD{ExitAnotherInstallationRuns}, RunUnseen(L"", L"\"" + uninstaller + L"\" /quiet"));

    ASSERT_TRUE(first.Agree());
    ASSERT_TRUE(first.Next());
    ASSERT_TRUE(first.Install());
    ASSERT_TRUE(first.WaitForResult());
    EXPECT_EQ(L"Installation completed successfully.", ControlText(first.Page, IDC_STATUS_TEXT));
    first.Close();
    EXPECT_EQ(DWORD{ExitSucceeded}, first.Installer.WaitForExit());
    ExpectBodiesInstalled(DefaultInstallFolder());
}

// A folder of the user's at a program's name fails the write of Cryvane after six programs went in.
// The first installation leaves nothing and is not listed; over an earlier installation (without
// Cryvane, from an earlier release) the failed upgrade leaves that one exactly as it was. The log
// shows the failure, then each undo, the first change undone last.
TEST_F(Unattended, FailedFirstInstallationAndFailedUpgradeLeaveTheMachineAsItWas) {
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(folder).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"Cryvane.exe").c_str(), nullptr));
    ASSERT_TRUE(WriteWholeFile(folder + L"notes.txt", "the user's own"));
    const std::vector<std::wstring> before = MachineSnapshot();
    const std::wstring firstLog = LogFolder + L"first.log";
    EXPECT_EQ(DWORD{ExitInstallationFailed}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /log=" + firstLog)));
    std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
    for (const std::wstring& listed : InstalledProgramsList()) EXPECT_EQ(std::wstring::npos, listed.find(L"Kelvorin"));
    std::vector<std::wstring> lines = LogLines(firstLog);
    ASSERT_LT(4u, lines.size());
    EXPECT_EQ(L"ERROR: Write failed.", LineAfter(lines, folder + L"Cryvane.exe"));
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Classes\\Jottervale.Document\\shell\\open\\command: (Default)",
              LineAfter(lines, LineAfter(lines, L"ERROR: Write failed.")));
    EXPECT_EQ(L"Undo: removed " + folder + L"uninstall.exe", lines[lines.size() - 3]);
    EXPECT_EQ(L"Installation failed.", lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 7", lines.back());

    ASSERT_TRUE(::RemoveDirectoryW((folder + L"Cryvane.exe").c_str()));
    ASSERT_EQ(DWORD{ExitSucceeded},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Ostrel,Glimmerdox,Tindlevault,Blorra,"
                                                      L"Humbrewave,Jottervale,Pebbrack")));
    WriteEarlierRelease(folder + L"Ostrel.exe", "Ostrel of an earlier release");
    WriteEarlierRelease(folder + L"uninstall.exe", "the uninstaller of an earlier release");
    ASSERT_TRUE(WriteMachineText(UninstallEntryKey, L"DisplayVersion", L"2207"));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"Cryvane.exe").c_str(), nullptr));
    const std::vector<std::wstring> installed = MachineSnapshot();
    const std::wstring upgradeLog = LogFolder + L"upgrade.log";
    EXPECT_EQ(DWORD{ExitInstallationFailed}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /log=" + upgradeLog)));
    after = MachineSnapshot();
    EXPECT_TRUE(after == installed) << SnapshotDifference(installed, after);
    ExpectEarlierRelease(folder + L"Ostrel.exe", "Ostrel of an earlier release");
    ExpectEarlierRelease(folder + L"uninstall.exe", "the uninstaller of an earlier release");
    EXPECT_EQ(L"2207", ReadMachineValue(UninstallEntryKey, L"DisplayVersion").Text());
    EXPECT_EQ(0u, TemporaryFileCount(folder));
    lines = LogLines(upgradeLog);
    EXPECT_TRUE(Contains(lines, L"Undo: put back " + folder + L"Ostrel.exe"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back HKLM\\" + std::wstring(UninstallEntryKey) + L": DisplayVersion"));
    EXPECT_EQ(L"Undo: put back " + folder + L"uninstall.exe", lines[lines.size() - 3]);
    EXPECT_EQ(L"Exit code: 7", lines.back());
}

// A running program of the pack is renamed aside and replaced now, its old copy removed at the restart;
// one held open without sharing takes its place at the restart: 3010. The same scenario runs again
// after the restart (the prefix stopped and started again), which finds every program in place.
TEST_F(Unattended, ProgramsInUseDuringAnUpgradeAreReplacedNowOrAtTheRestart) {
    const std::wstring folder = DefaultInstallFolder();
    if (AfterRestart()) {
        ExpectBodiesInstalled(folder);
        EXPECT_EQ(0u, TemporaryFileCount(folder));
        return;
    }
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    WriteEarlierRelease(folder + L"Cryvane.exe", "Cryvane of an earlier release");
    WriteEarlierRelease(folder + L"Jottervale.exe", "Jottervale of an earlier release");
    InstallerProcess ostrel(folder + L"Ostrel.exe");
    ASSERT_TRUE(WaitFor([&] { return ostrel.FindOtherTopLevel(nullptr) != nullptr; }));
    HANDLE holder = ::CreateFileW((folder + L"Jottervale.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);

    const std::wstring log = LogFolder + L"in-use.log";
    EXPECT_EQ(DWORD{ExitRestartRequired}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /norestart /log=" + log)));
    ::CloseHandle(holder);
    const std::vector<std::wstring> lines = LogLines(log);
    EXPECT_EQ(folder + L"Ostrel.exe", LineAfter(lines, L"Programs in use, replaced now or at the next restart:"));
    EXPECT_EQ(folder + L"Jottervale.exe", LineAfter(lines, folder + L"Ostrel.exe"));
    auto placed = std::find(lines.begin(), lines.end(), PlacedAtRestartLine);
    ASSERT_NE(lines.end(), placed);
    EXPECT_EQ(folder + L"Jottervale.exe", *(placed - 1));
    EXPECT_TRUE(Contains(lines, L"Replaced while in use; the old copy goes at the next restart: " + folder +
                                    L"Ostrel.exe"));
    ASSERT_LT(2u, lines.size());
    EXPECT_EQ(RestartFinishesText, lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 3010", lines.back());
    EXPECT_EQ(std::wstring(), ProgramDifference(folder, 0)) << "the running program is replaced now";
    EXPECT_EQ(std::wstring(), ProgramDifference(folder, 6));
    ExpectEarlierRelease(folder + L"Jottervale.exe", "Jottervale of an earlier release");
    EXPECT_EQ(2u, TemporaryFileCount(folder)) << "the old Ostrel and the new Jottervale wait for the restart";
    EXPECT_FALSE(ostrel.HasExited());
}

// Killed while old programs wait beside new ones: the next installation finishes the job and leaves
// no file of its own behind; killed again, the quiet removal takes everything, those files included.
TEST_F(Unattended, UpgradeKilledMidwayIsFinishedByTheNextInstallationAndByTheRemoval) {
    const std::wstring folder = DefaultInstallFolder();
    const std::vector<std::wstring> before = MachineSnapshot();
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    auto killMidway = [&] {
        InstallerProcess installer(InstallerPath(), SetupCommand(L"/passive"));
        ASSERT_TRUE(installer.Started());
        // Two files aside: the earlier uninstaller and a program, so the new uninstaller is in place.
        ASSERT_TRUE(WaitFor([&] { return TemporaryFileCount(folder) >= 2; }));
        ASSERT_TRUE(::TerminateProcess(installer.Handle(), 99));
        ASSERT_EQ(99u, installer.WaitForExit());
    };
    killMidway();
    ASSERT_NE(0u, TemporaryFileCount(folder)) << "killed too late: the installation had ended";
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    EXPECT_EQ(0u, TemporaryFileCount(folder));
    ExpectBodiesInstalled(folder);

    killMidway();
    const std::wstring quietUninstall = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", quietUninstall));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(folder); }, 10000));
    const std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
}

}  // namespace
