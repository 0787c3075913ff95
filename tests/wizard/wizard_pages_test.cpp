#include "wizard_harness.h"

#include "resources/resource_ids.h"
#include "tests/support/scratch_folder.h"
#include "wizard/folder_page.h"
#include "wizard/frame.h"
#include "wizard/init_wizard.h"
#include "wizard/pages.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string ItemText(HWND page, int id) {
    char text[600] = {};
    ::GetDlgItemTextA(page, id, text, sizeof(text));
    return text;
}

std::wstring WideItemText(HWND page, int id) {
    wchar_t text[300] = {};
    ::GetDlgItemTextW(page, id, text, 300);
    return text;
}

bool Visible(HWND window) { return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

RECT FormattingRect(HWND edit) {
    RECT rect = {};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    return rect;
}

BOOL WINAPI UnknownFreeSpace(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) { return FALSE; }

TEST(WizardStart, EveryTextCaptionAndLabelIsSet) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    const SetupState& state = wizard.State;
    wchar_t title[64] = {};
    ::GetWindowTextW(state.FrameWindow, title, 64);
    EXPECT_STREQ(L"Kelvorin App Pack (32-bit)", title);

    EXPECT_EQ("Please review the license agreement before installing Kelvorin App Pack. If you accept all terms of "
              "the agreement, click I Agree.",
              ItemText(wizard.Page(WizardPage::License), IDC_LICENSE_INTRO));
    EXPECT_EQ("Check the components you want to install and uncheck the components you don't want to install. "
              "Click Next to continue.",
              ItemText(wizard.Page(WizardPage::Components), IDC_COMPONENTS_INTRO));
    EXPECT_EQ("Setup will install Kelvorin App Pack in the following folder. To install in a different folder, "
              "click Browse and select another folder. Click Install to start the installation.",
              ItemText(wizard.Page(WizardPage::Folder), IDC_FOLDER_INTRO));
    EXPECT_EQ("Destination Folder", ItemText(wizard.Page(WizardPage::Folder), IDC_DESTINATION_GROUP));

    EXPECT_EQ("I &Agree", ItemText(wizard.Page(WizardPage::License), IDOK));
    EXPECT_EQ("&Next >", ItemText(wizard.Page(WizardPage::Components), IDOK));
    EXPECT_EQ("&Install", ItemText(wizard.Page(WizardPage::Folder), IDOK));
    EXPECT_EQ("&Close", ItemText(wizard.Page(WizardPage::Progress), IDOK));
    for (uint32_t page : {WizardPage::License, WizardPage::Components, WizardPage::Folder}) {
        EXPECT_EQ("Cancel", ItemText(wizard.Page(page), IDCANCEL));
    }
    EXPECT_EQ("< &Back", ItemText(wizard.Page(WizardPage::Components), IDC_BACK));
    EXPECT_EQ("< &Back", ItemText(wizard.Page(WizardPage::Folder), IDC_BACK));
    EXPECT_EQ("B&rowse...", ItemText(wizard.Page(WizardPage::Folder), IDC_BROWSE));
    EXPECT_EQ("Show &Details", ItemText(wizard.Page(WizardPage::Progress), IDC_SHOW_DETAILS));
    EXPECT_EQ(L"C:\\Program Files (x86)\\Kelvorin\\", WideItemText(wizard.Page(WizardPage::Folder), IDC_FOLDER_TEXT));
    EXPECT_EQ("", ItemText(wizard.Page(WizardPage::Progress), IDC_STATUS_TEXT));

    const wchar_t* names[] = {L"Ostrel", L"Glimmerdox", L"Tindlevault", L"Blorra",
                              L"Humbrewave", L"Jottervale", L"Cryvane", L"Pebbrack"};
    for (int n = 0; n < 8; ++n) {
        EXPECT_EQ(names[n], WideItemText(wizard.Page(WizardPage::Components), IDC_COMPONENT_FIRST + n));
        EXPECT_EQ(BST_CHECKED, ::IsDlgButtonChecked(wizard.Page(WizardPage::Components), IDC_COMPONENT_FIRST + n));
    }
    HWND spare = wizard.Item(WizardPage::Components, IDC_SPARE_CHECKBOX);
    ASSERT_NE(nullptr, spare);
    EXPECT_FALSE(Visible(spare));
    EXPECT_FALSE(::IsWindowEnabled(spare));
    EXPECT_EQ(L"", WideItemText(wizard.Page(WizardPage::Components), IDC_SPARE_CHECKBOX));
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(wizard.Page(WizardPage::Components), IDC_SPARE_CHECKBOX));

    const PayloadEntry& license = state.PayloadDirectory[0];
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(state.Payload.Data + license.Offset), license.Size),
              ItemText(wizard.Page(WizardPage::License), IDC_LICENSE_TEXT));
}

