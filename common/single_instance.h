#pragma once

#include <windows.h>

// One installation at a time: the installer and the uninstaller each hold one named mutex while they
// run, in the Global namespace so that a person's session and the system account's session see the
// same one. The object exists while any handle to it is open; its ownership is never taken.

// False when another installer or uninstaller runs. Otherwise *claim holds the handle to close at the
// end, or null when the system refused the object for another reason and the run goes on unguarded.
// An inheritable handle keeps the claim alive in a process started in turn.
bool ClaimInstallation(bool inheritable, HANDLE* claim);
void ReleaseInstallation(HANDLE claim);

// Brings the window of the running installer or uninstaller to the front, restored if minimised.
void BringRunningInstallationToFront();
