#include "common/exit_code.h"
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

// A quiet run as a deployment tool retries it while the removal's copy before it still holds the claim.
DWORD RunUnseenOnceFree(const std::wstring& program, const std::wstring& commandLine) {
    DWORD code = ExitAnotherInstallationRuns;
    WaitFor([&] { return (code = RunUnseen(program, commandLine)) != ExitAnotherInstallationRuns; }, 10000);
    return code;
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
    // The uninstaller removes the folder itself before it ends; its copy in the temporary folder goes
    // once it has ended.
    EXPECT_FALSE(PathExists(folder));
    ExpectMachineAsBefore(before);
    EXPECT_EQ(nullptr, FindAnyMessageBox()) << "the copy that finishes the removal showed its result";

    const std::wstring log = LogFolder + L"quiet.log";
    const std::wstring command = SetupCommand(L"/quiet /log=" + log);
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), command));
    std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == installed) << SnapshotDifference(installed, after);
    ExpectBodiesInstalled(folder);

    std::vector<std::wstring> lines = LogLines(log);
    ASSERT_EQ(wizardLines.size() + 9, lines.size());
    EXPECT_EQ(L"Kelvorin App Pack (32-bit) 23.8.0.0 setup", lines[0]);
    EXPECT_EQ(0u, lines[1].rfind(L"Local time: 20", 0)) << lines[1];
    EXPECT_EQ(L"Command line: " + command, lines[2]);
    EXPECT_EQ(L"Found: no installation of the pack.", lines[3]);
    EXPECT_EQ(L"Installing version 23.8.0.0.", lines[4]);
    EXPECT_EQ(L"Install folder: " + folder, lines[5]);
    EXPECT_EQ(L"Start-menu folder: " + StartMenuFolder(), lines[6]);
    EXPECT_EQ(wizardLines, std::vector<std::wstring>(lines.begin() + 7, lines.end() - 2));
    EXPECT_EQ(L"Installation completed successfully.", lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 0", lines.back());
}

// A program of the pack, the uninstaller itself and the install folder held open go at the next
// restart: the tool is told so by 3010, and the log names each of them, never "removed".
TEST_F(Unattended, QuietRemovalWithAFileInUseEndsWith3010) {
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    const std::wstring folder = DefaultInstallFolder();
    const std::wstring held[] = {folder + L"Jottervale.exe", folder + L"uninstall.exe",
                                 RemoveTrailingSeparator(folder)};
    std::vector<HANDLE> holders;
    for (const std::wstring& path : held) {
        // Shared for reading only, as a scanner holds a file: the uninstaller still starts, but neither
        // it nor the folder can be deleted or moved.
        holders.push_back(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS, nullptr));
        ASSERT_NE(INVALID_HANDLE_VALUE, holders.back()) << path.c_str();
    }
    const std::wstring log = LogFolder + L"removal.log";
    const std::wstring command = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    EXPECT_EQ(DWORD{ExitRestartRequired}, RunUnseen(L"", command + L" /norestart /log=" + log));
    std::vector<std::wstring> lines = LogLines(log);
    const std::vector<std::wstring> pending = PendingRemovals();
    for (const std::wstring& path : held) {
        EXPECT_TRUE(Contains(lines, L"Removed at the next restart: " + path)) << path.c_str();
        EXPECT_TRUE(Contains(pending, L"\\??\\" + path)) << path.c_str();
    }
    for (HANDLE holder : holders) ::CloseHandle(holder);
    EXPECT_FALSE(Contains(lines, L"Kelvorin App Pack was removed from your computer."));
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"Some files of Kelvorin App Pack are in use. They will be removed when you restart your computer.",
              lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 3010", lines.back());
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));
}

