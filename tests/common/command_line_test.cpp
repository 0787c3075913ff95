#include "common/command_line.h"
#include "common/run_log.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CommandLine Parse(std::vector<const wchar_t*> arguments, uint32_t accepted = InstallerSwitches) {
    CommandLine parsed;
    ParseArguments(arguments.data(), static_cast<uint32_t>(arguments.size()), accepted, &parsed);
    return parsed;
}

TEST(CommandLine, NoArgumentIsTheWizardWithEverything) {
    for (const CommandLine& parsed : {Parse({}), [] {
             CommandLine read;
             ReadCommandLine(L"\"C:\\Downloads\\KelvorinAppPackSetup.exe\"", InstallerSwitches, &read);
             return read;
         }()}) {
        EXPECT_EQ(WizardMode, parsed.Mode);
        EXPECT_EQ(0u, parsed.Given);
        EXPECT_EQ(AllComponents, parsed.Components);
        EXPECT_EQ(NoProblem, parsed.Problem);
    }
}

TEST(CommandLine, SwitchesInAnyCaseAfterSlashOrDash) {
    CommandLine parsed = Parse({L"-QUIET", L"/Dir=C:\\Apps", L"/COMPONENTS=ostrel,CRYVANE,Ostrel", L"-log=run.log",
                                L"/NoRestart"});
    EXPECT_EQ(NoProblem, parsed.Problem);
    EXPECT_EQ(QuietMode, parsed.Mode);
    EXPECT_STREQ(L"C:\\Apps\\", parsed.Folder);
    EXPECT_EQ((1u << 0) | (1u << 6), parsed.Components);
    EXPECT_STREQ(L"run.log", parsed.LogPath);
    EXPECT_EQ(QuietSwitch | DirSwitch | ComponentsSwitch | LogSwitch | NoRestartSwitch, parsed.Given);
    EXPECT_EQ(PassiveMode, Parse({L"/passive", L"/dir=\\\\server\\share\\Kelvorin\\"}).Mode);
    EXPECT_EQ(HelpSwitch, Parse({L"-?"}).Given);
    EXPECT_EQ(HelpSwitch, Parse({L"/HELP"}).Given);
    // An empty list is a choice of nothing, which the installation itself refuses.
    EXPECT_EQ(0u, Parse({L"/components="}).Components);
    EXPECT_EQ(NoProblem, Parse({L"/components="}).Problem);
}

TEST(CommandLine, QuotedFolderIsSplitAlikeQuotedWholeOrAfterItsSign) {
    for (const wchar_t* line : {L"setup.exe /quiet \"/dir=C:\\Program Files (x86)\\Kelvorin Tools\" /norestart",
                                L"setup.exe /quiet /dir=\"C:\\Program Files (x86)\\Kelvorin Tools\" /norestart"}) {
        CommandLine parsed;
        ReadCommandLine(line, InstallerSwitches, &parsed);
        EXPECT_EQ(NoProblem, parsed.Problem) << parsed.ProblemArgument;
        EXPECT_STREQ(L"C:\\Program Files (x86)\\Kelvorin Tools\\", parsed.Folder);
        EXPECT_EQ(QuietSwitch | DirSwitch | NoRestartSwitch, parsed.Given);
    }
    // A quote only groups: the backslash before a closing quote is the folder's own, and what follows
    // the quote is read as further arguments, as the package manager's /dir="<INSTALLPATH>" needs it.
    for (const wchar_t* line :
         {L"setup.exe /dir=\"C:\\Kelvorin Tools\\\" /quiet /log=\"C:\\Logs\\a b.log\"",
          L"\"C:\\x y\\setup.exe\" \"/dir=C:\\Kelvorin Tools\\\"\t-QUIET \"/log=C:\\Logs\\a b\".log"}) {
        CommandLine parsed;
        ReadCommandLine(line, InstallerSwitches, &parsed);
        EXPECT_EQ(NoProblem, parsed.Problem) << parsed.ProblemArgument;
        EXPECT_EQ(QuietMode, parsed.Mode) << line;
        EXPECT_STREQ(L"C:\\Kelvorin Tools\\", parsed.Folder);
        EXPECT_STREQ(L"C:\\Logs\\a b.log", parsed.LogPath);
    }
}