TEST(WizardStart, FrameIsCentredAndShowsTheLicensePageWithIcons) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    wizard.Settle();
    const SetupState& state = wizard.State;
    EXPECT_TRUE(Visible(state.FrameWindow));
    EXPECT_EQ(WizardPage::License, state.CurrentPage);
    EXPECT_EQ(Idle, state.State);
    for (uint32_t page = 0; page < 4; ++page) EXPECT_EQ(page == WizardPage::License, Visible(wizard.Page(page))) << page;
    EXPECT_EQ(wizard.Item(WizardPage::License, IDOK), ::GetFocus());
    EXPECT_EQ(state.DetailsList, wizard.Item(WizardPage::Progress, IDC_DETAILS_LIST));
    EXPECT_FALSE(Visible(state.DetailsList));

    RECT area, frame;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ::GetWindowRect(state.FrameWindow, &frame);
    EXPECT_EQ(area.left + (area.right - area.left - (frame.right - frame.left)) / 2, frame.left);
    EXPECT_EQ(area.top + (area.bottom - area.top - (frame.bottom - frame.top)) / 2, frame.top);

    ASSERT_NE(nullptr, state.FrameIcon);
    EXPECT_EQ(reinterpret_cast<LRESULT>(state.FrameIcon), ::SendMessageW(state.FrameWindow, WM_GETICON, ICON_SMALL, 0));
    EXPECT_EQ(reinterpret_cast<LRESULT>(state.FrameIcon), ::SendMessageW(state.FrameWindow, WM_GETICON, ICON_BIG, 0));
    for (uint32_t page = 0; page < 4; ++page) {
        HWND icon = ::GetWindow(wizard.Page(page), GW_CHILD);  // first in template order
        EXPECT_NE(0, ::SendMessageW(icon, STM_GETICON, 0, 0)) << page;
    }
}

TEST(WizardStart, LicenseTextStopsAt511Bytes) {
    WizardHarness wizard;
    ASSERT_EQ(0u, wizard.State.LoadPayload());
    // A longer license, placed in the unused end of the payload buffer.
    const uint32_t offset = 0x300000;
    for (uint32_t i = 0; i < 600; ++i) wizard.State.Payload.Data[offset + i] = static_cast<uint8_t>('a' + i % 26);
    wizard.State.PayloadDirectory[0] = {offset, 600, {}};
    ASSERT_TRUE(wizard.CreateFrame());
    const std::string shown = ItemText(wizard.Page(WizardPage::License), IDC_LICENSE_TEXT);
    EXPECT_EQ(511u, shown.size());
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(wizard.State.Payload.Data + offset), 511), shown);
}

