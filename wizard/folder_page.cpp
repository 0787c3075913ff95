#include "wizard/folder_page.h"

#include "resources/resource_ids.h"
#include "common/bounded_text.h"
#include "common/paths.h"
#include "setup/setup_state.h"
#include "wizard/folder_picker.h"
#include "wizard/space_figures.h"

namespace FolderPageSeams {
BOOL(WINAPI* GetDiskFreeSpaceExCall)(LPCWSTR, PULARGE_INTEGER, PULARGE_INTEGER, PULARGE_INTEGER) =
    ::GetDiskFreeSpaceExW;
}  // namespace FolderPageSeams

namespace {

constexpr const wchar_t* PickerPrompt = L"Select a destination folder for Kelvorin App Pack.";
constexpr uint32_t RootLength = 3;  // "C:\"

bool CutToDeepestExistingFolder(wchar_t* folder);

}  // namespace

void SetupState::UpdateSpaceInfo() {
    BytesRequired = RequiredBytes(PayloadDirectory, TickedComponents(*this));
    WriteRequiredText(Scratch.Narrow, BytesRequired);
    ::SetDlgItemTextA(PageWindows[WizardPage::Folder], IDC_SPACE_REQUIRED, Scratch.Narrow);
    const uint64_t freeBytes = QueryFreeBytes(InstallFolder);
    WriteAvailableText(Scratch.Narrow, freeBytes);
    ::SetDlgItemTextA(PageWindows[WizardPage::Folder], IDC_SPACE_AVAILABLE, Scratch.Narrow);
    ::EnableWindow(::GetDlgItem(PageWindows[WizardPage::Folder], IDOK), InstallFits(BytesRequired, freeBytes));
}

uint32_t TickedComponents(const SetupState& setup) {
    uint32_t tickedMask = 0;
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        if (::IsDlgButtonChecked(setup.PageWindows[WizardPage::Components], IDC_COMPONENT_FIRST + n) == BST_CHECKED) {
            tickedMask |= 1u << n;
        }
    }
    return tickedMask;
}

// The deepest folder of the path that exists already is on the volume the files will land on, even
// when that is a volume mounted inside another drive or a network share. Only when nothing of the path
// exists, or that folder does not answer, is the drive root asked, and then the folder itself (a
// network folder's first three characters name no root).
uint64_t QueryFreeBytes(const wchar_t* folder) {
    ULARGE_INTEGER available = {};
    wchar_t existing[PathCapacity];
    CopyText(existing, PathCapacity, folder);
    if (CutToDeepestExistingFolder(existing) &&
        FolderPageSeams::GetDiskFreeSpaceExCall(existing, &available, nullptr, nullptr)) {
        return available.QuadPart;
    }
    wchar_t root[RootLength + 1] = {};
    for (uint32_t i = 0; i < RootLength && folder[i] != L'\0'; ++i) {
        root[i] = folder[i];
    }
    if (FolderPageSeams::GetDiskFreeSpaceExCall(root, &available, nullptr, nullptr)) {
        return available.QuadPart;
    }
    if (FolderPageSeams::GetDiskFreeSpaceExCall(folder, &available, nullptr, nullptr)) {
        return available.QuadPart;
    }
    return UnknownFreeBytes;
}

// The picker keeps its answer in BrowseBuffer, so the next Browse starts where this one ended.
void ChooseInstallFolder() {
    SetupState& setup = *CurrentSetup;
    FolderPickerRequest request = {setup.PageWindows[setup.CurrentPage], 0, nullptr, PickerPrompt, nullptr,
                                   setup.BrowseBuffer};
    if (BrowseForFolder(&request) == 0) {
        return;
    }
    ::CopyMemory(setup.InstallFolder, setup.BrowseBuffer, sizeof(setup.InstallFolder));
    MakeFolderPlain(setup.InstallFolder);
    ::SetDlgItemTextW(setup.PageWindows[WizardPage::Folder], IDC_FOLDER_TEXT, setup.InstallFolder);
    setup.UpdateSpaceInfo();
}

namespace {

// False when no part of the folder exists.
bool CutToDeepestExistingFolder(wchar_t* folder) {
    while (!IsExistingFolder(folder)) {
        if (!CutToParentFolder(folder)) {
            return false;
        }
    }
    return true;
}

}  // namespace