// Where /quiet or /passive stands anywhere in a refused line, in any form, its refusal shows nothing;
// an accepted line takes its mode from its switches alone.
TEST(CommandLine, ARefusedLineNamingQuietOrPassiveAnywhereIsReadInThatMode) {
    const std::wstring overlong = L"setup.exe /quiet " + std::wstring(40000, L'k');
    struct Case {
        const wchar_t* Line;
        RunMode Mode;
        ArgumentProblem Problem;
    } cases[] = {
        {L"setup.exe \"/dir=C:\\a|b /Quiet\"", QuietMode, MalformedValue},
        {L"setup.exe /bogus \"-PASSIVE=yes\"", PassiveMode, UnknownSwitch},
        {L"setup.exe /components=Nonesuch\t/quiet=1 /passive", QuietMode, UnknownComponent},
        {overlong.c_str(), QuietMode, CommandLineUnreadable},
        {L"setup.exe /bogus /quietly /dir=C:/passive", WizardMode, UnknownSwitch},
        {L"setup.exe \"/dir=C:\\Apps -quiet\"", WizardMode, NoProblem},
    };
    for (const Case& c : cases) {
        CommandLine parsed;
        ReadCommandLine(c.Line, InstallerSwitches, &parsed);
        EXPECT_EQ(c.Mode, parsed.Mode) << std::wstring(c.Line).substr(0, 60).c_str();
        EXPECT_EQ(c.Problem, parsed.Problem) << std::wstring(c.Line).substr(0, 60).c_str();
    }
}

TEST(CommandLine, EachRefusalNamesTheFirstOffendingArgument) {
    struct Case {
        std::vector<const wchar_t*> Arguments;
        uint32_t Accepted;
        ArgumentProblem Problem;
        const wchar_t* Named;
    } cases[] = {
        {{L"/quiet", L"/bogus", L"/dir=x"}, InstallerSwitches, UnknownSwitch, L"/bogus"},
        {{L"C:\\Apps"}, InstallerSwitches, UnknownSwitch, L"C:\\Apps"},
        {{L"/q"}, InstallerSwitches, UnknownSwitch, L"/q"},
        {{L"/quiet", L"/QUIET"}, InstallerSwitches, RepeatedSwitch, L"/QUIET"},
        {{L"/log=a", L"/log=b"}, InstallerSwitches, RepeatedSwitch, L"/log=b"},
        {{L"/passive", L"/quiet"}, InstallerSwitches, ConflictingSwitch, L"/quiet"},
        {{L"/dir"}, InstallerSwitches, MissingValue, L"/dir"},
        {{L"/dir="}, InstallerSwitches, MissingValue, L"/dir="},
        {{L"/log="}, InstallerSwitches, MissingValue, L"/log="},
        {{L"/components"}, InstallerSwitches, MissingValue, L"/components"},
        {{L"/quiet=yes"}, InstallerSwitches, UnexpectedValue, L"/quiet=yes"},
        {{L"/dir=relative\\folder"}, InstallerSwitches, FolderNotFullPath, L"/dir=relative\\folder"},
        {{L"/dir=C:"}, InstallerSwitches, FolderNotFullPath, L"/dir=C:"},
        {{L"/dir=\\\\server"}, InstallerSwitches, FolderNotFullPath, L"/dir=\\\\server"},
        {{L"/dir=C:\\a|b"}, InstallerSwitches, MalformedValue, L"/dir=C:\\a|b"},
        {{L"/dir=C:\\a:b"}, InstallerSwitches, MalformedValue, L"/dir=C:\\a:b"},
        {{L"/components=Ostrel,,Blorra"}, InstallerSwitches, MalformedValue, L"/components=Ostrel,,Blorra"},
        {{L"/components=Ostrel,"}, InstallerSwitches, MalformedValue, L"/components=Ostrel,"},
        {{L"/components=Ostrel,Nonesuch"}, InstallerSwitches, UnknownComponent, L"/components=Ostrel,Nonesuch"},
        {{L"/components=Ostrels"}, InstallerSwitches, UnknownComponent, L"/components=Ostrels"},
        {{L"/components=Uninstall"}, InstallerSwitches, UnknownComponent, L"/components=Uninstall"},
        {{L"/dir=C:\\Apps"}, UninstallerSwitches, UnknownSwitch, L"/dir=C:\\Apps"},
        {{L"/passive"}, UninstallerSwitches, UnknownSwitch, L"/passive"},
    };
    for (const Case& c : cases) {
        CommandLine parsed = Parse(c.Arguments, c.Accepted);
        EXPECT_EQ(c.Problem, parsed.Problem) << c.Named;
        EXPECT_STREQ(c.Named, parsed.ProblemArgument);
    }
    // A folder too long for any file is one the installation refuses as a folder, not a malformed line.
    for (const std::wstring& tooLong :
         {L"/dir=C:\\" + std::wstring(MAX_PATH - 4, L'k'), L"/dir=C:\\" + std::wstring(400, L'k')}) {
        CommandLine parsed = Parse({tooLong.c_str(), L"/quiet"});
        EXPECT_EQ(NoProblem, parsed.Problem);
        EXPECT_TRUE(parsed.FolderTooLong);
        EXPECT_EQ(0u, tooLong.find(std::wstring(L"/dir=") + parsed.Folder));
    }
    EXPECT_FALSE(Parse({(L"/dir=C:\\" + std::wstring(MAX_PATH - 5, L'k')).c_str()}).FolderTooLong);

    wchar_t line[ArgumentTextCapacity + 64];
    ComposeProblemLine(Parse({L"/bogus"}), line, ArgumentTextCapacity + 64);
    EXPECT_STREQ(L"Unknown argument: /bogus", line);
    ComposeProblemLine(Parse({L"/components=Nonesuch"}), line, ArgumentTextCapacity + 64);
    EXPECT_STREQ(L"Unknown component: /components=Nonesuch", line);
}

