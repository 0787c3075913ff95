#include "wizard_harness.h"

#include "resources/resource_ids.h"
#include "wizard/frame.h"

#include <commctrl.h>
#include <objbase.h>

#include <cwchar>

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
