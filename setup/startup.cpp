#include "setup/startup.h"

#include "resources/resource_ids.h"
#include "setup/exit_code.h"
#include "setup/folders.h"
#include "setup/setup_state.h"
#include "wizard/frame.h"

#include <commctrl.h>
#include <objbase.h>

namespace StartupSeams {
HRESULT(WINAPI* CoInitializeExCall)(LPVOID, DWORD) = ::CoInitializeEx;
BOOL(WINAPI* InitCommonControlsExCall)(const INITCOMMONCONTROLSEX*) = ::InitCommonControlsEx;
BOOL(WINAPI* CheckTokenMembershipCall)(HANDLE, PSID, PBOOL) = ::CheckTokenMembership;
}  // namespace StartupSeams

namespace {

constexpr const char* InitFailedText = "Setup initialization failed.";
constexpr const char* InitFailedCaption = "Error";
constexpr const char* NotAdminText = "You must be logged in as an administrator to install this software.";
constexpr const char* NotAdminCaption = "Kelvorin App Pack";

bool StartPlatformServices();
WPARAM RunMessageLoop(SetupState& setup);

}  // namespace

int RunSetup(HINSTANCE instance) {
    SetupState setup(instance);
    CurrentSetup = &setup;
    HRESULT com = StartupSeams::CoInitializeExCall(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com)) {
        return ExitComStartFailed;
    }
    WPARAM result = ExitSucceeded;
    if (!StartPlatformServices()) {
        result = ExitControlsStartFailed;
    } else if (!InitDefaultPaths()) {
        ReportInitFailure();
        result = ExitInitializationFailed;
    } else if (!IsUserAdmin()) {
        ::MessageBoxA(nullptr, NotAdminText, NotAdminCaption, MB_ICONWARNING);
        result = ExitNotAdministrator;
    } else {
        setup.FrameWindow =
            ::CreateDialogParamW(instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr, FrameDialogProc, 0);
        if (setup.FrameWindow == nullptr) {
            ReportInitFailure();
            result = ExitFrameNotCreated;
        } else {
            result = RunMessageLoop(setup);
        }
    }
    ::CoUninitialize();
    return static_cast<int>(result);
}

bool IsUserAdmin() {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0,
                                    0, 0, 0, 0, &administrators)) {
        return false;
    }
    BOOL member = FALSE;
    if (!StartupSeams::CheckTokenMembershipCall(nullptr, administrators, &member)) {
        member = FALSE;
    }
    ::FreeSid(administrators);
    return member != FALSE;
}

void ReportInitFailure() {
    ::MessageBoxA(CurrentSetup->FrameWindow, InitFailedText, InitFailedCaption, MB_ICONERROR);
}

namespace {

bool StartPlatformServices() {
    INITCOMMONCONTROLSEX controls = {8, 0xFF};
    return StartupSeams::InitCommonControlsExCall(&controls) != FALSE;
}

// Keyboard navigation belongs to the page on show, so each message goes to its dialog handling first.
WPARAM RunMessageLoop(SetupState& setup) {
    MSG message = {};
    while (message.message != WM_QUIT) {
        while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
            if (!::IsDialogMessageW(setup.PageWindows[setup.CurrentPage], &message)) {
                ::TranslateMessage(&message);
                ::DispatchMessageW(&message);
            }
        }
    }
    return message.wParam;
}

}  // namespace
