#pragma once

#include <windows.h>
#include <commctrl.h>

// The whole life of the installer: the command line, start-up, the wizard's message loop or the run
// that asks no one, shut-down. Returns the exit code (ExitCode): the frame's quit code once the wizard
// ran, the installation's under /quiet, else the refusal's or the start-up failure's own. The command
// line is a whole one, the program's name first; without one the program runs as its wizard.
int RunSetup(HINSTANCE instance, const wchar_t* commandLine = nullptr);

bool IsUserAdmin();
// Each says what failed: in the log, and in a message box where one may wait for a person.
void ReportInitFailure();
void ReportNotAdministrator();

// Single calls that Wine cannot make fail; tests replace them, the product never does.
namespace StartupSeams {
extern HRESULT(WINAPI* CoInitializeExCall)(LPVOID, DWORD);
extern BOOL(WINAPI* InitCommonControlsExCall)(const INITCOMMONCONTROLSEX*);
extern BOOL(WINAPI* CheckTokenMembershipCall)(HANDLE, PSID, PBOOL);
}  // namespace StartupSeams
