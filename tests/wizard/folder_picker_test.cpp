#include "wizard_harness.h"

#include "resources/resource_ids.h"

#include "tests/support/scratch_folder.h"
#include "tests/support/window_picture.h"
#include "wizard/folder_page.h"

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

enum class PickerAction { Cancel, AcceptAsOpened, Choose };

// What the test does once the modal picker shows, and what it saw there.
struct PickerVisit {
    PickerAction Action;
    std::wstring ChosenFolder;  // for Choose
    const wchar_t* Screenshot = nullptr;
    bool Seen = false;
    bool PromptShown = false;
    std::wstring OpenedAt;  // the tree's selected item when the picker had opened
};

PickerVisit* CurrentVisit = nullptr;
std::vector<std::wstring> FreeSpaceQueries;

BOOL WINAPI SevenGibibytesFree(LPCWSTR path, PULARGE_INTEGER caller, PULARGE_INTEGER, PULARGE_INTEGER) {
    FreeSpaceQueries.push_back(path);
    caller->QuadPart = 7ull << 30;
    return TRUE;
}

BOOL CALLBACK FindPickerWindow(HWND window, LPARAM found) {
    wchar_t className[16] = {};
    ::GetClassNameW(window, className, 16);
    if (::IsWindowVisible(window) && std::wstring(className) == L"#32770" && window != CurrentSetup->FrameWindow) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK InspectPickerChild(HWND child, LPARAM) {
    wchar_t text[128] = {};
    ::GetWindowTextW(child, text, 128);
    if (std::wstring(text) == L"Select a destination folder for Kelvorin App Pack.") CurrentVisit->PromptShown = true;
    wchar_t className[32] = {};
    ::GetClassNameW(child, className, 32);
    if (std::wstring(className) == WC_TREEVIEWW) {
        wchar_t item[MAX_PATH] = {};
        TVITEMW selected = {};
        selected.mask = TVIF_TEXT;
        selected.hItem = reinterpret_cast<HTREEITEM>(::SendMessageW(child, TVM_GETNEXTITEM, TVGN_CARET, 0));
        selected.pszText = item;
        selected.cchTextMax = MAX_PATH;
        ::SendMessageW(child, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&selected));
        CurrentVisit->OpenedAt = item;
    }
    return TRUE;
}

// Runs inside the picker's own modal loop.
void CALLBACK DrivePicker(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND picker = nullptr;
    ::EnumThreadWindows(::GetCurrentThreadId(), FindPickerWindow, reinterpret_cast<LPARAM>(&picker));
    if (picker == nullptr) return;
    ::KillTimer(nullptr, timer);
    PickerVisit& visit = *CurrentVisit;
    visit.Seen = true;
    ::EnumChildWindows(picker, InspectPickerChild, 0);
    if (visit.Action == PickerAction::Cancel) {
        ::SendMessageW(::GetDlgItem(picker, IDCANCEL), BM_CLICK, 0, 0);
        return;
    }
    if (visit.Action == PickerAction::Choose) {
        ::SendMessageW(picker, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(visit.ChosenFolder.c_str()));
    }
    if (visit.Screenshot) SaveScreenshot(picker, visit.Screenshot);
    ::SendMessageW(::GetDlgItem(picker, IDOK), BM_CLICK, 0, 0);
}

std::wstring WithoutSeparator(std::wstring text) {
    text.pop_back();
    return text;
}

// The folder's own name, as the picker's tree shows it.
std::wstring LastName(const std::wstring& folder) {
    std::wstring path = WithoutSeparator(folder);
    return path.substr(path.rfind(L'\\') + 1);
}

std::wstring ItemText(HWND page, int id) {
    wchar_t text[300] = {};
    ::GetDlgItemTextW(page, id, text, 300);
    return text;
}

