#include "install/install_step.h"
#include "common/bounded_text.h"
#include "install/file_writer.h"
#include "install/registry.h"
#include "fake_shell_link.h"
#include "registry_recorder.h"
#include "resources/resource_ids.h"
#include "setup/setup_state.h"
#include "tests/support/message_pump.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shell_link.h"
#include "wizard/frame.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

constexpr const char* Succeeded = "Installation completed successfully.";
constexpr const char* Failed = "Installation failed.";
constexpr const wchar_t* WriteFailed = L"ERROR: Write failed.";
constexpr uint64_t OneMinute = 60ull * 10000000ull;

const wchar_t* const Names[8] = {L"Ostrel",     L"Glimmerdox", L"Tindlevault", L"Blorra",
                                 L"Humbrewave", L"Jottervale", L"Cryvane",     L"Pebbrack"};

// The last step's write of the uninstaller refused; the first, before the programs, goes through.
uint32_t uninstallerPlacements = 0;
BOOL WINAPI RefusedSecondUninstallerPlacement(LPCWSTR from, LPCWSTR to, DWORD flags) {
    const std::wstring target = to != nullptr ? to : L"";
    if (target.size() > 13 && target.substr(target.size() - 13) == L"uninstall.exe" && ++uninstallerPlacements == 2) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::MoveFileExW(from, to, flags);
}

// What one install step left behind, seen right after the tick that ran it.
struct StepSnapshot {
    uint32_t Step;
    uint32_t BarPosition;
    uint32_t Lines;
    size_t RegistryValues;
    std::string Status;
    std::wstring InstallFolder;
    std::wstring StartMenuFolder;
};

