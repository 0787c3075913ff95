#pragma once

#include "setup/setup_state.h"

#include <windows.h>

#include <cstdint>
#include <functional>

// The installer's message loop for the tests and benchmarks that drive a live wizard: each message
// goes to the page on show first, as the product's loop hands it, and each tick of the frame's timer
// that runs an install step is reported.
class MessagePump {
public:
    explicit MessagePump(SetupState& state) : State(state) {}

    // Runs the loop until done() or the deadline; false at the deadline.
    bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
    // Runs the loop until every message posted so far, and those they post in turn, are handled.
    void Settle();

    // After each tick that ran a step: the step's number and how long the tick's handling took.
    std::function<void(uint32_t step, double milliseconds)> OnStepTick;
    bool QuitSeen = false;

private:
    void Handle(MSG& message);

    SetupState& State;
    uint32_t Handled = 0;
};