// Folders the installation made above the install folder go with it once empty and a folder that was
// there before stays; a user's folder named like a program is not the pack's: it stays, and nothing is
// left to the restart.
TEST_F(Unattended, QuietRemovalTakesTheFoldersItMadeAndLeavesEveryoneElses) {
    const std::wstring existing = L"C:\\Existing\\";
    const std::wstring made = existing + L"Apps\\";
    const std::wstring folder = made + L"Deep\\Kelvorin\\";
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(existing).c_str(), nullptr));
    const std::vector<std::wstring> before = MachineSnapshot();
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /dir=" + folder)));
    EXPECT_EQ(made, ReadMachineValue(L"Software\\Kelvorin", L"CreatedParent").Text());
    const std::wstring command = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
    const std::wstring log = LogFolder + L"removal.log";
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", command + L" /log=" + log));
    const std::vector<std::wstring> lines = LogLines(log);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"Kelvorin App Pack was removed from your computer.", lines[lines.size() - 2]);
    // Removed by the time the uninstaller ends, not left to its copy.
    EXPECT_FALSE(PathExists(made));
    EXPECT_TRUE(PathExists(existing));
    EXPECT_TRUE(PendingRemovals().empty());
    // Once the copy has ended, nothing of it is left in the temporary folder either.
    ExpectMachineAsBefore(before);

    ASSERT_EQ(DWORD{ExitSucceeded},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Cryvane /dir=" + folder)));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"Ostrel.exe").c_str(), nullptr));
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", command));
    EXPECT_TRUE(PathExists(folder + L"Ostrel.exe"));
    EXPECT_FALSE(PathExists(folder + L"Cryvane.exe"));
    EXPECT_FALSE(PathExists(folder + L"uninstall.exe"));
    EXPECT_TRUE(PendingRemovals().empty());
    EXPECT_FALSE(MachineKeyExists(L"Software\\Kelvorin"));
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));
}