TEST(WizardNavigation, ButtonsMoveBetweenThePages) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    SetupState& state = wizard.State;
    wizard.Settle();

    wizard.Click(WizardPage::License, IDOK);
    wizard.Settle();
    EXPECT_EQ(WizardPage::Components, state.CurrentPage);
    EXPECT_EQ(wizard.Item(WizardPage::Components, IDOK), ::GetFocus());
    EXPECT_EQ(0u, state.BytesRequired);

    wizard.Click(WizardPage::Components, IDOK);
    wizard.Settle();
    EXPECT_EQ(WizardPage::Folder, state.CurrentPage);
    EXPECT_EQ(2163200u, state.BytesRequired);
    EXPECT_EQ("Space required:  3 MB", ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_REQUIRED));
    EXPECT_EQ(0u, ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_AVAILABLE).find("Space available: "));
    EXPECT_TRUE(::IsWindowEnabled(wizard.Item(WizardPage::Folder, IDOK)));

    wizard.Click(WizardPage::Folder, IDC_BACK);
    wizard.Settle();
    EXPECT_EQ(WizardPage::Components, state.CurrentPage);
    wizard.Click(WizardPage::Components, IDC_BACK);
    wizard.Settle();
    EXPECT_EQ(WizardPage::License, state.CurrentPage);
    for (uint32_t page = 0; page < 4; ++page) EXPECT_EQ(page == WizardPage::License, Visible(wizard.Page(page))) << page;

    wizard.Click(WizardPage::License, IDOK);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.Click(WizardPage::Folder, IDOK);
    EXPECT_EQ(WizardPage::Progress, state.CurrentPage);
    EXPECT_EQ(Installing, state.State);
    ASSERT_TRUE(wizard.PumpUntil([&] { return state.PendingStep == 1; }));
    state.PendingStep = 0;
    wizard.Settle();
    EXPECT_TRUE(Visible(wizard.Item(WizardPage::Progress, IDC_SHOW_DETAILS)));
}

TEST(WizardNavigation, FiguresFollowTheTicksOnlyWhenTheFolderPageIsEntered) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    SetupState& state = wizard.State;
    wizard.Click(WizardPage::License, IDOK);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.Click(WizardPage::Folder, IDC_BACK);
    wizard.Settle();
    ASSERT_EQ(WizardPage::Components, state.CurrentPage);
    for (int id = IDC_COMPONENT_FIRST + 1; id < IDC_SPARE_CHECKBOX; ++id) wizard.Click(WizardPage::Components, id);
    ::CheckDlgButton(wizard.Page(WizardPage::Components), IDC_SPARE_CHECKBOX, BST_CHECKED);  // never read, even when ticked
    wizard.Settle();
    EXPECT_EQ(BST_UNCHECKED, ::IsDlgButtonChecked(wizard.Page(WizardPage::Components), IDC_COMPONENT_FIRST + 1));
    EXPECT_EQ(2163200u, state.BytesRequired);
    EXPECT_EQ("Space required:  3 MB", ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_REQUIRED));

    wizard.Click(WizardPage::Components, IDOK);
    wizard.Settle();
    EXPECT_EQ(233472u, state.BytesRequired);
    EXPECT_EQ("Space required:  1 MB", ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_REQUIRED));
    EXPECT_TRUE(::IsWindowEnabled(wizard.Item(WizardPage::Folder, IDOK)));

    wizard.Click(WizardPage::Folder, IDC_BACK);
    wizard.Click(WizardPage::Components, IDC_COMPONENT_FIRST);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.Settle();
    EXPECT_EQ(0u, state.BytesRequired);
    EXPECT_EQ("Space required:  0 MB", ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_REQUIRED));
    EXPECT_FALSE(::IsWindowEnabled(wizard.Item(WizardPage::Folder, IDOK)));
}

TEST(WizardNavigation, NetworkFolderWithUnknownSpaceShowsAQuestionMarkAndAllowsInstall) {
    FolderPageSeams::GetDiskFreeSpaceExCall = UnknownFreeSpace;
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open(L"\\\\server\\share\\Kelvorin\\"));
    wizard.Click(WizardPage::License, IDOK);
    wizard.Click(WizardPage::Components, IDOK);
    FolderPageSeams::GetDiskFreeSpaceExCall = ::GetDiskFreeSpaceExW;
    EXPECT_EQ("Space available: ?", ItemText(wizard.Page(WizardPage::Folder), IDC_SPACE_AVAILABLE));
    EXPECT_TRUE(::IsWindowEnabled(wizard.Item(WizardPage::Folder, IDOK)));
}

