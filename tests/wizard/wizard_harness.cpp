#include "wizard_harness.h"

#include "resources/resource_ids.h"
#include "wizard/frame.h"

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>

namespace {

constexpr UINT SettleMarker = WM_APP + 0x3A5;

}  // namespace

WizardHarness::WizardHarness() : State(::GetModuleHandleW(nullptr)) {
    ComStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    CurrentSetup = &State;
}

WizardHarness::~WizardHarness() {
    if (FrameAlive()) {
        State.State = Idle;
        ::SendMessageW(State.FrameWindow, WM_CLOSE, 0, 0);
    }
    Settle();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    CurrentSetup = nullptr;
    if (ComStarted) {
        ::CoUninitialize();
    }
}

bool WizardHarness::Open(const wchar_t* installFolder) {
    if (State.LoadPayload() != 0) {
        return false;
    }
    ::wcsncpy(State.InstallFolder, installFolder, PathCapacity - 1);
    return CreateFrame();
}

bool WizardHarness::CreateFrame() {
    State.FrameWindow = ::CreateDialogParamW(State.Instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                             FrameDialogProc, 0);
    return State.FrameWindow != nullptr;
}

bool WizardHarness::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                QuitSeen = true;
            } else if (message.hwnd == nullptr && message.message == SettleMarker) {
                *reinterpret_cast<bool*>(message.lParam) = true;
            } else {
                ++Handled;
                HWND page = State.PageWindows[State.CurrentPage];
                if (!::IsWindow(page) || !::IsDialogMessageW(page, &message)) {
                    ::TranslateMessage(&message);
                    ::DispatchMessageW(&message);
                }
            }
            if (done()) {
                return true;
            }
        }
        if (::GetTickCount() - start >= timeoutMs) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The queue has run dry once a marker comes back with nothing handled since the one before it.
void WizardHarness::Settle() {
    for (int round = 0; round < 20; ++round) {
        const uint32_t before = Handled;
        bool reached = false;
        ::PostThreadMessageW(::GetCurrentThreadId(), SettleMarker, 0, reinterpret_cast<LPARAM>(&reached));
        PumpUntil([&] { return reached; });
        if (round > 0 && Handled == before) {
            return;
        }
    }
}

void WizardHarness::Click(uint32_t page, int id) {
    ::SendMessageW(Item(page, id), BM_CLICK, 0, 0);
}

void WizardHarness::PressEscape() {
    HWND target = ::GetFocus();
    if (target == nullptr) {
        return;
    }
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void WizardHarness::EnterProgressAndHold() {
    Click(WizardPage::Folder, IDOK);
    PumpUntil([&] { return State.PendingStep == 1; });
    State.PendingStep = 0;
    Settle();
}
