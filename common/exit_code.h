#pragma once

// The exit codes of the installer and of the uninstaller it carries, one table for both, so that a
// script or a deployment tool can tell a failure from a success. They are part of the product: a code
// never changes its meaning. 0 also covers a user who cancels or answers No, since nothing failed.
// Where the platform has a code of its own for an outcome, that code is used, since deployment tools
// already know what it means.
enum ExitCode : int {
    ExitSucceeded = 0,
    ExitComStartFailed = 1,
    ExitControlsStartFailed = 2,
    ExitInitializationFailed = 3,  // the payload or a standard folder
    ExitNotAdministrator = 4,
    ExitFrameNotCreated = 5,
    ExitWizardNotBuilt = 6,
    ExitInstallationFailed = 7,
    ExitNoComponentChosen = 8,
    ExitRemovalIncomplete = 9,        // the uninstaller could not remove every part of the pack
    ExitUninstallerPathUnknown = 10,  // the uninstaller could not read its own path
    ExitQuestionNotShown = 11,        // the uninstaller's question could not be shown
    ExitDllSearchNotRestricted = 12,  // the uninstaller refuses to run where a planted DLL could load
    ExitDiskFull = 112,               // ERROR_DISK_FULL
    ExitFolderUnusable = 267,         // ERROR_DIRECTORY
    ExitAnotherInstallationRuns = 1618,  // ERROR_INSTALL_ALREADY_RUNNING: tools retry later by themselves
    ExitNewerVersionInstalled = 1638,    // ERROR_PRODUCT_VERSION: going back means removing the newer first
    ExitInvalidCommandLine = 1639,       // ERROR_INVALID_COMMAND_LINE
    ExitRestartRequired = 3010,  // ERROR_SUCCESS_REBOOT_REQUIRED: installed or removed, some files at the restart
};