// A folder in the uninstaller's place keeps it out, and nothing could take the rest back: nothing else
// is written, and the result says why.
TEST_F(Unattended, WithoutItsUninstallerInPlaceNothingIsInstalled) {
    const std::wstring folder = DefaultInstallFolder();
    ASSERT_TRUE(::CreateDirectoryW(RemoveTrailingSeparator(folder).c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((folder + L"uninstall.exe").c_str(), nullptr));
    const std::vector<std::wstring> before = MachineSnapshot();
    const std::wstring log = LogFolder + L"unlisted.log";
    EXPECT_EQ(DWORD{ExitInstallationFailed}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /log=" + log)));
    const std::vector<std::wstring> lines = LogLines(log);
    // The header's seven lines, then the uninstaller and its error alone: no program was written.
    ASSERT_EQ(12u, lines.size());
    EXPECT_EQ(L"Found: no installation of the pack.", lines[3]);
    EXPECT_EQ(folder + L"uninstall.exe", lines[7]);
    EXPECT_EQ(L"ERROR: Write failed.", lines[8]);
    EXPECT_EQ(0u, lines[9].rfind(L"Windows error 183", 0)) << lines[9];
    EXPECT_EQ(L"Installation failed.", lines[10]);
    EXPECT_EQ(L"Exit code: 7", lines.back());
    const std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
    EXPECT_FALSE(MachineKeyExists(UninstallEntryKey));
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
    EXPECT_FALSE(PathExists(folder));
    ExpectMachineAsBefore(before);
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

// The folder as the package manager passes it, typed with a trailing backslash into /dir="<INSTALLPATH>":
// the switches after it still count.
TEST_F(Unattended, QuietIntoAChosenFolderInstallsOnlyTheChosenComponents) {
    const std::wstring folder = L"C:\\Kelvorin Tools\\";
    const std::wstring log = LogFolder + L"chosen.log";
    const std::wstring command =
        SetupCommand(L"/dir=\"C:\\Kelvorin Tools\\\" -QUIET /Components=ostrel,CRYVANE /norestart \"/log=" + log +
                     L"\"");
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), command));

    const std::wstring menu = StartMenuFolder();
    const std::vector<std::wstring> expected = {
        L"Kelvorin App Pack (32-bit) 23.8.0.0 setup",
        L"Command line: " + command,
        L"Found: no installation of the pack.",
        L"Installing version 23.8.0.0.",
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

    // A wizard cancelled on its first page: its log has a result of its own before the exit code.
    const std::wstring log = LogFolder + L"cancelled.log";
    Wizard cancelled(InstallerPath(), L"/log=" + log);
    ASSERT_TRUE(cancelled.ReachLicense());
    PressKeys(cancelled.Frame, {VK_ESCAPE});
    EXPECT_EQ(DWORD{ExitSucceeded}, cancelled.Installer.WaitForExit());
    const std::vector<std::wstring> lines = LogLines(log);
    ASSERT_LE(2u, lines.size());
    EXPECT_EQ(L"Setup was cancelled: nothing was installed.", lines[lines.size() - 2]);
    EXPECT_EQ(L"Exit code: 0", lines.back());
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
    // /quiet anywhere, even inside the refused value, forbids the message.
    EXPECT_EQ(DWORD{ExitInvalidCommandLine}, RunUnseen(InstallerPath(), SetupCommand(L"\"/dir=C:\\a|b /quiet\"")));
    // A log in place of a file the installation writes, in any form that names it.
    const std::wstring inPlace = DefaultInstallFolder() + L"Ostrel.exe";
    EXPECT_EQ(DWORD{ExitInvalidCommandLine},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet \"/log=" + inPlace + L"\"")));
    EXPECT_EQ(DWORD{ExitInvalidCommandLine},
              RunUnseen(InstallerPath(),
                        SetupCommand(L"/passive /dir=C:\\Apps\\Kelvorin /log=c:/apps/KELVORIN/uninstall.exe")));
    EXPECT_FALSE(PathExists(inPlace));
    EXPECT_FALSE(PathExists(L"C:\\Apps"));
    // A folder too long for any file is a folder that cannot be used, in either mode, with nothing shown.
    const std::wstring log = LogFolder + L"long.log";
    const std::wstring tooLong = L"C:\\" + std::wstring(300, L'k');
    for (const wchar_t* mode : {L"/quiet", L"/passive"}) {
        EXPECT_EQ(DWORD{ExitFolderUnusable},
                  RunUnseen(InstallerPath(), SetupCommand(std::wstring(mode) + L" /log=" + log + L" /dir=" + tooLong)));
        const std::vector<std::wstring> lines = LogLines(log);
        ASSERT_LE(2u, lines.size());
        EXPECT_EQ(0u, lines[lines.size() - 2].rfind(L"The install folder is too long: C:\\kkk", 0)) << mode;
    }
    EXPECT_TRUE(NothingInstalled());
    EXPECT_TRUE(PathExists(uninstaller));

    // A write that fails makes a quiet installation a failure: a folder in the place of its program.
    const std::wstring blocked = L"C:\\Blocked\\";
    ASSERT_TRUE(::CreateDirectoryW(blocked.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((blocked + L"Ostrel.exe").c_str(), nullptr));
    EXPECT_EQ(DWORD{ExitInstallationFailed},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Ostrel /log=" + log + L" /dir=" + blocked)));
    const std::vector<std::wstring> failed = LogLines(log);
    ASSERT_LE(2u, failed.size());
    EXPECT_EQ(L"Installation failed.", failed[failed.size() - 2]);
    EXPECT_EQ(L"Exit code: 7", failed.back());
}

// A folder written in another form than the plain one is installed, recorded and removed as the plain
// one: each quiet removal leaves the machine as it was, and ".." leaves no folder behind.
TEST_F(Unattended, AFolderInAnotherFormIsInstalledPlainAndRemovedWhole) {
    ASSERT_TRUE(::CreateDirectoryW(L"C:\\Apps", nullptr));
    ASSERT_TRUE(::CreateDirectoryW(L"C:\\Apps\\Long Folder Name", nullptr));
    wchar_t shortName[MAX_PATH];
    ASSERT_NE(0u, ::GetShortPathNameW(L"C:\\Apps\\Long Folder Name", shortName, MAX_PATH));
    ASSERT_NE(std::wstring(L"C:\\Apps\\Long Folder Name"), shortName);
    const std::wstring plain = L"C:\\Apps\\Kelvorin\\";
    {
        // The wizard's Folder page shows the folder as it will be created and recorded.
        Wizard wizard(InstallerPath(), L"/dir=C:/Apps/x/../Kelvorin.");
        ASSERT_TRUE(wizard.ReachLicense());
        ASSERT_TRUE(wizard.Agree());
        ASSERT_TRUE(wizard.Next());
        EXPECT_EQ(plain, ControlText(wizard.Page, IDC_FOLDER_TEXT));
        PressKeys(wizard.Frame, {VK_ESCAPE});
        EXPECT_EQ(DWORD{ExitSucceeded}, wizard.Installer.WaitForExit());
    }
    const std::vector<std::wstring> before = MachineSnapshot();
    const struct {
        std::wstring Given;
        std::wstring Plain;
    } forms[] = {
        {L"C:/Apps/Kelvorin", plain},
        {L"C:\\Apps\\\\Kelvorin", plain},
        {L"C:\\Apps\\x\\..\\Kelvorin", plain},
        {L"C:\\Apps\\.\\Kelvorin", plain},
        {L"\"C:\\Apps\\Kelvorin.\"", plain},
        {L"\"C:\\Apps\\Kelvorin \"", plain},
        {std::wstring(shortName) + L"\\Kelvorin", L"C:\\Apps\\Long Folder Name\\Kelvorin\\"},
    };
    for (const auto& form : forms) {
        SCOPED_TRACE(form.Given.c_str());
        ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseenOnceFree(InstallerPath(), SetupCommand(L"/quiet /dir=" + form.Given)));
        ExpectBodiesInstalled(form.Plain);
        EXPECT_EQ(form.Plain, ReadMachineValue(UninstallEntryKey, L"InstallLocation").Text());
        EXPECT_EQ(form.Plain, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
        const std::wstring quietUninstall = ReadMachineValue(UninstallEntryKey, L"QuietUninstallString").Text();
        EXPECT_EQ(L"\"" + form.Plain + L"uninstall.exe\" /quiet", quietUninstall);
        EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(L"", quietUninstall));
        EXPECT_TRUE(WaitFor([&] { return !PathExists(form.Plain); }, 10000));
        EXPECT_FALSE(PathExists(L"C:\\Apps\\x"));
        std::vector<std::wstring> after;
        EXPECT_TRUE(WaitFor([&] { return (after = MachineSnapshot()) == before; }, 10000))
            << SnapshotDifference(before, after);
    }
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

// A log on a volume that runs full part-way: the installation goes on to its own result and exit code,
// and the log keeps its whole lines and ends by saying that it could not be written whole. The volume
// keeps one page free; a long folder and a line padded with spaces make the log outgrow it.
TEST_F(Unattended, ALogOnASmallVolumeThatRunsFullSaysSo) {
    std::wstring volume = EnvironmentValue(L"KELVORIN_SMALL_VOLUME");
    if (volume.empty()) GTEST_SKIP() << EnvironmentValue(L"KELVORIN_SMALL_VOLUME_MISSING").c_str();
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(::GetDiskFreeSpaceExW(volume.c_str(), &freeBytes, nullptr, nullptr));
    ASSERT_GT(freeBytes.QuadPart, 4096u);
    {
        const std::vector<char> filler(static_cast<size_t>(freeBytes.QuadPart - 4096), 'f');
        HANDLE file = ::CreateFileW((volume + L"filler").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        DWORD written = 0;
        EXPECT_TRUE(::WriteFile(file, filler.data(), static_cast<DWORD>(filler.size()), &written, nullptr));
        ::CloseHandle(file);
    }
    const std::wstring folder = L"C:\\Kelvorin " + std::wstring(226, L'k') + L"\\";
    const std::wstring log = volume + L"full.log";
    const std::wstring command =
        SetupCommand(L"/quiet" + std::wstring(1200, L' ') + L"/log=" + log + L" \"/dir=" + folder + L"\"");
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), command));
    ExpectBodiesInstalled(folder);
    const std::vector<std::wstring> lines = LogLines(log);
    ASSERT_LE(4u, lines.size());
    EXPECT_EQ(L"Kelvorin App Pack (32-bit) 23.8.0.0 setup", lines[0]);
    EXPECT_EQ(L"The log could not be written whole (Windows error 112): lines are missing from here on.",
              lines.back());
    EXPECT_FALSE(Contains(lines, L"Exit code: 0"));
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
// Cryvane, from an earlier release) the failed upgrade, which took Jottervale away before it failed,
// leaves that one exactly as it was. The log shows the failure, then each undo, the first change (the
// entry's first value, written before the uninstaller) undone last.
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
    EXPECT_TRUE(Contains(lines, L"Undo: removed " + folder + L"uninstall.exe"));
    EXPECT_EQ(L"Undo: removed HKLM\\" + std::wstring(UninstallEntryKey) + L": DisplayIcon", lines[lines.size() - 3]);
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
    EXPECT_EQ(DWORD{ExitInstallationFailed},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Ostrel,Glimmerdox,Tindlevault,Blorra,"
                                                      L"Humbrewave,Cryvane,Pebbrack /log=" + upgradeLog)));
    after = MachineSnapshot();
    EXPECT_TRUE(after == installed) << SnapshotDifference(installed, after);
    ExpectEarlierRelease(folder + L"Ostrel.exe", "Ostrel of an earlier release");
    ExpectEarlierRelease(folder + L"uninstall.exe", "the uninstaller of an earlier release");
    EXPECT_EQ(L"2207", ReadMachineValue(UninstallEntryKey, L"DisplayVersion").Text());
    EXPECT_EQ(0u, TemporaryFileCount(folder));
    lines = LogLines(upgradeLog);
    EXPECT_TRUE(Contains(lines, L"Removed: " + folder + L"Jottervale.exe"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back " + folder + L"Jottervale.exe"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back HKLM\\Software\\Classes\\.jtxt: (Default)"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back " + folder + L"Ostrel.exe"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back " + folder + L"uninstall.exe"));
    EXPECT_TRUE(Contains(lines, L"Undo: put back HKLM\\" + std::wstring(UninstallEntryKey) + L": DisplayVersion"));
    EXPECT_EQ(L"Undo: put back HKLM\\" + std::wstring(UninstallEntryKey) + L": DisplayIcon", lines[lines.size() - 3]);
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
    EXPECT_FALSE(PathExists(folder));
    ExpectMachineAsBefore(before);
}

}  // namespace