// The real frame and pages, driven the way a user drives them, with the installation paced by the
// frame's own timer. Folders live in a scratch folder; every registry key written is removed.
class Installation : public ::testing::Test {
public:
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        CurrentSetup = &setup_;
        ASSERT_EQ(0u, setup_.LoadPayload());
        installFolder_ = folder_ / L"Apps\\Kelvorin\\";
        createdParent_ = folder_ / L"Apps\\";
        startMenuFolder_ = folder_ / L"Programs\\Kelvorin\\";
        SetFolders(installFolder_, startMenuFolder_);
        setup_.FrameWindow = ::CreateDialogParamW(setup_.Instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                                  FrameDialogProc, 0);
        ASSERT_NE(nullptr, setup_.FrameWindow);
    }

    void TearDown() override {
        FileWriterSeams::MoveFileExCall = ::MoveFileExW;
        if (CurrentSetup == nullptr) return;
        if (::IsWindow(setup_.FrameWindow)) {
            ::SendMessageW(setup_.FrameWindow, WM_CLOSE, 0, 0);
        }
        if (::IsWindow(setup_.FrameWindow)) {  // an installation that never finished refuses to close
            setup_.State = Closing;
            ::DestroyWindow(setup_.FrameWindow);
        }
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        }
        CurrentSetup = nullptr;
        ::CoUninitialize();
    }

    void SetFolders(const std::wstring& install, const std::wstring& startMenu) {
        ASSERT_LT(install.size(), PathCapacity);
        ASSERT_LT(startMenu.size(), PathCapacity);
        wcscpy(setup_.InstallFolder, install.c_str());
        wcscpy(setup_.StartMenuFolder, startMenu.c_str());
    }

    HWND Page(uint32_t page) const { return setup_.PageWindows[page]; }

    void Tick(uint32_t component, bool ticked) {
        ::CheckDlgButton(Page(WizardPage::Components), IDC_COMPONENT_FIRST + component, ticked ? BST_CHECKED : BST_UNCHECKED);
    }

    void TickOnly(std::initializer_list<uint32_t> components) {
        for (uint32_t n = 0; n < 8; ++n) Tick(n, false);
        for (uint32_t n : components) Tick(n, true);
    }

    void Press(uint32_t page, int button) {
        ::SendMessageW(Page(page), WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                       reinterpret_cast<LPARAM>(::GetDlgItem(Page(page), button)));
    }

    // "I Agree", "Next >" and "Install": the Folder page works out the space before the installation.
    void StartInstallation() {
        Press(WizardPage::License, IDOK);
        Press(WizardPage::Components, IDOK);
        ASSERT_EQ(WizardPage::Folder, setup_.CurrentPage);
        Press(WizardPage::Folder, IDOK);
        ASSERT_EQ(WizardPage::Progress, setup_.CurrentPage);
        ASSERT_EQ(Installing, setup_.State);
    }

    // Runs the message loop until step 8 has run, noting what each step left. midway runs once, after
    // the step it names.
    void RunUntilFinished(uint32_t midwayStep = 99, void (*midway)(Installation&) = nullptr) {
        MessagePump pump(setup_);
        pump.OnStepTick = [&](uint32_t step, double) {
            steps_.push_back(Snapshot(step));
            if (step == midwayStep && midway != nullptr) midway(*this);
        };
        ASSERT_TRUE(pump.PumpUntil([&] { return setup_.State == Finished; }, 15000))
            << "the installation did not finish in time";
    }

    StepSnapshot Snapshot(uint32_t step) {
        HWND bar = ::GetDlgItem(Page(WizardPage::Progress), IDC_PROGRESS_BAR);
        return {step,
                static_cast<uint32_t>(::SendMessageW(bar, PBM_GETPOS, 0, 0)),
                static_cast<uint32_t>(::SendMessageW(setup_.DetailsList, LB_GETCOUNT, 0, 0)),
                recorder_.Values().size(),
                Status(),
                setup_.InstallFolder,
                setup_.StartMenuFolder};
    }

    std::string Status() {
        char text[128] = {};
        ::GetDlgItemTextA(Page(WizardPage::Progress), IDC_STATUS_TEXT, text, sizeof(text));
        return text;
    }

    std::vector<std::wstring> Lines() {
        std::vector<std::wstring> lines;
        int count = static_cast<int>(::SendMessageW(setup_.DetailsList, LB_GETCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t line[512] = {};
            ::SendMessageW(setup_.DetailsList, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
            lines.push_back(line);
        }
        return lines;
    }

    std::wstring Exe(uint32_t n) const { return installFolder_ + Names[n] + L".exe"; }
    std::wstring Link(uint32_t n) const { return startMenuFolder_ + Names[n] + L".lnk"; }
    std::wstring Uninstaller() const { return installFolder_ + L"uninstall.exe"; }

    std::string Body(uint32_t entry) const {
        const PayloadEntry& e = setup_.PayloadDirectory[entry];
        return std::string(reinterpret_cast<const char*>(setup_.Payload.Data) + e.Offset, e.Size);
    }

    uint32_t SizeOf(std::initializer_list<uint32_t> components) const {
        uint32_t bytes = setup_.PayloadDirectory[9].Size;
        for (uint32_t n : components) bytes += setup_.PayloadDirectory[n + 1].Size;
        return bytes;
    }

    // Every value in the order it is handed over. A listed installation writes its uninstall entry before
    // the uninstaller takes its name, then the record of the folder it created above the install folder
    // (when it created one), the components' values, AppPath and the entry again.
    // installed: the names the record lists, those whose programs are in place at the end.
    std::vector<RecordedValue> ExpectedValues(std::initializer_list<uint32_t> components, uint32_t bytesRequired,
                                              bool listed, const std::wstring& installed) const {
        std::vector<RecordedValue> entry;
        if (listed) entry = ExpectedUninstallEntry(Uninstaller(), bytesRequired >> 10);
        std::vector<RecordedValue> values = entry;
        if (listed && !createdParent_.empty()) values.push_back(ExpectedCreatedParent(createdParent_));
        for (uint32_t n : components) {
            for (const RecordedValue& value : ExpectedComponentValues(n, Exe(n))) values.push_back(value);
        }
        for (const RecordedValue& value : ExpectedInstallationRecord(installFolder_, installed)) values.push_back(value);
        values.insert(values.end(), entry.begin(), entry.end());
        return values;
    }

    // What an installation that failed in a component's step wrote: the early entry, the record of the
    // folder it created and the components' values; after a failure the last step writes nothing.
    std::vector<RecordedValue> ExpectedValuesBeforeAFailure(std::initializer_list<uint32_t> components) const {
        std::vector<RecordedValue> values = ExpectedUninstallEntry(Uninstaller(), SizeOf(components) >> 10);
        if (!createdParent_.empty()) values.push_back(ExpectedCreatedParent(createdParent_));
        for (uint32_t n : components) {
            for (const RecordedValue& value : ExpectedComponentValues(n, Exe(n))) values.push_back(value);
        }
        return values;
    }

    // Every step, whatever it wrote, leaves both folders as they were and moves the bar one ninth.
    void ExpectNineStepsFromBareFolders() {
        ASSERT_EQ(9u, steps_.size());
        const uint32_t positions[9] = {11, 22, 33, 44, 55, 66, 77, 88, 100};
        for (uint32_t i = 0; i < 9; ++i) {
            EXPECT_EQ(i, steps_[i].Step);
            EXPECT_EQ(positions[i], steps_[i].BarPosition) << "after step " << i;
            EXPECT_EQ(installFolder_, steps_[i].InstallFolder) << "after step " << i;
            EXPECT_EQ(startMenuFolder_, steps_[i].StartMenuFolder) << "after step " << i;
        }
        EXPECT_STREQ(L"Uninstall", setup_.ComponentTable[8]);
        EXPECT_EQ(0u, setup_.PendingStep);
    }

    RegistryCleanup cleanup_;
    ScratchFolder folder_;
    SetupState setup_{::GetModuleHandleW(nullptr)};
    RegistryRecorder recorder_;
    std::wstring installFolder_;
    std::wstring createdParent_;  // empty once a test makes the install folder itself
    std::wstring startMenuFolder_;
    std::vector<StepSnapshot> steps_;
};

TEST_F(Installation, AllEightComponentsThroughTheRealFrameAndTimer) {
    uint64_t started = Now();
    StartInstallation();
    ASSERT_EQ(2163200u, setup_.BytesRequired);
    // Killed after its first step, the installation is listed already, with its uninstaller in place.
    RunUntilFinished(0, [](Installation& run) {
        EXPECT_EQ(run.Body(9), ReadWholeFile(run.Uninstaller()));
        for (const RecordedValue& value : ExpectedUninstallEntry(run.Uninstaller(), 2163200 >> 10)) {
            RecordedValue actual;
            EXPECT_TRUE(ReadBack(value, &actual));
            EXPECT_EQ(value, actual) << std::string(value.Name.begin(), value.Name.end());
        }
    });
    ExpectNineStepsFromBareFolders();

    std::vector<std::wstring> expectedLines;
    for (uint32_t n = 0; n < 8; ++n) {
        expectedLines.push_back(Exe(n));
        expectedLines.push_back(Link(n));
    }
    expectedLines.push_back(Uninstaller());
    EXPECT_EQ(expectedLines, Lines());
    for (uint32_t n = 0; n < 9; ++n) EXPECT_EQ(n == 8 ? 17u : 2 * (n + 1), steps_[n].Lines) << "after step " << n;
    EXPECT_EQ(Succeeded, Status());
    EXPECT_EQ(0u, setup_.ErrorCount);

    // The 47 values in the order they were handed over, and each one step by step.
    std::vector<RecordedValue> expected = ExpectedValues({4, 5, 6, 7}, 2163200, true, EveryComponentName);
    ASSERT_EQ(47u, expected.size());
    EXPECT_EQ(expected, recorder_.Values());
    const size_t valuesAfter[9] = {13, 13, 13, 13, 17, 22, 27, 32, 47};
    for (uint32_t n = 0; n < 9; ++n) EXPECT_EQ(valuesAfter[n], steps_[n].RegistryValues) << "after step " << n;
    for (const RecordedValue& value : expected) {
        RecordedValue actual;
        EXPECT_TRUE(ReadBack(value, &actual));
        EXPECT_EQ(value, actual) << std::string(value.Key.begin(), value.Key.end());
    }

    for (uint32_t n = 0; n < 8; ++n) {
        EXPECT_EQ(Body(n + 1), ReadWholeFile(Exe(n))) << "component " << n;
        FileTimes times;
        ASSERT_TRUE(ReadFileTimes(Exe(n), &times));
        EXPECT_EQ(AsInteger(setup_.PayloadDirectory[n + 1].LastWriteTime), times.Written) << "component " << n;
        EXPECT_EQ(Exe(n), ResolveLink(Link(n))) << "component " << n;
    }
    EXPECT_EQ(Body(9), ReadWholeFile(Uninstaller()));
    FileTimes times;
    ASSERT_TRUE(ReadFileTimes(Uninstaller(), &times));
    EXPECT_GE(times.Written + OneMinute, started);
    EXPECT_LE(times.Written, Now() + OneMinute);
}

TEST_F(Installation, OnlyOstrelGivesThreeLinesAndNoComponentValues) {
    TickOnly({0});
    StartInstallation();
    ASSERT_EQ(SizeOf({0}), setup_.BytesRequired);
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    EXPECT_EQ((std::vector<std::wstring>{Exe(0), Link(0), Uninstaller()}), Lines());
    // Unticked steps leave the name of the last ticked component above the bar.
    for (uint32_t n = 0; n < 8; ++n) EXPECT_EQ("Ostrel", steps_[n].Status) << "after step " << n;
    EXPECT_EQ(ExpectedValues({0}, SizeOf({0}), true, L"Ostrel"), recorder_.Values());
    for (uint32_t n = 1; n < 8; ++n) EXPECT_FALSE(FileExists(Exe(n)));
    EXPECT_EQ(Succeeded, Status());
}

// Also in the folder: the temporary files of an installation killed while it wrote, which go, and a
// user's files of other names, which stay. Jottervale, held open once the installation has started,
// waits beside its place for the restart; everything else is in place now.
TEST_F(Installation, AJottervaleHeldOpenTakesItsPlaceAtTheRestart) {
    ASSERT_TRUE(::SHCreateDirectoryExW(nullptr, installFolder_.c_str(), nullptr) == ERROR_SUCCESS);
    createdParent_.clear();
    ASSERT_TRUE(WriteWholeFile(Exe(5), "held"));
    const std::vector<std::wstring> leftovers = {L"~kv3f0.tmp", L"~KV0AB.TMP"};
    const std::vector<std::wstring> usersFiles = {L"Ostrel.ex~", L"~kv12.tmp", L"~kv3f0.tmp.txt", L"~kvold.tmp"};
    for (const std::wstring& name : leftovers) ASSERT_TRUE(WriteWholeFile(installFolder_ + name, "cut short"));
    for (const std::wstring& name : usersFiles) ASSERT_TRUE(WriteWholeFile(installFolder_ + name, "mine"));
    StartInstallation();
    static HANDLE holder = INVALID_HANDLE_VALUE;
    RunUntilFinished(2, [](Installation& run) {
        holder = ::CreateFileW(run.Exe(5).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    ::CloseHandle(holder);
    ExpectNineStepsFromBareFolders();
    for (const std::wstring& name : leftovers) EXPECT_FALSE(FileExists(installFolder_ + name)) << name.c_str();
    for (const std::wstring& name : usersFiles) EXPECT_EQ("mine", ReadWholeFile(installFolder_ + name)) << name.c_str();

    std::vector<std::wstring> lines = Lines();
    ASSERT_EQ(18u, lines.size());
    EXPECT_EQ(Exe(5), lines[10]);
    EXPECT_EQ(L"In use: the new program takes its place at the next restart.", lines[11]);
    EXPECT_EQ(Link(5), lines[12]);
    EXPECT_EQ(Uninstaller(), lines[17]);
    EXPECT_EQ("held", ReadWholeFile(Exe(5)));
    EXPECT_EQ(0u, setup_.ErrorCount);
    EXPECT_EQ(1u, setup_.RestartCount);
    EXPECT_EQ("Restart the computer to finish the installation.", Status());
    EXPECT_EQ(ExpectedValues({4, 5, 6, 7}, 2163200, true, EveryComponentName), recorder_.Values());
}

// A failure ends the writing: the step that failed finishes, the later ones write nothing, and the last
// one undoes every change, the most recent first, naming each.
TEST_F(Installation, AFailingPebbrackShortcutUndoesTheInstallation) {
    // A folder where the link file should go makes saving the link fail.
    ASSERT_TRUE(::SHCreateDirectoryExW(nullptr, Link(7).c_str(), nullptr) == ERROR_SUCCESS);
    TickOnly({7});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    std::vector<std::wstring> lines = Lines();
    ASSERT_EQ(24u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{Exe(7), Link(7), WriteFailed}),
              std::vector<std::wstring>(lines.begin(), lines.begin() + 3));
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Classes\\Pebbrack.File\\shell\\open\\command: (Default)", lines[3]);
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Classes\\.pbr: (Default)", lines[7]);
    EXPECT_EQ(L"Undo: removed " + Exe(7), lines[8]);
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Kelvorin: CreatedParent", lines[9]);
    EXPECT_EQ(L"Undo: removed " + Uninstaller(), lines[10]);
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin: "
              L"VersionMinor", lines[11]);
    EXPECT_EQ(L"Undo: removed the empty folders made for " + installFolder_, lines[23]);
    const std::vector<RecordedValue> expected = ExpectedValuesBeforeAFailure({7});
    EXPECT_EQ(expected, recorder_.Values());
    for (const RecordedValue& value : expected) {
        RecordedValue actual;
        EXPECT_FALSE(ReadBack(value, &actual)) << std::string(value.Key.begin(), value.Key.end());
    }
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\Pebbrack.File", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin", KEY_WOW64_32KEY));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((folder_ / L"Apps").c_str()));
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(Link(7).c_str())) << "the folder of someone else's stays";
    EXPECT_EQ(1u, setup_.ErrorCount);
    EXPECT_EQ(Failed, Status());
}

