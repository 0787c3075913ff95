#include "wizard/folder_picker.h"

#include <shlobj.h>

namespace {

constexpr uint32_t DisplayNameLength = MAX_PATH;

}  // namespace

uint32_t BrowseForFolder(FolderPickerRequest* request) {
    wchar_t displayName[DisplayNameLength] = {};
    BROWSEINFOW info = {};
    info.hwndOwner = request->Owner;
    info.pidlRoot = nullptr;
    info.pszDisplayName = displayName;
    info.lpszTitle = request->Prompt;
    info.ulFlags = request->ExtraFlags | BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = FolderPickerCallback;
    info.lParam = reinterpret_cast<LPARAM>(request);
    info.iImage = 0;
    PIDLIST_ABSOLUTE item = ::SHBrowseForFolderW(&info);
    if (item == nullptr) {
        return 0;
    }
    const uint32_t found = ::SHGetPathFromIDListW(item, request->Path) ? 1 : 0;
    ::CoTaskMemFree(item);
    return found;
}

int CALLBACK FolderPickerCallback(HWND window, UINT message, LPARAM, LPARAM data) {
    if (message != BFFM_INITIALIZED) {
        return 0;
    }
    const FolderPickerRequest* request = reinterpret_cast<const FolderPickerRequest*>(data);
    if (request->Caption != nullptr) {
        ::SetWindowTextW(window, request->Caption);
    }
    if (request->OkText != nullptr) {
        ::SendMessageW(window, BFFM_SETOKTEXT, 0, reinterpret_cast<LPARAM>(request->OkText));
    }
    if (request->Path != nullptr && request->Path[0] != L'\0') {
        ::SendMessageW(window, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(request->Path));
    }
    return 0;
}
