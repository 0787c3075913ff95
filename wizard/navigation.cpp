#include "install/install_choices.h"
#include "resources/resource_ids.h"
#include "setup/setup_state.h"
#include "wizard/folder_page.h"

// Pages past the last one stand for "done": the frame is asked to close and decides for itself.
void SetupState::ShowPage(uint32_t page) {
    if (page > WizardPage::Progress) {
        ::PostMessageW(FrameWindow, WM_CLOSE, 0, 0);
        return;
    }
    CurrentPage = static_cast<WizardPage::Value>(page);
    for (uint32_t other = 0; other < PageCount; ++other) {
        ::ShowWindow(PageWindows[other], other == page ? SW_SHOW : SW_HIDE);
    }
    HWND shown = PageWindows[page];
    ::SetFocus(shown);
    // Posted, so that the focus reaches button 1 once the page has finished showing.
    ::PostMessageW(shown, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(::GetDlgItem(shown, IDOK)), TRUE);
    if (page == WizardPage::Folder) {
        UpdateSpaceInfo();
        // A disabled "Install" cannot take the focus, and a page without one ignores Esc and Tab:
        // the focus goes on to the page's first control instead.
        if (!::IsWindowEnabled(::GetDlgItem(shown, IDOK))) {
            ::PostMessageW(shown, WM_NEXTDLGCTL, 0, FALSE);
        }
    } else if (page == WizardPage::Progress) {
        BeginInstallation(*this, TickedComponents(*this));
        ::PostMessageW(FrameWindow, WM_APP, 0, 0);
    }
}