// A shortcut saved with a positive result and a registry value refused: each is one more error under
// the line that names what failed, the step goes on to its end, and then everything is undone. The
// entry's early write reports nothing.
TEST_F(Installation, ARefusedValueOrAPositiveShellResultIsAFailedWrite) {
    const std::vector<RecordedValue> jottervale = ExpectedComponentValues(5, Exe(5));
    const RecordedValue& icon = jottervale[2];
    const RecordedValue displayName = ExpectedUninstallEntry(Uninstaller(), SizeOf({5}) >> 10)[1];
    recorder_.Refuse(icon);
    recorder_.Refuse(displayName);
    FakeShellLink link;
    link.SaveResult = S_FALSE;
    TickOnly({5});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    std::vector<std::wstring> lines = Lines();
    ASSERT_LT(5u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{Exe(5), Link(5), WriteFailed, L"HKLM\\" + icon.Key, WriteFailed}),
              std::vector<std::wstring>(lines.begin(), lines.begin() + 5));
    EXPECT_EQ(0u, lines[5].rfind(L"Undo: ", 0));
    EXPECT_EQ(2u, setup_.ErrorCount);
    EXPECT_EQ(Failed, Status());
    EXPECT_EQ(ExpectedValuesBeforeAFailure({5}), recorder_.Values());
    RecordedValue actual;
    EXPECT_FALSE(ReadBack(icon, &actual));
    EXPECT_FALSE(ReadBack(jottervale[3], &actual));
}