// A tool that passes /quiet after a bad argument must still get no message box for it.
TEST(CommandLine, QuietOrPassiveAfterTheRefusedArgumentStillCounts) {
    EXPECT_EQ(QuietMode, Parse({L"/bogus", L"/quiet"}).Mode);
    EXPECT_EQ(PassiveMode, Parse({L"/dir=x", L"-Passive"}).Mode);
    EXPECT_EQ(QuietMode, Parse({L"/passive", L"/quiet"}).Mode);
    EXPECT_EQ(WizardMode, Parse({L"/bogus", L"/help"}).Mode);
}

// The uninstaller's copy is told its work on a command line that the one parser reads; no person's
// command line may carry it to either program.
TEST(CommandLine, TheRemovalCopysSwitchesAreReadOnlyUnderItsRules) {
    CommandLine copy;
    ReadCommandLine(L"\"C:\\Windows\\Temp\\Kvu0a1b2.tmp\\uninstall.exe\" /finish=1234,5678,1 "
                    L"\"/dir=C:\\Program Files (x86)\\Kelvorin\" /quiet",
                    RemovalCopySwitches, &copy);
    EXPECT_EQ(NoProblem, copy.Problem) << copy.ProblemArgument;
    EXPECT_EQ(FinishSwitch | DirSwitch | QuietSwitch, copy.Given);
    EXPECT_EQ(1234u, copy.FinishProcess);
    EXPECT_EQ(5678u, copy.FinishFile);
    EXPECT_EQ(1u, copy.FinishOutcome);
    EXPECT_STREQ(L"C:\\Program Files (x86)\\Kelvorin\\", copy.Folder);
    EXPECT_EQ(QuietMode, copy.Mode);
    EXPECT_EQ(4294967295u, Parse({L"/finish=4294967295,1,0"}, RemovalCopySwitches).FinishProcess);
    EXPECT_EQ(MissingValue, Parse({L"/finish="}, RemovalCopySwitches).Problem);
    for (const wchar_t* malformed : {L"/finish=12", L"/finish=12,3", L"/finish=1,2,", L"/finish=,1,2",
                                     L"/finish=1,2,3,4", L"/finish=4294967296,1,0", L"/finish=-1,1,0",
                                     L"/finish=1, 2,3"}) {
        EXPECT_EQ(MalformedValue, Parse({malformed}, RemovalCopySwitches).Problem) << malformed;
    }
    EXPECT_EQ(UnknownSwitch, Parse({L"/finish=1,2,0"}, UninstallerSwitches).Problem);
    EXPECT_EQ(UnknownSwitch, Parse({L"/finish=1,2,0"}).Problem);
    EXPECT_EQ(UnknownSwitch, Parse({L"/log=x"}, RemovalCopySwitches).Problem);
}

std::string ReadWhileOpen(const std::wstring& path) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return "<cannot open>";
    char bytes[8192];
    DWORD count = 0;
    ::ReadFile(file, bytes, sizeof(bytes), &count, nullptr);
    ::CloseHandle(file);
    return std::string(bytes, count);
}

