#include "wizard/pages.h"

#include "resources/resource_ids.h"
#include "setup/setup_state.h"
#include "wizard/folder_page.h"
#include "wizard/in_use_box.h"

namespace {

constexpr COLORREF DetailsBackground = RGB(2, 38, 9);
constexpr COLORREF DetailsText = RGB(6, 176, 37);

INT_PTR OnCommand(UINT id);
INT_PTR OnCtlColorListBox(HDC dc, HWND listBox);
void ShowDetails();

}  // namespace

INT_PTR CALLBACK PageDialogProc(HWND, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        return OnCommand(LOWORD(wParam));
    case WM_CTLCOLORLISTBOX:
        return OnCtlColorListBox(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    default:
        return FALSE;
    }
}

namespace {

// Ticking a checkbox is not a command here: the figures follow the ticks when the Folder page shows.
INT_PTR OnCommand(UINT id) {
    SetupState& setup = *CurrentSetup;
    switch (id) {
    case IDOK:
        // "Install": programs in use are asked about before anything is written.
        if (setup.CurrentPage != WizardPage::Folder || ConfirmProgramsInUse(setup)) {
            setup.ShowPage(setup.CurrentPage + 1);
        }
        return TRUE;
    case IDCANCEL:
        ::PostMessageW(setup.FrameWindow, WM_CLOSE, 0, 0);
        return TRUE;
    case IDC_BACK:
        setup.ShowPage(setup.CurrentPage - 1);
        return TRUE;
    case IDC_BROWSE:
        ChooseInstallFolder();
        return TRUE;
    case IDC_SHOW_DETAILS:
        ShowDetails();
        return TRUE;
    default:
        return FALSE;
    }
}

// A dialog procedure answers this message with the brush itself; the DC brush carries the colour.
INT_PTR OnCtlColorListBox(HDC dc, HWND listBox) {
    if (listBox != CurrentSetup->DetailsList) {
        return FALSE;
    }
    ::SetDCBrushColor(dc, DetailsBackground);
    ::SetBkColor(dc, DetailsBackground);
    ::SetTextColor(dc, DetailsText);
    return reinterpret_cast<INT_PTR>(::GetStockObject(DC_BRUSH));
}

// The list takes the button's place for good.
void ShowDetails() {
    const SetupState& setup = *CurrentSetup;
    ::ShowWindow(::GetDlgItem(setup.PageWindows[WizardPage::Progress], IDC_SHOW_DETAILS), SW_HIDE);
    ::ShowWindow(setup.DetailsList, SW_SHOW);
    ::SetFocus(setup.DetailsList);
}

}  // namespace