namespace {

// The file's version block as Explorer reads it: the fixed part's file and product versions, and the
// strings of the US English block.
struct VersionBlock {
    DWORD FileMS = 0, FileLS = 0, ProductMS = 0, ProductLS = 0;
    std::wstring FileVersion, ProductVersion;
};

VersionBlock ReadVersionBlock(const std::wstring& path) {
    VersionBlock block;
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<uint8_t> data(size + 1);
    if (size == 0 || !::GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return block;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (::VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && fixed != nullptr) {
        block = {fixed->dwFileVersionMS, fixed->dwFileVersionLS, fixed->dwProductVersionMS, fixed->dwProductVersionLS};
    }
    wchar_t* text = nullptr;
    if (::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\FileVersion", reinterpret_cast<void**>(&text),
                         &length)) {
        block.FileVersion = text;
    }
    if (::VerQueryValueW(data.data(), L"\\StringFileInfo\\040904b0\\ProductVersion", reinterpret_cast<void**>(&text),
                         &length)) {
        block.ProductVersion = text;
    }
    return block;
}

void ExpectVersionBlock(const std::wstring& path, DWORD major, DWORD minor, const std::wstring& text) {
    const VersionBlock block = ReadVersionBlock(path);
    EXPECT_EQ(MAKELONG(minor, major), block.FileMS) << path.c_str();
    EXPECT_EQ(0u, block.FileLS) << path.c_str();
    EXPECT_EQ(MAKELONG(minor, major), block.ProductMS) << path.c_str();
    EXPECT_EQ(text, block.FileVersion) << path.c_str();
    EXPECT_EQ(text, block.ProductVersion) << path.c_str();
}

// The record and the entry as an installation of these components, named as the record names them,
// leaves them.
void ExpectInstalledRecord(const std::wstring& folder, const std::wstring& version, const std::wstring& names) {
    EXPECT_EQ(folder, ReadMachineValue(L"Software\\Kelvorin", L"AppPath").Text());
    EXPECT_EQ(version, ReadMachineValue(L"Software\\Kelvorin", L"Version").Text());
    EXPECT_EQ(names, ReadMachineValue(L"Software\\Kelvorin", L"Components").Text());
    EXPECT_EQ(folder, ReadMachineValue(UninstallEntryKey, L"InstallLocation").Text());
}

uint32_t FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data) ? data.nFileSizeLow : 0;
}

}  // namespace