TEST(WizardClosing, CancelAndEscapeCloseTheFirstThreePages) {
    for (uint32_t page : {WizardPage::License, WizardPage::Components, WizardPage::Folder}) {
        for (bool escape : {false, true}) {
            WizardHarness wizard;
            ASSERT_TRUE(wizard.Open());
            for (uint32_t step = 0; step < page; ++step) wizard.Click(step, IDOK);
            wizard.Settle();
            ASSERT_EQ(page, wizard.State.CurrentPage);
            if (escape) {
                wizard.PressEscape();
            } else {
                wizard.Click(page, IDCANCEL);
            }
            EXPECT_TRUE(wizard.PumpUntil([&] { return !wizard.FrameAlive() && wizard.QuitPosted(); }))
                << "page " << page << (escape ? " Esc" : " Cancel");
            EXPECT_EQ(Closing, wizard.State.State);
        }
    }
}

TEST(WizardClosing, EscapeStillClosesTheFolderPageWhenInstallIsDisabled) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    wizard.Click(WizardPage::License, IDOK);
    for (int id = IDC_COMPONENT_FIRST; id < IDC_SPARE_CHECKBOX; ++id) wizard.Click(WizardPage::Components, id);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.Settle();
    ASSERT_FALSE(::IsWindowEnabled(wizard.Item(WizardPage::Folder, IDOK)));
    EXPECT_TRUE(::IsChild(wizard.Page(WizardPage::Folder), ::GetFocus()));
    wizard.PressEscape();
    EXPECT_TRUE(wizard.PumpUntil([&] { return !wizard.FrameAlive() && wizard.QuitPosted(); }));
}

enum class CloseRequest { CloseButton, Escape, CloseMessage, CaptionCloseBox };

void Request(WizardHarness& wizard, CloseRequest request) {
    switch (request) {
    case CloseRequest::CloseButton: wizard.Click(WizardPage::Progress, IDOK); break;
    case CloseRequest::Escape: wizard.PressEscape(); break;
    case CloseRequest::CloseMessage: ::PostMessageW(wizard.State.FrameWindow, WM_CLOSE, 0, 0); break;
    case CloseRequest::CaptionCloseBox: ::PostMessageW(wizard.State.FrameWindow, WM_SYSCOMMAND, SC_CLOSE, 0); break;
    }
}

TEST(WizardClosing, EveryCloseRequestIsDroppedWhileInstallingAndHonouredAfterwards) {
    for (CloseRequest request : {CloseRequest::CloseButton, CloseRequest::Escape, CloseRequest::CloseMessage,
                                 CloseRequest::CaptionCloseBox}) {
        WizardHarness wizard;
        ASSERT_TRUE(wizard.Open());
        wizard.Click(WizardPage::License, IDOK);
        wizard.Click(WizardPage::Components, IDOK);
        wizard.EnterProgressAndHold();
        Request(wizard, request);
        wizard.Settle();
        EXPECT_TRUE(wizard.FrameAlive()) << static_cast<int>(request);
        EXPECT_EQ(Installing, wizard.State.State);
        EXPECT_EQ(WizardPage::Progress, wizard.State.CurrentPage);
        EXPECT_TRUE(Visible(wizard.Page(WizardPage::Progress)));

        wizard.State.State = Finished;
        Request(wizard, request);
        EXPECT_TRUE(wizard.PumpUntil([&] { return !wizard.FrameAlive() && wizard.QuitPosted(); }))
            << static_cast<int>(request);
    }
}