// An undo that fails (the new Glimmerdox held open, so the earlier one cannot come back) is named, and
// the undo stops short of what lists the installation: it stays listed, to be removed.
TEST_F(Installation, AnUndoThatFailsLeavesTheInstallationListed) {
    ASSERT_TRUE(::SHCreateDirectoryExW(nullptr, installFolder_.c_str(), nullptr) == ERROR_SUCCESS);
    createdParent_.clear();
    ASSERT_TRUE(WriteWholeFile(Exe(1), "earlier"));
    ASSERT_TRUE(::CreateDirectoryW(Exe(7).c_str(), nullptr));
    TickOnly({1, 7});
    StartInstallation();
    static HANDLE holder = INVALID_HANDLE_VALUE;
    RunUntilFinished(1, [](Installation& run) {
        holder = ::CreateFileW(run.Exe(1).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    });
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    ::CloseHandle(holder);
    const std::vector<std::wstring> lines = Lines();
    ASSERT_LT(3u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{L"Undo: put back " + Exe(1), L"ERROR: Undo failed.",
                                         L"The installation stays listed, so that it can be removed."}),
              std::vector<std::wstring>(lines.end() - 3, lines.end()));
    EXPECT_EQ(Body(2), ReadWholeFile(Exe(1)));
    EXPECT_FALSE(FileExists(Link(1)));
    EXPECT_EQ(Body(9), ReadWholeFile(Uninstaller()));
    EXPECT_TRUE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin", KEY_WOW64_32KEY));
    EXPECT_EQ(Failed, Status());
}

