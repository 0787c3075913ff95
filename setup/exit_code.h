#pragma once

// The installer's exit codes, one per way it can end, so that a script can tell a failure from a
// success. They are part of the product: a code never changes its meaning. 0 also covers a user who
// cancels, since nothing failed.
enum ExitCode : int {
    ExitSucceeded = 0,
    ExitComStartFailed = 1,
    ExitControlsStartFailed = 2,
    ExitInitializationFailed = 3,  // the payload or a standard folder
    ExitNotAdministrator = 4,
    ExitFrameNotCreated = 5,
    ExitWizardNotBuilt = 6,
    ExitInstallationFailed = 7,
};
