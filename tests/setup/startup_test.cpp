#include "common/dll_search.h"
#include "resources/resource_ids.h"
#include "common/exit_code.h"
#include "common/product_texts.h"
#include "setup/setup_state.h"
#include "common/single_instance.h"
#include "setup/startup.h"
#include "wizard/frame.h"
#include "wizard/init_wizard.h"
#include "tests/setup/test_modules.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// What the start-up showed, seen from a thread timer that runs inside every modal loop of this thread.
struct Observed {
    int Boxes = 0;
    std::string Text;
    std::string Caption;
    HWND Owner = nullptr;
    HICON Icon = nullptr;
    bool FrameSeen = false;
};
Observed observed;

BOOL CALLBACK FindIcon(HWND child, LPARAM found) {
    if ((::GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        *reinterpret_cast<HICON*>(found) = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    }
    return TRUE;
}

BOOL CALLBACK Answer(HWND window, LPARAM) {
    if (!::IsWindowVisible(window)) {
        return TRUE;
    }
    char className[32] = {};
    ::GetClassNameA(window, className, sizeof(className));
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    if (std::string(className) == "#32770" && ::GetDlgItem(window, 0xFFFF) != nullptr) {
        char text[2048] = {};
        char caption[64] = {};
        ::GetDlgItemTextA(window, 0xFFFF, text, sizeof(text));
        ::GetWindowTextA(window, caption, sizeof(caption));
        observed.Boxes++;
        observed.Text = text;
        observed.Caption = caption;
        observed.Owner = ::GetWindow(window, GW_OWNER);
        ::EnumChildWindows(window, FindIcon, reinterpret_cast<LPARAM>(&observed.Icon));
        ::PostMessageW(window, WM_COMMAND, IDOK, 0);
    } else if (std::wstring(title) == ProductTitle) {
        observed.FrameSeen = true;
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
    return TRUE;
}

void CALLBACK Watch(HWND, UINT, UINT_PTR, DWORD) {
    ::EnumThreadWindows(::GetCurrentThreadId(), Answer, 0);
}

HRESULT WINAPI FailingComStart(LPVOID, DWORD) {
    return E_OUTOFMEMORY;
}
BOOL WINAPI FailingControlsStart(const INITCOMMONCONTROLSEX*) {
    return FALSE;
}
BOOL WINAPI NotAnAdministrator(HANDLE, PSID, PBOOL member) {
    *member = FALSE;
    return TRUE;
}

class Startup : public ::testing::Test {
protected:
    void SetUp() override {
        observed = Observed{};
        timer_ = ::SetTimer(nullptr, 0, 50, Watch);
    }
    void TearDown() override {
        ::KillTimer(nullptr, timer_);
        StartupSeams::CoInitializeExCall = ::CoInitializeEx;
        StartupSeams::InitCommonControlsExCall = ::InitCommonControlsEx;
        StartupSeams::CheckTokenMembershipCall = ::CheckTokenMembership;
        InitWizardSeams::SetTimerCall = ::SetTimer;
    }
    UINT_PTR timer_ = 0;
};

TEST_F(Startup, RunsTheFrameUntilItClosesAndExitsWithZero) {
    EXPECT_EQ(0, RunSetup(::GetModuleHandleW(nullptr)));
    EXPECT_TRUE(observed.FrameSeen);
    EXPECT_EQ(0, observed.Boxes);
}

// The installer started from one of the resource-only modules; its exit code.
int RunSetupFrom(const wchar_t* module, const wchar_t* commandLine = nullptr) {
    HMODULE loaded = LoadPayloadModule(module);
    EXPECT_NE(nullptr, loaded) << module;
    if (loaded == nullptr) return -1;
    int code = RunSetup(loaded, commandLine);
    ::FreeLibrary(loaded);
    return code;
}

// One message box without an owner, and no wizard.
void ExpectOneBox(const char* text, const char* caption, LPCWSTR icon) {
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_EQ(text, observed.Text);
    EXPECT_EQ(caption, observed.Caption);
    EXPECT_EQ(nullptr, observed.Owner);
    EXPECT_EQ(::LoadIconW(nullptr, icon), observed.Icon);
    EXPECT_FALSE(observed.FrameSeen);
}

void ExpectOneInitFailureBox() {
    ExpectOneBox("Setup initialization failed.", "Error", IDI_ERROR);
}

TEST_F(Startup, DamagedPayloadIsReportedBeforeTheRightsCheck) {
    StartupSeams::CheckTokenMembershipCall = NotAnAdministrator;
    EXPECT_EQ(ExitInitializationFailed, RunSetupFrom(L"checksum"));
    ExpectOneInitFailureBox();
}

TEST_F(Startup, FrameThatCannotBeCreatedIsReported) {
    EXPECT_EQ(ExitFrameNotCreated, RunSetupFrom(L"intact"));  // the payload, but no dialog templates
    ExpectOneInitFailureBox();
}

UINT_PTR WINAPI FailingSetTimer(HWND, UINT_PTR, UINT, TIMERPROC) {
    return 0;
}

// A wizard that fails inside the frame's creation closes the frame, which quits with the code.
TEST_F(Startup, WizardThatCannotBeBuiltQuitsWithItsOwnCode) {
    // The frame from this program, the pages from a module without their templates.
    HMODULE withoutDialogs = LoadPayloadModule(L"intact");
    ASSERT_NE(nullptr, withoutDialogs);
    {
        SetupState setup(withoutDialogs);
        CurrentSetup = &setup;
        setup.FrameWindow = ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                                 FrameDialogProc, 0);
        ASSERT_NE(nullptr, setup.FrameWindow);
        MSG message = {};
        const DWORD start = ::GetTickCount();
        while (::GetTickCount() - start < 10000 && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
            ::DispatchMessageW(&message);
        }
        ::FreeLibrary(withoutDialogs);
        EXPECT_EQ(static_cast<UINT>(WM_QUIT), message.message);
        EXPECT_EQ(ExitWizardNotBuilt, static_cast<int>(message.wParam));
        ExpectOneInitFailureBox();
    }

    // Every page built, but the step timer refused.
    observed = Observed{};
    InitWizardSeams::SetTimerCall = FailingSetTimer;
    EXPECT_EQ(ExitWizardNotBuilt, RunSetup(::GetModuleHandleW(nullptr)));
    ExpectOneInitFailureBox();
}

TEST_F(Startup, NonAdministratorIsWarnedAfterThePayloadLoaded) {
    StartupSeams::CheckTokenMembershipCall = NotAnAdministrator;
    EXPECT_EQ(ExitNotAdministrator, RunSetup(::GetModuleHandleW(nullptr)));
    ExpectOneBox("You must be logged in as an administrator to install this software.", "Kelvorin App Pack",
                 IDI_WARNING);
}

std::string ReadLog(const std::wstring& path) {
    std::ifstream file(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Where no one watches, a start that fails shows nothing and only the log tells why.
TEST_F(Startup, UnattendedStartFailuresShowNoBoxAndAreLogged) {
    ScratchFolder folder;
    const std::wstring log = folder / L"setup.log";
    const std::wstring quiet = L"setup.exe /quiet \"/log=" + log + L"\"";
    StartupSeams::CheckTokenMembershipCall = NotAnAdministrator;
    EXPECT_EQ(ExitNotAdministrator, RunSetup(::GetModuleHandleW(nullptr), quiet.c_str()));
    EXPECT_NE(std::string::npos, ReadLog(log).find(
        "You must be logged in as an administrator to install this software.\r\nExit code: 4\r\n"));
    EXPECT_EQ(ExitNotAdministrator,
              RunSetup(::GetModuleHandleW(nullptr), (L"setup.exe /passive /log=" + log).c_str()));
    StartupSeams::CheckTokenMembershipCall = ::CheckTokenMembership;
    EXPECT_EQ(ExitInitializationFailed, RunSetupFrom(L"checksum", quiet.c_str()));
    EXPECT_NE(std::string::npos, ReadLog(log).find("Setup initialization failed.\r\nExit code: 3\r\n"));
    EXPECT_EQ(0, observed.Boxes);
    EXPECT_FALSE(observed.FrameSeen);
}

// The record of an installation as a newer release would leave it, in the 32-bit view; removed whole.
class NewerInstalled {
public:
    explicit NewerInstalled(const std::wstring& folder) {
        HKEY key = nullptr;
        if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kelvorin", 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                              nullptr, &key, nullptr) != ERROR_SUCCESS) {
            return;
        }
        const std::wstring values[3][2] = {{L"AppPath", folder}, {L"Version", L"65535.0.0.0"}, {L"Components", L"Ostrel"}};
        for (const auto& value : values) {
            ::RegSetValueExW(key, value[0].c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value[1].c_str()),
                             static_cast<DWORD>((value[1].size() + 1) * sizeof(wchar_t)));
        }
        ::RegCloseKey(key);
    }
    ~NewerInstalled() { ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Kelvorin", KEY_WOW64_32KEY, 0); }
};

// A newer version installed ends every mode before a page shows or anything is written: with one box
// that names both versions in the wizard's mode, with none and a log line under /quiet and /passive.
TEST_F(Startup, ANewerInstalledVersionEndsEveryModeWith1638) {
    ScratchFolder folder;
    NewerInstalled record(folder.Path());
    const std::wstring log = folder / L"setup.log";
    for (const wchar_t* mode : {L"/quiet", L"/passive"}) {
        const std::wstring command = std::wstring(L"setup.exe ") + mode + L" \"/log=" + log + L"\"";
        EXPECT_EQ(ExitNewerVersionInstalled, RunSetup(::GetModuleHandleW(nullptr), command.c_str()));
        const std::string text = ReadLog(log);
        EXPECT_NE(std::string::npos, text.find("\r\nFound: version 65535.0.0.0 in ")) << text;
        EXPECT_NE(std::string::npos, text.find(" with Ostrel.\r\nRefused: the installed version 65535.0.0.0 is newer "
                                               "than this setup's 23.8.0.0; remove it first to go back.\r\n"
                                               "Exit code: 1638\r\n")) << text;
    }
    EXPECT_EQ(0, observed.Boxes);
    EXPECT_EQ(ExitNewerVersionInstalled, RunSetup(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_EQ(0u, observed.Text.rfind("Version 65535.0.0.0 of Kelvorin App Pack (32-bit) is installed on this "
                                      "computer. This setup holds the older version 23.8.0.0", 0)) << observed.Text;
    EXPECT_EQ(ProductTitle, std::wstring(observed.Caption.begin(), observed.Caption.end()));
    EXPECT_FALSE(observed.FrameSeen);
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((folder / L"uninstall.exe").c_str()));
}

// With a person at the screen, /? shows the usage and nothing else; under /quiet not even that.
TEST_F(Startup, HelpShowsTheUsageAndNothingElse) {
    EXPECT_EQ(ExitSucceeded, RunSetup(::GetModuleHandleW(nullptr), L"setup.exe /?"));
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_EQ(0u, observed.Text.rfind("KelvorinAppPackSetup.exe [/quiet | /passive]", 0)) << observed.Text;
    EXPECT_NE(std::string::npos, observed.Text.find("1618 another installation is running"));
    EXPECT_EQ(ProductTitle, std::wstring(observed.Caption.begin(), observed.Caption.end()));
    EXPECT_EQ(ExitSucceeded, RunSetup(::GetModuleHandleW(nullptr), L"setup.exe -help /quiet"));
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_FALSE(observed.FrameSeen);
}

TEST_F(Startup, FailingPlatformServicesEndSilently) {
    StartupSeams::CoInitializeExCall = FailingComStart;
    EXPECT_EQ(ExitComStartFailed, RunSetup(::GetModuleHandleW(nullptr)));
    StartupSeams::CoInitializeExCall = ::CoInitializeEx;
    StartupSeams::InitCommonControlsExCall = FailingControlsStart;
    EXPECT_EQ(ExitControlsStartFailed, RunSetup(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(0, observed.Boxes);
    EXPECT_FALSE(observed.FrameSeen);
}

TEST_F(Startup, IsUserAdminAsksTheTokenAndAnswersFalseWhenTheCallFails) {
    EXPECT_TRUE(IsUserAdmin());  // Wine's user belongs to the Administrators group
    StartupSeams::CheckTokenMembershipCall = NotAnAdministrator;
    EXPECT_FALSE(IsUserAdmin());
    StartupSeams::CheckTokenMembershipCall = [](HANDLE, PSID, PBOOL member) WINAPI -> BOOL {
        *member = TRUE;
        return FALSE;
    };
    EXPECT_FALSE(IsUserAdmin());
}

// A folder that a parent process handed down as its DLL folder, holding a DLL named planted.dll.
struct HandedDownDllFolder {
    HandedDownDllFolder() {
        EXPECT_TRUE(::CopyFileW(PayloadModulePath(L"none").c_str(), (Folder / L"planted.dll").c_str(), FALSE));
        EXPECT_TRUE(::SetDllDirectoryW(Folder.Path().c_str()));
    }
    static bool Loads() {
        HMODULE planted = ::LoadLibraryW(L"planted.dll");
        if (planted != nullptr) ::FreeLibrary(planted);
        return planted != nullptr;
    }
    ScratchFolder Folder;
};

// Before anything else: a start that ends at once, whatever this process's command line, has
// restricted the search all the same.
TEST_F(Startup, EntryRestrictsTheDllSearchFirst) {
    HandedDownDllFolder handedDown;
    ASSERT_TRUE(handedDown.Loads());
    HANDLE running = nullptr;
    ASSERT_TRUE(ClaimInstallation(false, &running));
    EXPECT_EQ(ExitAnotherInstallationRuns,
              wWinMain(::GetModuleHandleW(nullptr), nullptr, const_cast<wchar_t*>(L""), SW_SHOW));
    ReleaseInstallation(running);
    EXPECT_FALSE(handedDown.Loads());
}

// A Windows 7 without its update KB2533623, or a Windows Vista.
FARPROC WINAPI LookupWithoutDefaultDllDirectories(HMODULE module, LPCSTR name) {
    return std::strcmp(name, "SetDefaultDllDirectories") == 0 ? nullptr : ::GetProcAddress(module, name);
}

// Wine searches the current folder even after an empty DLL folder is set, so what the test can show is
// that the DLL folder is reset: one that a parent process handed down no longer counts.
TEST(DllSearch, WithoutDefaultDirectoriesAnEarlierDllFolderIsDroppedAndSearchPathIsSafe) {
    HandedDownDllFolder handedDown;
    ASSERT_TRUE(handedDown.Loads());
    EXPECT_TRUE(RestrictDllSearch(LookupWithoutDefaultDllDirectories));
    EXPECT_FALSE(handedDown.Loads());
    // SearchPath's safe mode is set for good: nothing later in the process can turn it off.
    EXPECT_FALSE(::SetSearchPathMode(BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE));
}

}  // namespace
