#include "common/dll_search.h"
#include "setup/exit_code.h"
#include "setup/product_texts.h"
#include "setup/setup_state.h"
#include "setup/startup.h"
#include "tests/setup/test_modules.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstring>
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
        char text[256] = {};
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
    }
    UINT_PTR timer_ = 0;
};

TEST_F(Startup, RunsTheFrameUntilItClosesAndExitsWithZero) {
    EXPECT_EQ(0, RunSetup(::GetModuleHandleW(nullptr)));
    EXPECT_TRUE(observed.FrameSeen);
    EXPECT_EQ(0, observed.Boxes);
}

// The installer started from one of the resource-only modules; its exit code.
int RunSetupFrom(const wchar_t* module) {
    HMODULE loaded = LoadPayloadModule(module);
    EXPECT_NE(nullptr, loaded) << module;
    if (loaded == nullptr) return -1;
    int code = RunSetup(loaded);
    ::FreeLibrary(loaded);
    return code;
}

void ExpectOneInitFailureBox() {
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_EQ("Setup initialization failed.", observed.Text);
    EXPECT_EQ("Error", observed.Caption);
    EXPECT_EQ(nullptr, observed.Owner);
    EXPECT_EQ(::LoadIconW(nullptr, IDI_ERROR), observed.Icon);
    EXPECT_FALSE(observed.FrameSeen);
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

TEST_F(Startup, NonAdministratorIsWarnedAfterThePayloadLoaded) {
    StartupSeams::CheckTokenMembershipCall = NotAnAdministrator;
    EXPECT_EQ(ExitNotAdministrator, RunSetup(::GetModuleHandleW(nullptr)));
    EXPECT_EQ(1, observed.Boxes);
    EXPECT_EQ("You must be logged in as an administrator to install this software.", observed.Text);
    EXPECT_EQ("Kelvorin App Pack", observed.Caption);
    EXPECT_EQ(nullptr, observed.Owner);
    EXPECT_EQ(::LoadIconW(nullptr, IDI_WARNING), observed.Icon);
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

// A Windows 7 without its update KB2533623, or a Windows Vista.
FARPROC WINAPI LookupWithoutDefaultDllDirectories(HMODULE module, LPCSTR name) {
    return std::strcmp(name, "SetDefaultDllDirectories") == 0 ? nullptr : ::GetProcAddress(module, name);
}

// Wine searches the current folder even after an empty DLL folder is set, so what the test can show is
// that the DLL folder is reset: one that a parent process handed down no longer counts.
TEST(DllSearch, WithoutDefaultDirectoriesAnEarlierDllFolderIsDroppedAndSearchPathIsSafe) {
    ScratchFolder handedDown;
    ASSERT_TRUE(::CopyFileW(PayloadModulePath(L"none").c_str(), (handedDown / L"planted.dll").c_str(), FALSE));
    ASSERT_TRUE(::SetDllDirectoryW(handedDown.Path().c_str()));
    HMODULE planted = ::LoadLibraryW(L"planted.dll");
    ASSERT_NE(nullptr, planted);
    ::FreeLibrary(planted);

    EXPECT_TRUE(RestrictDllSearch(LookupWithoutDefaultDllDirectories));
    planted = ::LoadLibraryW(L"planted.dll");
    EXPECT_EQ(nullptr, planted);
    if (planted != nullptr) ::FreeLibrary(planted);
    // SearchPath's safe mode is set for good: nothing later in the process can turn it off.
    EXPECT_FALSE(::SetSearchPathMode(BASE_SEARCH_PATH_DISABLE_SAFE_SEARCHMODE));
}

}  // namespace
