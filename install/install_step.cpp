#include "install/install_step.h"

#include "setup/setup_state.h"

// Placeholder sequence until the installation engine lands: it only walks the nine steps.
void RunInstallStep(uint32_t step) {
    SetupState& setup = *CurrentSetup;
    setup.PendingStep = 0;
    if (step < 8) {
        ::PostMessageW(setup.FrameWindow, WM_APP, step + 1, 0);
    } else {
        setup.State = Finished;
    }
}