// Without its uninstaller nothing could take a program back: nothing else is written, not a program, a
// link, a value or AppPath, and the uninstaller's line names the failure.
TEST_F(Installation, AFolderInTheUninstallersPlaceStopsTheInstallation) {
    // A folder named like the uninstaller cannot be replaced by a file. An earlier installation here,
    // of Ostrel and Glimmerdox, loses neither its unchosen program nor its chosen one.
    ASSERT_TRUE(::SHCreateDirectoryExW(nullptr, Uninstaller().c_str(), nullptr) == ERROR_SUCCESS);
    ASSERT_TRUE(WriteWholeFile(Exe(0), "earlier") && WriteWholeFile(Exe(1), "earlier"));
    setup_.Installed.Relation = EarlierInstalled;
    setup_.Installed.Components = 0x3;
    ASSERT_TRUE(CopyText(setup_.Installed.Folder, PathCapacity, installFolder_.c_str()));
    TickOnly({1, 5});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    EXPECT_EQ((std::vector<std::wstring>{Uninstaller(), WriteFailed}), Lines());
    EXPECT_TRUE(recorder_.Values().empty());
    EXPECT_TRUE(FileExists(Exe(0)));
    EXPECT_EQ(std::string("earlier"), ReadWholeFile(Exe(1)));
    EXPECT_FALSE(FileExists(Link(1)));
    EXPECT_FALSE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin", KEY_WOW64_32KEY));
    RecordedValue appPath;
    EXPECT_FALSE(ReadBack(ExpectedAppPath(installFolder_), &appPath));
    EXPECT_EQ(1u, setup_.ErrorCount);
    EXPECT_EQ(Failed, Status());
}