TEST(RunLog, LinesAreUtf8AndInTheFileAsSoonAsWritten) {
    ScratchFolder folder;
    HANDLE log = OpenRunLog((folder / L"run.log").c_str());
    ASSERT_NE(nullptr, log);
    EXPECT_EQ(1u, WriteLogLine(log, L"C:\\Pr\u00f6gramme\\\u30b1\u30eb\\\U0001F600.exe"));
    EXPECT_EQ("C:\\Pr\xc3\xb6gramme\\\xe3\x82\xb1\xe3\x83\xab\\\xf0\x9f\x98\x80.exe\r\n",
              ReadWhileOpen(folder / L"run.log"));
    WriteLogHeader(log, L"setup", L"setup.exe /quiet");
    WriteLogError(log, ERROR_ACCESS_DENIED);
    WriteLogExitCode(log, 1618);
    CloseRunLog(log);
    std::string text = ReadWhileOpen(folder / L"run.log");
    EXPECT_NE(std::string::npos, text.find("\r\nKelvorin App Pack (32-bit) 23.8.0.0 setup\r\nLocal time: 2"));
    EXPECT_NE(std::string::npos, text.find("\r\nCommand line: setup.exe /quiet\r\nWindows error 5"));
    const std::string last = "\r\nExit code: 1618\r\n";
    EXPECT_EQ(last, text.substr(text.size() - last.size()));

    // Replaced whole when opened again; a folder that does not exist gives no log, and no log is no-op.
    log = OpenRunLog((folder / L"run.log").c_str());
    CloseRunLog(log);
    EXPECT_EQ("", ReadWhileOpen(folder / L"run.log"));
    EXPECT_EQ(nullptr, OpenRunLog((folder / L"missing\\run.log").c_str()));
    EXPECT_EQ(1u, WriteLogLine(nullptr, L"nothing"));
}

int flushes;
uint32_t failingFlush;  // the number of the flush that fails, 0 for none
BOOL WINAPI CountedFlush(HANDLE file) {
    if (++flushes == static_cast<int>(failingFlush)) {
        ::SetLastError(ERROR_DISK_FULL);
        return FALSE;
    }
    return ::FlushFileBuffers(file);
}

// Every line is flushed on its own. A line that cannot be written whole ends what the log takes, the
// run going on; the log's closing says so after its last whole line.
TEST(RunLog, EachLineIsFlushedAndALostLineIsToldAtTheEnd) {
    ScratchFolder folder;
    RunLogSeams::FlushFileBuffersCall = CountedFlush;
    flushes = 0;
    failingFlush = 3;
    HANDLE log = OpenRunLog((folder / L"run.log").c_str());
    ASSERT_NE(nullptr, log);
    EXPECT_EQ(1u, WriteLogLine(log, L"one"));
    EXPECT_EQ(1u, WriteLogLine(log, L"two"));
    EXPECT_EQ(2, flushes);
    EXPECT_EQ(0u, WriteLogLine(log, L"three"));
    EXPECT_EQ(0u, WriteLogLine(log, L"four"));
    WriteLogExitCode(log, 0);
    CloseRunLog(log);
    RunLogSeams::FlushFileBuffersCall = ::FlushFileBuffers;
    EXPECT_EQ("one\r\ntwo\r\n"
              "The log could not be written whole (Windows error 112): lines are missing from here on.\r\n",
              ReadWhileOpen(folder / L"run.log"));

    // A log that lost nothing closes as it is.
    log = OpenRunLog((folder / L"run.log").c_str());
    EXPECT_EQ(1u, WriteLogLine(log, L"whole"));
    CloseRunLog(log);
    EXPECT_EQ("whole\r\n", ReadWhileOpen(folder / L"run.log"));
}

TEST(RunLog, AnOverlongLineIsCutBetweenCharacters) {
    std::wstring line = L"a";
    for (int i = 0; i < 1000; ++i) line += L"\U0001F600";
    char bytes[4096];
    uint32_t count = EncodeLogLine(line.c_str(), bytes, sizeof(bytes));
    ASSERT_GT(count, 2u);
    std::string encoded(bytes, count);
    EXPECT_EQ("\r\n", encoded.substr(count - 2));
    EXPECT_EQ(0u, (count - 3) % 4) << "whole four-byte characters after the 'a'";
    EXPECT_EQ(std::string::npos, encoded.find("\xef\xbf\xbd")) << "no replacement character";

    SYSTEMTIME time = {2026, 12, 2, 8, 7, 5, 3, 0};
    wchar_t text[32];
    FormatLogTime(time, text, 32);
    EXPECT_STREQ(L"2026-12-08 07:05:03", text);
}

}  // namespace