class FolderPicker : public ::testing::Test {
protected:
    void SetUp() override {
        FreeSpaceQueries.clear();
        ASSERT_TRUE(Wizard.Open());
        Wizard.Click(WizardPage::License, IDOK);
        Wizard.Click(WizardPage::Components, IDOK);
        Wizard.Settle();
        ASSERT_EQ(WizardPage::Folder, Wizard.State.CurrentPage);
        FolderPageSeams::GetDiskFreeSpaceExCall = SevenGibibytesFree;
    }
    void TearDown() override { FolderPageSeams::GetDiskFreeSpaceExCall = ::GetDiskFreeSpaceExW; }

    PickerVisit Browse(PickerAction action, const std::wstring& folder = L"", const wchar_t* screenshot = nullptr) {
        PickerVisit visit{action, folder, screenshot};
        CurrentVisit = &visit;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 50, DrivePicker);
        Wizard.Click(WizardPage::Folder, IDC_BROWSE);  // returns once the modal picker has closed
        ::KillTimer(nullptr, timer);
        CurrentVisit = nullptr;
        Wizard.Settle();
        EXPECT_TRUE(visit.Seen);
        EXPECT_TRUE(visit.PromptShown);
        return visit;
    }

    std::wstring Required() const { return ItemText(Wizard.Page(WizardPage::Folder), IDC_SPACE_REQUIRED); }
    std::wstring Available() const { return ItemText(Wizard.Page(WizardPage::Folder), IDC_SPACE_AVAILABLE); }

    WizardHarness Wizard;
};

TEST_F(FolderPicker, CancellingChangesNothing) {
    const std::wstring available = Available();
    Browse(PickerAction::Cancel);
    EXPECT_STREQ(L"C:\\Program Files (x86)\\Kelvorin\\", Wizard.State.InstallFolder);
    EXPECT_EQ(L"C:\\Program Files (x86)\\Kelvorin\\", ItemText(Wizard.Page(WizardPage::Folder), IDC_FOLDER_TEXT));
    EXPECT_EQ(L"Space required:  3 MB", Required());
    EXPECT_EQ(available, Available());
    EXPECT_TRUE(FreeSpaceQueries.empty());
    EXPECT_EQ(WizardPage::Folder, Wizard.State.CurrentPage);
}

TEST_F(FolderPicker, ChosenFolderBecomesTheInstallFolderAndTheNextBrowseStartsThere) {
    // Near the drive's root: the picker's tree then has few levels to open on its way there.
    ScratchFolder first(L"C:\\");
    ScratchFolder second(L"C:\\");
    ::wcscpy(Wizard.State.BrowseBuffer, WithoutSeparator(first.Path()).c_str());

    EXPECT_EQ(LastName(first.Path()), Browse(PickerAction::AcceptAsOpened).OpenedAt);
    EXPECT_EQ(first.Path(), std::wstring(Wizard.State.InstallFolder));

    FreeSpaceQueries.clear();
    Browse(PickerAction::Choose, WithoutSeparator(second.Path()), L"folder-picker");
    EXPECT_EQ(second.Path(), std::wstring(Wizard.State.InstallFolder));
    EXPECT_EQ(WithoutSeparator(second.Path()), std::wstring(Wizard.State.BrowseBuffer));
    EXPECT_EQ(second.Path(), ItemText(Wizard.Page(WizardPage::Folder), IDC_FOLDER_TEXT));
    ASSERT_EQ(1u, FreeSpaceQueries.size());
    EXPECT_EQ(second.Path(), FreeSpaceQueries[0]);  // the chosen folder exists: its own volume answers
    EXPECT_EQ(L"Space required:  3 MB", Required());
    EXPECT_EQ(L"Space available: 7168 MB", Available());

    EXPECT_EQ(LastName(second.Path()), Browse(PickerAction::AcceptAsOpened).OpenedAt);
    EXPECT_EQ(second.Path(), std::wstring(Wizard.State.InstallFolder));
}

TEST_F(FolderPicker, ADriveRootKeepsItsOneBackslash) {
    Browse(PickerAction::Choose, L"C:\\");
    EXPECT_STREQ(L"C:\\", Wizard.State.InstallFolder);
    EXPECT_EQ(L"C:\\", ItemText(Wizard.Page(WizardPage::Folder), IDC_FOLDER_TEXT));
}

}  // namespace