// Values that were there before the installation come back with their data: the saved folder of an
// earlier installation here, overwritten by the last step before its write of the uninstaller failed.
TEST_F(Installation, AFailingUninstallerPutsBackTheSavedFolderItOverwrote) {
    FileWriterSeams::MoveFileExCall = RefusedSecondUninstallerPlacement;
    const std::wstring earlierFolder = L"D:\\Earlier\\";
    const RecordedValue earlier = ExpectedAppPath(earlierFolder);
    ASSERT_EQ(1u, WriteRegistryValue(L"Software\\Kelvorin", L"AppPath", REG_SZ, earlierFolder.c_str(),
                                     static_cast<DWORD>((earlierFolder.size() + 1) * sizeof(wchar_t))));
    TickOnly({1});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    std::vector<std::wstring> lines = Lines();
    ASSERT_LT(4u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{Exe(1), Link(1), Uninstaller(), WriteFailed}),
              std::vector<std::wstring>(lines.begin(), lines.begin() + 4));
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Kelvorin: Components", lines[4]);
    EXPECT_EQ(L"Undo: removed HKLM\\Software\\Kelvorin: Version", lines[5]);
    EXPECT_EQ(L"Undo: put back HKLM\\Software\\Kelvorin: AppPath", lines[6]);
    EXPECT_EQ(L"Undo: removed " + Link(1), lines[7]);
    // Everything up to the last step's entry, which its failed uninstaller never reached.
    std::vector<RecordedValue> expected = ExpectedValues({1}, SizeOf({1}), true, L"Glimmerdox");
    expected.resize(expected.size() - ExpectedUninstallEntry(Uninstaller(), 0).size());
    EXPECT_EQ(expected, recorder_.Values());
    EXPECT_FALSE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin", KEY_WOW64_32KEY));
    RecordedValue appPath;
    EXPECT_TRUE(ReadBack(earlier, &appPath));
    EXPECT_EQ(earlier, appPath);
    EXPECT_FALSE(FileExists(Exe(1)));
    EXPECT_FALSE(FileExists(Link(1)));
    EXPECT_EQ(Failed, Status());
}

