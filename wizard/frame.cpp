#include "wizard/frame.h"

#include "install/install_step.h"
#include "install/installation_end.h"
#include "resources/resource_ids.h"
#include "common/exit_code.h"
#include "common/run_log.h"
#include "setup/setup_state.h"
#include "setup/startup.h"
#include "wizard/init_wizard.h"
#include "wizard/license_margin.h"

namespace {

constexpr const char* CancelledText = "Setup was cancelled: nothing was installed.";

void OnDestroy(HWND window);
void OnClose();
void OnInitDialog(HWND window);
void OnTimer(HWND window, UINT_PTR timer);
void OnDpiChanged(HWND window, uint32_t dpi);
void OnPlaceLicenseText(uint32_t dpi);
void OnArmStep(WPARAM step);

}  // namespace

INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_DESTROY:
        OnDestroy(window);
        return TRUE;
    case WM_CLOSE:
        OnClose();
        return TRUE;
    case WM_INITDIALOG:
        OnInitDialog(window);
        return TRUE;
    case WM_TIMER:
        OnTimer(window, static_cast<UINT_PTR>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        OnDpiChanged(window, HIWORD(wParam));
        return FALSE;  // a dialog that answers it as handled is not rescaled by the dialog manager
    case PlaceLicenseTextMessage:
        OnPlaceLicenseText(static_cast<uint32_t>(wParam));
        return TRUE;
    case WM_APP:
        OnArmStep(wParam);
        return TRUE;
    default:
        return FALSE;
    }
}

namespace {

// Only a deliberate close ends the loop; any other destruction leaves it running. The quit code is the
// program's exit code: a wizard that was never built, or an installation that counted an error, is a
// failure, one finished at the next restart says so; any other close is the user's choice.
void OnDestroy(HWND window) {
    const SetupState& setup = *CurrentSetup;
    if (setup.State != Closing) {
        return;
    }
    int code = static_cast<int>(::GetWindowLongPtrW(window, DWLP_USER));
    if (code == ExitSucceeded) {
        code = InstallationExitCode(setup);
    }
    ::PostQuitMessage(code);
}

// An installation cannot be interrupted: every close request during it is dropped.
void OnClose() {
    SetupState& setup = *CurrentSetup;
    if (setup.State == Installing) {
        return;
    }
    ::KillTimer(setup.FrameWindow, StepTimerId);
    ::KillTimer(setup.FrameWindow, AutoCloseTimerId);
    // A wizard closed before its installation has a result of its own; one that was never built has
    // said so already.
    if (setup.State != Finished &&
        ::GetWindowLongPtrW(setup.FrameWindow, DWLP_USER) == static_cast<LONG_PTR>(ExitSucceeded)) {
        WriteLogNarrowLine(setup.Log, CancelledText);
    }
    setup.State = Closing;
    ::DestroyWindow(setup.FrameWindow);
}

// The failure is kept on the frame itself until its WM_DESTROY picks the quit code. Every dialog has
// this slot, so the call cannot fail here.
void OnInitDialog(HWND window) {
    if (!InitWizard(window)) {
        static_cast<void>(::SetWindowLongPtrW(window, DWLP_USER, ExitWizardNotBuilt));
        ReportInitFailure();
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

// The step clears PendingStep itself, so a tick never runs a step twice. Under /passive the frame
// closes by itself once the result has shown for a moment; should that timer fail, at once.
void OnTimer(HWND window, UINT_PTR timer) {
    const SetupState& setup = *CurrentSetup;
    if (timer == AutoCloseTimerId) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        return;
    }
    if (setup.PendingStep == 0) {
        return;
    }
    RunInstallStep(setup.PendingStep - 1);
    if (setup.Mode == PassiveMode && setup.State == Finished &&
        ::SetTimer(window, AutoCloseTimerId, AutoCloseDelayMs, nullptr) == 0) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
    }
}

// Rescaling resizes the license edit, and a resized edit control resets its formatting rectangle:
// an inset applied now would be lost, so it is applied once the rescaling is done.
void OnDpiChanged(HWND window, uint32_t dpi) {
    ::PostMessageW(window, PlaceLicenseTextMessage, dpi, 0);
}

void OnPlaceLicenseText(uint32_t dpi) {
    SetEditRectInset(::GetDlgItem(CurrentSetup->PageWindows[WizardPage::License], IDC_LICENSE_TEXT),
                     LicenseInsetForDpi(dpi));
}

void OnArmStep(WPARAM step) {
    CurrentSetup->PendingStep = static_cast<uint32_t>(step) + 1;
}

}  // namespace