TEST(WizardInstall, TheTimerRunsOneArmedStepPerTickUntilFinished) {
    ScratchFolder install;
    ScratchFolder startMenu;
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open(install.Path().c_str()));
    ::wcscpy(wizard.State.StartMenuFolder, startMenu.Path().c_str());
    HWND frame = wizard.State.FrameWindow;
    EXPECT_EQ(TRUE, FrameDialogProc(frame, WM_APP, 6, 0));
    EXPECT_EQ(7u, wizard.State.PendingStep);
    wizard.State.PendingStep = 0;
    EXPECT_EQ(TRUE, FrameDialogProc(frame, WM_TIMER, 1, 0));  // nothing armed: nothing runs
    EXPECT_EQ(Idle, wizard.State.State);
    EXPECT_EQ(0u, wizard.State.PendingStep);
    EXPECT_EQ(FALSE, FrameDialogProc(frame, WM_COMMAND, IDOK, 0));

    wizard.Click(WizardPage::License, IDOK);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.Click(WizardPage::Folder, IDOK);
    EXPECT_TRUE(wizard.PumpUntil([&] { return wizard.State.State == Finished; }, 20000));
    EXPECT_EQ(0u, wizard.State.PendingStep);
    wizard.Click(WizardPage::Progress, IDOK);
    EXPECT_TRUE(wizard.PumpUntil([&] { return !wizard.FrameAlive() && wizard.QuitPosted(); }));
}

struct TimerCall {
    HWND Window;
    UINT_PTR Id;
    UINT Period;
    TIMERPROC Callback;
};
std::vector<TimerCall> timerCalls;

UINT_PTR WINAPI RecordThenSetTimer(HWND window, UINT_PTR id, UINT period, TIMERPROC callback) {
    timerCalls.push_back({window, id, period, callback});
    return ::SetTimer(window, id, period, callback);
}

// Whether the frame's timer was still running when the frame began to go: killing it answers.
HWND watchedFrame = nullptr;
int timerAliveAtDestroy = -1;

LRESULT CALLBACK WatchFrameDestroy(int code, WPARAM wParam, LPARAM lParam) {
    const CWPSTRUCT* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_DESTROY && call->hwnd == watchedFrame) {
        timerAliveAtDestroy = ::KillTimer(call->hwnd, StepTimerId) ? 1 : 0;
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST(WizardTimer, TimerOneRunsAt125MsUntilTheCloseIsAccepted) {
    timerCalls.clear();
    InitWizardSeams::SetTimerCall = RecordThenSetTimer;
    WizardHarness wizard;
    const bool opened = wizard.Open();
    InitWizardSeams::SetTimerCall = ::SetTimer;
    ASSERT_TRUE(opened);
    ASSERT_EQ(1u, timerCalls.size());
    EXPECT_EQ(wizard.State.FrameWindow, timerCalls[0].Window);
    EXPECT_EQ(1u, timerCalls[0].Id);
    EXPECT_EQ(125u, timerCalls[0].Period);
    EXPECT_EQ(nullptr, timerCalls[0].Callback);

    watchedFrame = wizard.State.FrameWindow;
    timerAliveAtDestroy = -1;
    HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchFrameDestroy, nullptr, ::GetCurrentThreadId());
    ASSERT_NE(nullptr, hook);
    wizard.Click(WizardPage::License, IDCANCEL);
    EXPECT_TRUE(wizard.PumpUntil([&] { return !wizard.FrameAlive(); }));
    ::UnhookWindowsHookEx(hook);
    EXPECT_EQ(0, timerAliveAtDestroy);
}

TEST(WizardProgress, ShowDetailsPutsTheListInPlaceOfTheButton) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    wizard.Click(WizardPage::License, IDOK);
    wizard.Click(WizardPage::Components, IDOK);
    wizard.EnterProgressAndHold();
    wizard.Click(WizardPage::Progress, IDC_SHOW_DETAILS);
    wizard.Settle();
    EXPECT_FALSE(Visible(wizard.Item(WizardPage::Progress, IDC_SHOW_DETAILS)));
    EXPECT_TRUE(Visible(wizard.State.DetailsList));
    EXPECT_EQ(wizard.State.DetailsList, ::GetFocus());
}

