#include "wizard/init_wizard.h"

#include "resources/resource_ids.h"
#include "common/product_texts.h"
#include "setup/setup_state.h"
#include "wizard/centring.h"
#include "wizard/frame.h"
#include "wizard/license_margin.h"
#include "wizard/pages.h"

namespace InitWizardSeams {
UINT_PTR(WINAPI* SetTimerCall)(HWND, UINT_PTR, UINT, TIMERPROC) = ::SetTimer;
}  // namespace InitWizardSeams

namespace {

constexpr const char* LicenseIntro =
    "Please review the license agreement before installing Kelvorin App Pack. If you accept all terms of the "
    "agreement, click I Agree.";
constexpr const char* ComponentsIntro =
    "Check the components you want to install and uncheck the components you don't want to install. Click "
    "Next to continue.";
constexpr const char* FolderIntro =
    "Setup will install Kelvorin App Pack in the following folder. To install in a different folder, click "
    "Browse and select another folder. Click Install to start the installation.";
constexpr const char* DestinationFolderText = "Destination Folder";
constexpr const char* AgreeCaption = "I &Agree";
constexpr const char* NextCaption = "&Next >";
constexpr const char* InstallCaption = "&Install";
constexpr const char* CloseCaption = "&Close";
constexpr const char* CancelCaption = "Cancel";
constexpr const char* BrowseCaption = "B&rowse...";
constexpr const char* BackCaption = "< &Back";
constexpr const char* ShowDetailsCaption = "Show &Details";

constexpr UINT StepPeriodMs = 125;
constexpr int32_t LicenseInset = 6;

bool CreatePages(SetupState& setup, HWND frame);
void SetPageTexts(const SetupState& setup);
void LabelComponents(const SetupState& setup);
void ShowLicenseText(SetupState& setup);
void SetFrameIcon(SetupState& setup, HWND frame);
void ShowFirstPage(SetupState& setup, HWND frame);

}  // namespace

bool InitWizard(HWND frame) {
    SetupState& setup = *CurrentSetup;
    if (!CreatePages(setup, frame)) {
        return false;
    }
    setup.DetailsList = ::GetDlgItem(setup.PageWindows[WizardPage::Progress], IDC_DETAILS_LIST);
    InsetEditRect(::GetDlgItem(setup.PageWindows[WizardPage::License], IDC_LICENSE_TEXT), LicenseInset, LicenseInset);
    ::SetWindowTextW(frame, ProductTitle);
    SetPageTexts(setup);
    LabelComponents(setup);
    ::SetDlgItemTextW(setup.PageWindows[WizardPage::Folder], IDC_FOLDER_TEXT, setup.InstallFolder);
    ShowLicenseText(setup);
    SetFrameIcon(setup, frame);
    if (InitWizardSeams::SetTimerCall(frame, StepTimerId, StepPeriodMs, nullptr) == 0) {
        return false;
    }
    CentreOnWorkArea(frame);
    ShowFirstPage(setup, frame);
    ::ShowWindow(frame, SW_SHOWNORMAL);
    return true;
}

namespace {

// Pages made before a failure stay as children of the frame and go with it.
bool CreatePages(SetupState& setup, HWND frame) {
    for (uint32_t page = 0; page < PageCount; ++page) {
        setup.PageWindows[page] = ::CreateDialogParamW(setup.Instance, MAKEINTRESOURCEW(IDD_LICENSE_PAGE + page),
                                                       frame, PageDialogProc, 0);
        if (setup.PageWindows[page] == nullptr) {
            return false;
        }
    }
    return true;
}

void SetPageTexts(const SetupState& setup) {
    HWND license = setup.PageWindows[WizardPage::License];
    HWND components = setup.PageWindows[WizardPage::Components];
    HWND folder = setup.PageWindows[WizardPage::Folder];
    HWND progress = setup.PageWindows[WizardPage::Progress];
    ::SetDlgItemTextA(license, IDC_LICENSE_INTRO, LicenseIntro);
    ::SetDlgItemTextA(components, IDC_COMPONENTS_INTRO, ComponentsIntro);
    ::SetDlgItemTextA(folder, IDC_FOLDER_INTRO, FolderIntro);
    ::SetDlgItemTextA(folder, IDC_DESTINATION_GROUP, DestinationFolderText);
    ::SetDlgItemTextA(license, IDOK, AgreeCaption);
    ::SetDlgItemTextA(components, IDOK, NextCaption);
    ::SetDlgItemTextA(folder, IDOK, InstallCaption);
    ::SetDlgItemTextA(progress, IDOK, CloseCaption);
    ::SetDlgItemTextA(license, IDCANCEL, CancelCaption);
    ::SetDlgItemTextA(components, IDCANCEL, CancelCaption);
    ::SetDlgItemTextA(folder, IDCANCEL, CancelCaption);
    ::SetDlgItemTextA(folder, IDC_BROWSE, BrowseCaption);
    ::SetDlgItemTextA(components, IDC_BACK, BackCaption);
    ::SetDlgItemTextA(folder, IDC_BACK, BackCaption);
    ::SetDlgItemTextA(progress, IDC_SHOW_DETAILS, ShowDetailsCaption);
}

// The ninth cell of the grid (IDC_SPARE_CHECKBOX) has no component and stays as the template made it.
// The boxes start as the command line chose, all eight without one.
void LabelComponents(const SetupState& setup) {
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        ::SetDlgItemTextW(setup.PageWindows[WizardPage::Components], IDC_COMPONENT_FIRST + n, setup.ComponentTable[n]);
        ::CheckDlgButton(setup.PageWindows[WizardPage::Components], IDC_COMPONENT_FIRST + n,
                         (setup.ChosenComponents & (1u << n)) != 0 ? BST_CHECKED : BST_UNCHECKED);
    }
}

void ShowLicenseText(SetupState& setup) {
    const PayloadEntry& entry = setup.PayloadDirectory[LicenseEntry];
    const uint32_t count = entry.Size < LicenseShownBytes ? entry.Size : LicenseShownBytes;
    ::ZeroMemory(setup.Scratch.Narrow, ScratchBytes);
    ::CopyMemory(setup.Scratch.Narrow, setup.Payload.Data + entry.Offset, count);
    ::SetDlgItemTextA(setup.PageWindows[WizardPage::License], IDC_LICENSE_TEXT, setup.Scratch.Narrow);
}

void SetFrameIcon(SetupState& setup, HWND frame) {
    setup.FrameIcon = ::LoadIconW(setup.Instance, MAKEINTRESOURCEW(IDI_KELVORIN));
    ::SendMessageW(frame, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(setup.FrameIcon));
    ::SendMessageW(frame, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(setup.FrameIcon));
}

// /passive shows the Progress page only, with its details and without the button that would wait for
// a click, and starts at once. The first step is posted to the frame, whose creation has not handed it
// over yet.
void ShowFirstPage(SetupState& setup, HWND frame) {
    if (setup.Mode != PassiveMode) {
        setup.ShowPage(WizardPage::License);
        return;
    }
    setup.FrameWindow = frame;
    HWND progress = setup.PageWindows[WizardPage::Progress];
    ::ShowWindow(::GetDlgItem(progress, IDOK), SW_HIDE);
    ::ShowWindow(::GetDlgItem(progress, IDC_SHOW_DETAILS), SW_HIDE);
    ::ShowWindow(setup.DetailsList, SW_SHOW);
    setup.ShowPage(WizardPage::Progress);
}

}  // namespace
