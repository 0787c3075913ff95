#include "common/single_instance.h"

#include "common/product_texts.h"

namespace {

constexpr const wchar_t* InstallationMutexName = L"Global\\KelvorinAppPackInstallation";
// The wizard's frame and the uninstaller's message boxes are dialogs with the product's title.
constexpr const wchar_t* DialogClassName = L"#32770";

}  // namespace

bool ClaimInstallation(bool inheritable, HANDLE* claim) {
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), nullptr, inheritable ? TRUE : FALSE};
    *claim = ::CreateMutexW(&attributes, FALSE, InstallationMutexName);
    const DWORD error = ::GetLastError();
    if (*claim == nullptr) {
        // Made by another account, such as the system account of a deployment tool, it may refuse this
        // one access: it exists all the same.
        return error != ERROR_ACCESS_DENIED;
    }
    if (error == ERROR_ALREADY_EXISTS) {
        static_cast<void>(::CloseHandle(*claim));
        *claim = nullptr;
        return false;
    }
    return true;
}

void ReleaseInstallation(HANDLE claim) {
    if (claim != nullptr) {
        static_cast<void>(::CloseHandle(claim));
    }
}

// A program started by a person may take the front; one in another session has no window here.
void BringRunningInstallationToFront() {
    HWND window = ::FindWindowW(DialogClassName, ProductTitle);
    if (window == nullptr) {
        return;
    }
    if (::IsIconic(window)) {
        static_cast<void>(::ShowWindow(window, SW_RESTORE));
    }
    static_cast<void>(::SetForegroundWindow(window));
}