TEST(WizardProgress, OnlyTheDetailsListIsGreenOnDark) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    HWND progress = wizard.Page(WizardPage::Progress);
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(1, 2, 3));
    const LRESULT brush = ::SendMessageW(progress, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(wizard.State.DetailsList));
    EXPECT_EQ(reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH)), brush);
    EXPECT_EQ(0x00092602u, ::GetDCBrushColor(dc));
    EXPECT_EQ(0x00092602u, ::GetBkColor(dc));
    EXPECT_EQ(0x0025B006u, ::GetTextColor(dc));

    HWND other = ::CreateWindowExW(0, L"LISTBOX", L"", WS_CHILD, 0, 0, 50, 50, progress, nullptr,
                                   nullptr, nullptr);
    ASSERT_NE(nullptr, other);
    ::SetTextColor(dc, RGB(1, 2, 3));
    EXPECT_EQ(FALSE, PageDialogProc(progress, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                    reinterpret_cast<LPARAM>(other)));
    EXPECT_EQ(RGB(1, 2, 3), ::GetTextColor(dc));
    const LRESULT platform = ::SendMessageW(progress, WM_CTLCOLORLISTBOX, reinterpret_cast<WPARAM>(dc),
                                            reinterpret_cast<LPARAM>(other));
    EXPECT_NE(reinterpret_cast<LRESULT>(::GetStockObject(DC_BRUSH)), platform);
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), ::GetTextColor(dc));
    ::DestroyWindow(other);
    ::DeleteDC(dc);
}

TEST(WizardLicenseMargin, StartsSixPixelsInAndEachDpiChangePlacesItAfresh) {
    WizardHarness wizard;
    ASSERT_TRUE(wizard.Open());
    HWND frame = wizard.State.FrameWindow;
    HWND edit = wizard.Item(WizardPage::License, IDC_LICENSE_TEXT);
    // What the platform's edit control itself takes off every rectangle it is given (its border),
    // measured, not assumed.
    const RECT reported = FormattingRect(edit);
    ::SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&reported));
    const RECT echoed = FormattingRect(edit);
    const LONG borderLeft = echoed.left - reported.left;
    const LONG borderTop = echoed.top - reported.top;

    HWND pristine = ::CreateDialogParamW(wizard.State.Instance, MAKEINTRESOURCEW(IDD_LICENSE_PAGE), frame,
                                         PageDialogProc, 0);
    const RECT untouched = FormattingRect(::GetDlgItem(pristine, IDC_LICENSE_TEXT));
    ::DestroyWindow(pristine);
    EXPECT_EQ(6 + borderLeft, reported.left - untouched.left);
    EXPECT_EQ(6 + borderTop, reported.top - untouched.top);

    // Back and forth between scales: each change leaves the text the new DPI's inset in from the
    // client rectangle, also when the edit was resized meanwhile, as the platform's rescaling does.
    RECT original;
    ::GetClientRect(edit, &original);
    RECT suggested;
    ::GetWindowRect(frame, &suggested);
    EXPECT_EQ(FALSE,
              FrameDialogProc(frame, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested)));
    const UINT dpis[] = {144, 96, 480, 96, 192, 120, 192, 288};
    const LONG insets[] = {7, 5, 20, 5, 10, 6, 10, 15};
    for (size_t i = 0; i < 8; ++i) {
        ::SendMessageW(frame, WM_DPICHANGED, MAKEWPARAM(dpis[i], dpis[i]), reinterpret_cast<LPARAM>(&suggested));
        if (i % 2 == 1) {
            ::SetWindowPos(edit, nullptr, 0, 0, original.right * dpis[i] / 96, original.bottom * dpis[i] / 96,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        wizard.Settle();
        RECT client;
        ::GetClientRect(edit, &client);
        const RECT after = FormattingRect(edit);
        EXPECT_EQ(insets[i] + borderLeft, after.left - client.left) << dpis[i] << " DPI, change " << i;
        EXPECT_EQ(insets[i] + borderTop, after.top - client.top) << dpis[i] << " DPI, change " << i;
    }
}

}  // namespace