// Run again without /components, the installer takes the installed components and writes each program
// again: a deleted and a damaged one are whole afterwards. Run with fewer, it takes back the others:
// program, link and registrations; the record and the entry's size state what is left.
TEST_F(Unattended, ReinstallationRepairsAndOneWithFewerComponentsRemovesTheOthers) {
    const std::wstring folder = DefaultInstallFolder();
    const std::wstring menu = StartMenuFolder();
    ASSERT_EQ(DWORD{ExitSucceeded},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Ostrel,Humbrewave,Jottervale,Cryvane")));
    ASSERT_TRUE(::DeleteFileW((folder + L"Ostrel.exe").c_str()));
    HANDLE damaged = ::CreateFileW((folder + L"Cryvane.exe").c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, damaged);
    DWORD written = 0;
    ::WriteFile(damaged, "damaged", 7, &written, nullptr);
    ::CloseHandle(damaged);

    const std::wstring repairLog = LogFolder + L"repair.log";
    EXPECT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet /log=" + repairLog)));
    const std::vector<std::wstring> repair = LogLines(repairLog);
    EXPECT_TRUE(Contains(repair, L"Found: version 23.8.0.0 in " + folder + L" with Ostrel,Humbrewave,Jottervale,Cryvane."));
    EXPECT_TRUE(Contains(repair, L"Reinstalling version 23.8.0.0."));
    for (uint32_t n : {0u, 4u, 5u, 6u}) EXPECT_EQ(std::wstring(), ProgramDifference(folder, n)) << n;
    for (uint32_t n : {1u, 2u, 3u, 7u}) EXPECT_FALSE(PathExists(folder + ComponentNames[n] + L".exe")) << n;
    ExpectInstalledRecord(folder, L"23.8.0.0", L"Ostrel,Humbrewave,Jottervale,Cryvane");

    // Humbrewave runs while it is removed: renamed aside now, its file deleted at the restart.
    InstallerProcess humbrewave(folder + L"Humbrewave.exe");
    ASSERT_TRUE(WaitFor([&] { return humbrewave.FindOtherTopLevel(nullptr) != nullptr; }));
    const std::wstring fewerLog = LogFolder + L"fewer.log";
    EXPECT_EQ(DWORD{ExitSucceeded},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet /components=Ostrel,Cryvane /log=" + fewerLog)));
    const std::vector<std::wstring> fewer = LogLines(fewerLog);
    EXPECT_EQ(folder + L"Humbrewave.exe", LineAfter(fewer, L"Programs in use, replaced now or at the next restart:"));
    EXPECT_TRUE(Contains(fewer, L"Removed while in use; its file goes at the next restart: " + folder +
                                    L"Humbrewave.exe"));
    EXPECT_EQ(1u, TemporaryFileCount(folder));
    EXPECT_EQ(1u, PendingRemovals().size());
    EXPECT_FALSE(humbrewave.HasExited());
    for (const wchar_t* name : {L"Humbrewave", L"Jottervale"}) {
        EXPECT_TRUE(Contains(fewer, L"Removed: " + folder + name + L".exe")) << name;
        EXPECT_FALSE(PathExists(folder + name + L".exe")) << name;
        EXPECT_FALSE(PathExists(menu + name + L".lnk")) << name;
    }
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Directory\\shell\\Humbrewave"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\SystemFileAssociations\\audio\\shell\\Humbrewave"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\.jtxt"));
    EXPECT_FALSE(MachineKeyExists(L"Software\\Classes\\Jottervale.Document"));
    EXPECT_TRUE(MachineKeyExists(L"Software\\Classes\\Cryvane.File"));
    EXPECT_EQ(folder + L"Ostrel.exe", ResolveLink(menu + L"Ostrel.lnk"));
    EXPECT_EQ(std::wstring(), ProgramDifference(folder, 6));
    ExpectInstalledRecord(folder, L"23.8.0.0", L"Ostrel,Cryvane");
    const uint32_t bytes = FileSize(folder + L"Ostrel.exe") + FileSize(folder + L"Cryvane.exe") +
                           FileSize(folder + L"uninstall.exe");
    EXPECT_EQ(bytes >> 10, ReadMachineValue(UninstallEntryKey, L"EstimatedSize").Number());
}

// A reinstallation into another folder leaves one installation: the earlier folder goes whole, with its
// uninstaller, and links, registrations and the entry lead to the new one.
TEST_F(Unattended, InstallationIntoAnotherFolderRemovesTheEarlierOne) {
    const std::wstring earlier = DefaultInstallFolder();
    const std::wstring folder = L"C:\\Kelvorin Moved\\";
    ASSERT_EQ(DWORD{ExitSucceeded}, RunUnseen(InstallerPath(), SetupCommand(L"/quiet")));
    const std::wstring log = LogFolder + L"moved.log";
    EXPECT_EQ(DWORD{ExitSucceeded},
              RunUnseen(InstallerPath(), SetupCommand(L"/quiet \"/dir=C:\\Kelvorin Moved\" /log=" + log)));
    EXPECT_FALSE(PathExists(earlier));
    ExpectBodiesInstalled(folder);
    ExpectInstalledRecord(folder, L"23.8.0.0", EveryComponentName);
    EXPECT_EQ(L"\"" + folder + L"uninstall.exe\"", ReadMachineValue(UninstallEntryKey, L"UninstallString").Text());
    EXPECT_EQ(L"\"" + folder + L"Jottervale.exe\" \"%1\"",
              ReadMachineValue(L"Software\\Classes\\Jottervale.Document\\shell\\open\\command", nullptr).Text());
    const std::vector<std::wstring> lines = LogLines(log);
    EXPECT_TRUE(Contains(lines, L"The installation in this folder goes once this one is in place: " + earlier));
    EXPECT_TRUE(Contains(lines, L"Removed: " + earlier + L"Pebbrack.exe"));
    EXPECT_TRUE(Contains(lines, L"Removed: " + earlier + L"uninstall.exe"));
    EXPECT_TRUE(Contains(lines, L"Removed: " + earlier));
    EXPECT_EQ(L"Exit code: 0", lines.back());
}

// Two releases of the tests' own pack folder (tests/release/test-release.sh): 24.1.0.0, and 24.2.0.0
// shown as "24.2 test release", with other bytes and times.
TEST_F(Unattended, ReleaseUpgradeKeepsFolderAndComponentsAndADowngradeIsRefused) {
    const std::wstring older = EnvironmentValue(L"KELVORIN_OLDER_RELEASE");
    if (older.empty()) GTEST_SKIP() << "run by the release's tests, with the release before it";
    const std::wstring olderInstaller = older + L"\\KelvorinAppPackSetup.exe";
    const std::wstring folder = L"C:\\Kelvorin Release\\";
    ASSERT_EQ(DWORD{ExitSucceeded},
              RunUnseen(olderInstaller, L"\"" + olderInstaller +
                                            L"\" /quiet \"/dir=C:\\Kelvorin Release\" /components=Ostrel,Jottervale,Cryvane"));
    EXPECT_EQ(L"24.1.0.0", ReadMachineValue(UninstallEntryKey, L"DisplayVersion").Text());
    ExpectVersionBlock(olderInstaller, 24, 1, L"24.1.0.0");
    ExpectVersionBlock(folder + L"uninstall.exe", 24, 1, L"24.1.0.0");

    // The upgrade as a person makes it: the wizard proposes the installed folder and components.
    {
        Wizard wizard;
        ASSERT_TRUE(wizard.ReachLicense());
        ASSERT_TRUE(wizard.Agree());
        for (uint32_t n = 0; n < ComponentCount; ++n) {
            EXPECT_EQ(n == 0 || n == 5 || n == 6, IsChecked(wizard.Page, IDC_COMPONENT_FIRST + n)) << n;
        }
        ASSERT_TRUE(wizard.Next());
        EXPECT_EQ(folder, ControlText(wizard.Page, IDC_FOLDER_TEXT));
        ASSERT_TRUE(wizard.Install());
        ASSERT_TRUE(wizard.WaitForResult());
        EXPECT_EQ(L"Installation completed successfully.", ControlText(wizard.Page, IDC_STATUS_TEXT));
        wizard.Close();
        EXPECT_EQ(0u, wizard.Installer.WaitForExit());
    }
    for (uint32_t n : {0u, 5u, 6u}) EXPECT_EQ(std::wstring(), ProgramDifference(folder, n)) << n;
    for (uint32_t n : {1u, 2u, 3u, 4u, 7u}) EXPECT_FALSE(PathExists(folder + ComponentNames[n] + L".exe")) << n;
    ExpectInstalledRecord(folder, L"24.2.0.0", L"Ostrel,Jottervale,Cryvane");
    EXPECT_EQ(L"24.2 test release", ReadMachineValue(UninstallEntryKey, L"DisplayVersion").Text());
    EXPECT_EQ(24u, ReadMachineValue(UninstallEntryKey, L"VersionMajor").Number());
    EXPECT_EQ(2u, ReadMachineValue(UninstallEntryKey, L"VersionMinor").Number());
    ExpectVersionBlock(InstallerPath(), 24, 2, L"24.2.0.0");
    ExpectVersionBlock(folder + L"uninstall.exe", 24, 2, L"24.2.0.0");

    // The release before over this one: refused before anything is written, with no window under
    // /quiet, and in the wizard's mode with one box that names both versions and the way back.
    const std::vector<std::wstring> before = MachineSnapshot();
    const std::wstring log = LogFolder + L"downgrade.log";
    EXPECT_EQ(DWORD{ExitNewerVersionInstalled},
              RunUnseen(olderInstaller, L"\"" + olderInstaller + L"\" /quiet /log=" + log));
    const std::vector<std::wstring> lines = LogLines(log);
    EXPECT_TRUE(Contains(lines, L"Found: version 24.2.0.0 in " + folder + L" with Ostrel,Jottervale,Cryvane."));
    EXPECT_TRUE(Contains(lines, L"Refused: the installed version 24.2.0.0 is newer than this setup's 24.1.0.0; "
                                L"remove it first to go back."));
    EXPECT_EQ(L"Exit code: 1638", lines.back());
    InstallerProcess wizard(olderInstaller, L"\"" + olderInstaller + L"\"");
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = wizard.FindMessageBox()) != nullptr; }));
    EXPECT_EQ(L"Version 24.2.0.0 of Kelvorin App Pack (32-bit) is installed on this computer. This setup holds the "
              L"older version 24.1.0.0 and cannot replace it.\n\nTo go back to version 24.1.0.0, first remove the "
              L"installed version (Kelvorin App Pack (32-bit) in the list of installed programs), then run this "
              L"setup again.",
              MessageBoxText(box));
    EXPECT_EQ(nullptr, wizard.FindOtherTopLevel(box)) << "a page showed beside the box";
    PressKeys(box, {VK_RETURN});
    EXPECT_EQ(DWORD{ExitNewerVersionInstalled}, wizard.WaitForExit());
    const std::vector<std::wstring> after = MachineSnapshot();
    EXPECT_TRUE(after == before) << SnapshotDifference(before, after);
}