TEST_F(Installation, NothingTickedWritesNothingAndSucceeds) {
    TickOnly({});
    Press(WizardPage::License, IDOK);
    Press(WizardPage::Components, IDOK);
    ASSERT_EQ(0u, setup_.BytesRequired);
    // "Install" is disabled then; the command itself still reaches the page.
    Press(WizardPage::Folder, IDOK);
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    EXPECT_TRUE(Lines().empty());
    EXPECT_TRUE(recorder_.Values().empty());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(installFolder_.c_str()));
    EXPECT_EQ(Succeeded, Status());
}

TEST_F(Installation, CloseRequestsDuringTheInstallationAreDropped) {
    StartInstallation();
    RunUntilFinished(2, [](Installation& run) {
        ::PostMessageW(run.setup_.FrameWindow, WM_CLOSE, 0, 0);
        run.Press(WizardPage::Progress, IDOK);      // "Close"
        run.Press(WizardPage::Progress, IDCANCEL);  // Esc
    });
    ExpectNineStepsFromBareFolders();
    EXPECT_TRUE(::IsWindow(setup_.FrameWindow));
    EXPECT_EQ(WizardPage::Progress, setup_.CurrentPage);
    EXPECT_EQ(17u, Lines().size());
    EXPECT_EQ(Succeeded, Status());
}

// Folders longer than the install steps' buffers allow: the path that does not fit is listed cut to
// fit and counts as a failed write, and nothing is written past a buffer.
TEST_F(Installation, FoldersTooLongForTheirBuffersFailTheirWrites) {
    std::wstring longFolder = L"C:\\" + std::wstring(291, L'k') + L"\\";  // 295 characters
    installFolder_ = longFolder;
    SetFolders(installFolder_, startMenuFolder_);
    TickOnly({0});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    // The uninstaller's path does not fit: without it nothing else is written.
    const std::wstring cutUninstaller = (longFolder + L"uninstall.exe").substr(0, PathCapacity - 1);
    EXPECT_EQ((std::vector<std::wstring>{cutUninstaller, WriteFailed}), Lines());
    EXPECT_EQ(1u, setup_.ErrorCount);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(startMenuFolder_.c_str()))
        << "the Start-menu folder is made only for a written program";
    EXPECT_TRUE(recorder_.Values().empty());
    EXPECT_EQ(Failed, Status());
}

TEST_F(Installation, AStartMenuFolderTooLongFailsTheLinkAndTheInstallation) {
    std::wstring longMenu = L"C:\\" + std::wstring(287, L'm') + L"\\";  // 291: "Pebbrack.lnk" cannot fit
    startMenuFolder_ = longMenu;
    SetFolders(installFolder_, startMenuFolder_);
    TickOnly({7});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    const std::wstring cutLink = (longMenu + L"Pebbrack.lnk").substr(0, PathCapacity - 1);
    std::vector<std::wstring> lines = Lines();
    ASSERT_LT(3u, lines.size());
    EXPECT_EQ((std::vector<std::wstring>{Exe(7), cutLink, WriteFailed}),
              std::vector<std::wstring>(lines.begin(), lines.begin() + 3));
    EXPECT_EQ(L"Undo: removed " + Exe(7), lines[8]);
    EXPECT_FALSE(FileExists(Exe(7)));
    EXPECT_EQ(1u, setup_.ErrorCount);
}

// A folder that fills its buffer to the last cell: the uninstaller's name cannot even start, and the
// lower-case letter must not land on the terminator.
TEST_F(Installation, AFolderFillingItsWholeBufferStaysTerminated) {
    installFolder_ = L"C:\\" + std::wstring(295, L'f') + L"\\";  // 299 characters
    SetFolders(installFolder_, startMenuFolder_);
    TickOnly({3});
    StartInstallation();
    RunUntilFinished();
    ExpectNineStepsFromBareFolders();
    EXPECT_EQ((std::vector<std::wstring>{installFolder_, WriteFailed}), Lines());
    EXPECT_EQ(0, setup_.InstallFolder[PathCapacity - 1]);
}

}  // namespace
