#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// Drives the real installer as a separate process, the way a user does: it waits for windows by
// condition with a deadline, reads what they show, presses buttons and types keys.

constexpr DWORD DefaultDeadlineMs = 20000;

// Polls until the condition holds or the deadline passes; true when it held.
bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs = DefaultDeadlineMs);

class InstallerProcess {
public:
    explicit InstallerProcess(const std::wstring& path);
    // Runs a command line as the shell runs one, such as an UninstallString: the program is found in it.
    InstallerProcess(const std::wstring& path, std::wstring commandLine);
    ~InstallerProcess();
    InstallerProcess(const InstallerProcess&) = delete;
    InstallerProcess& operator=(const InstallerProcess&) = delete;

    bool Started() const { return process_ != nullptr; }
    DWORD ProcessId() const { return processId_; }
    // Waits for the process to end; its exit code, or STILL_ACTIVE when it did not end in time.
    DWORD WaitForExit(DWORD deadlineMs = DefaultDeadlineMs);
    // The same, watching the process's windows meanwhile: *shown is the first visible top-level window
    // or message box it had, null when it never showed one.
    DWORD WaitForExitWatching(HWND* shown, DWORD deadlineMs = DefaultDeadlineMs);
    bool HasExited() const;
    HANDLE Handle() const { return process_; }

    // The visible top-level window of this process whose title is given; null when there is none.
    HWND FindTopLevel(const std::wstring& title) const;
    // A visible message box of this process; null when there is none.
    HWND FindMessageBox() const;
    // Any other visible top-level window of this process, such as the folder picker.
    HWND FindOtherTopLevel(HWND except) const;
    HWND WaitForFrame(DWORD deadlineMs = DefaultDeadlineMs) const;

private:
    HANDLE process_ = nullptr;
    DWORD processId_ = 0;
};

// A visible message box of any process, such as one a program started in turn shows; null when none.
HWND FindAnyMessageBox();

// The page on show inside the frame: the one visible child dialog.
HWND VisiblePage(HWND frame);
// The visible page that has a control with this id and text, once it shows.
HWND WaitForPageWithButton(HWND frame, int id, const std::wstring& caption, DWORD deadlineMs = DefaultDeadlineMs);

std::wstring WindowText(HWND window);
std::wstring ControlText(HWND page, int id);
bool IsChecked(HWND page, int id);
bool IsEnabled(HWND page, int id);
bool IsShown(HWND page, int id);
int ProgressPosition(HWND page, int id);
std::vector<std::wstring> ListLines(HWND page, int id);
std::wstring MessageBoxText(HWND box);

// Real input through the system's queue: the frame is brought to the front, then the keys go to
// whatever has the focus there.
void BringToFront(HWND frame);
void PressKeys(HWND frame, const std::vector<WORD>& chord);  // all down in order, then up in reverse
void ClickButton(HWND page, int id);                          // a mouse click on the button's centre
// Clicks the check box until it shows the state: a click that reaches the page while it is still
// settling can be lost on a slow machine. False when three clicks did not give the state.
bool ClickCheckBoxTo(HWND page, int id, bool checked);
void ClickCloseBox(HWND frame);                               // the caption's close box
