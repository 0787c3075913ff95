#pragma once

#include "setup/setup_state.h"
#include "tests/support/message_pump.h"

#include <windows.h>

#include <functional>

// A live wizard on the real templates, driven as the product's message loop would drive it.
class WizardHarness {
public:
    WizardHarness();
    ~WizardHarness();

    // Creates the frame, as start-up does, for a state whose payload is loaded and whose install
    // folder is the given one. False when the frame could not be made.
    bool Open(const wchar_t* installFolder = L"C:\\Program Files (x86)\\Kelvorin\\");
    // The second half of Open, for a test that changes the loaded state first.
    bool CreateFrame();

    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
        return Pump.PumpUntil(done, timeoutMs);
    }
    void Settle() { Pump.Settle(); }

    HWND Page(uint32_t page) const { return State.PageWindows[page]; }
    HWND Item(uint32_t page, int id) const { return ::GetDlgItem(State.PageWindows[page], id); }
    void Click(uint32_t page, int id);
    // Esc as the keyboard delivers it: a key press on the focused control; lost when nothing has it.
    void PressEscape();
    bool FrameAlive() const { return ::IsWindow(State.FrameWindow) != FALSE; }
    bool QuitPosted() const { return Pump.QuitSeen; }
    // From the Folder page on, stops the installation before its first step, for as long as needed.
    void EnterProgressAndHold();

    SetupState State;
    MessagePump Pump{State};

private:
    bool ComStarted = false;
};
