#pragma once

#include <windows.h>
#include <commctrl.h>

// The whole life of the installer: start-up, the wizard's message loop, shut-down. Returns the exit
// code (ExitCode): the frame's quit code once the wizard ran, else the start-up failure's own.
int RunSetup(HINSTANCE instance);

bool IsUserAdmin();
void ReportInitFailure();

// Single calls that Wine cannot make fail; tests replace them, the product never does.
namespace StartupSeams {
extern HRESULT(WINAPI* CoInitializeExCall)(LPVOID, DWORD);
extern BOOL(WINAPI* InitCommonControlsExCall)(const INITCOMMONCONTROLSEX*);
extern BOOL(WINAPI* CheckTokenMembershipCall)(HANDLE, PSID, PBOOL);
}  // namespace StartupSeams
