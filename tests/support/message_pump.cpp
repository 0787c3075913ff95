#include "tests/support/message_pump.h"

#include "tests/support/elapsed.h"

namespace {

constexpr UINT SettleMarker = WM_APP + 0x3A5;

}  // namespace

bool MessagePump::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            Handle(message);
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
void MessagePump::Settle() {
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

void MessagePump::Handle(MSG& message) {
    if (message.message == WM_QUIT) {
        QuitSeen = true;
        return;
    }
    if (message.hwnd == nullptr && message.message == SettleMarker) {
        *reinterpret_cast<bool*>(message.lParam) = true;
        return;
    }
    ++Handled;
    const uint32_t armed = State.PendingStep;
    const bool stepTick = message.message == WM_TIMER && message.hwnd == State.FrameWindow && armed != 0;
    LARGE_INTEGER before, after;
    ::QueryPerformanceCounter(&before);
    HWND page = State.PageWindows[State.CurrentPage];
    if (!::IsWindow(page) || !::IsDialogMessageW(page, &message)) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    ::QueryPerformanceCounter(&after);
    if (stepTick && OnStepTick) {
        OnStepTick(armed - 1, Milliseconds(before, after));
    }
}
