#include "tests/e2e/installer_driver.h"

#include <commctrl.h>

namespace {

enum class Looking { ForTitle, ForMessageBox, ForAnyOther };

struct WindowSearch {
    DWORD ProcessId;
    Looking For;
    const std::wstring* Title;
    HWND Except;
    HWND Found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<WindowSearch*>(data);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if ((search->ProcessId != 0 && owner != search->ProcessId) || !::IsWindowVisible(window)) {
        return TRUE;
    }
    wchar_t className[32] = {};
    ::GetClassNameW(window, className, 32);
    bool isBox = std::wstring(className) == L"#32770" && ::GetDlgItem(window, 0xFFFF) != nullptr;
    bool matches = search->For == Looking::ForMessageBox ? isBox
                   : search->For == Looking::ForTitle    ? !isBox && WindowText(window) == *search->Title
                                                         : window != search->Except;
    if (matches) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchVisibleChild(HWND child, LPARAM data) {
    if (::IsWindowVisible(child) && ::GetParent(child) == reinterpret_cast<HWND*>(data)[0]) {
        reinterpret_cast<HWND*>(data)[1] = child;
        return FALSE;
    }
    return TRUE;
}

void SendKey(WORD key, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof(input));
}

void ClickAt(POINT point) {
    int width = ::GetSystemMetrics(SM_CXSCREEN) - 1;
    int height = ::GetSystemMetrics(SM_CYSCREEN) - 1;
    // One event at a time, with a pause between: a press that arrives together with the move
    // that brought the pointer there can be lost on the way through the X server.
    for (DWORD flags : {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = point.x * 65535 / width;
        input.mi.dy = point.y * 65535 / height;
        input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &input, sizeof(input));
        ::Sleep(50);
    }
}

}  // namespace

bool WaitFor(const std::function<bool()>& condition, DWORD deadlineMs) {
    DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) {
            return true;
        }
        if (::GetTickCount() - start > deadlineMs) {
            return false;
        }
        ::Sleep(20);
    }
}

InstallerProcess::InstallerProcess(const std::wstring& path) : InstallerProcess(path, L"\"" + path + L"\"") {}

InstallerProcess::InstallerProcess(const std::wstring& path, std::wstring commandLine) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    if (::CreateProcessW(path.empty() ? nullptr : path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                         nullptr, &startup, &info)) {
        ::CloseHandle(info.hThread);
        process_ = info.hProcess;
        processId_ = info.dwProcessId;
    }
}

InstallerProcess::~InstallerProcess() {
    if (process_ != nullptr) {
        if (!HasExited()) {
            ::TerminateProcess(process_, 99);
            ::WaitForSingleObject(process_, 5000);
        }
        ::CloseHandle(process_);
    }
}

DWORD InstallerProcess::WaitForExit(DWORD deadlineMs) {
    DWORD code = STILL_ACTIVE;
    if (::WaitForSingleObject(process_, deadlineMs) == WAIT_OBJECT_0) {
        ::GetExitCodeProcess(process_, &code);
    }
    return code;
}

DWORD InstallerProcess::WaitForExitWatching(HWND* shown, DWORD deadlineMs) {
    *shown = nullptr;
    WaitFor([&] {
        if (*shown == nullptr) *shown = FindOtherTopLevel(nullptr);
        return HasExited();
    }, deadlineMs);
    return WaitForExit(0);
}

bool InstallerProcess::HasExited() const {
    return ::WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
}

HWND InstallerProcess::FindTopLevel(const std::wstring& title) const {
    WindowSearch search = {processId_, Looking::ForTitle, &title, nullptr, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND InstallerProcess::FindMessageBox() const {
    WindowSearch search = {processId_, Looking::ForMessageBox, nullptr, nullptr, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND FindAnyMessageBox() {
    WindowSearch search = {0, Looking::ForMessageBox, nullptr, nullptr, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND InstallerProcess::FindOtherTopLevel(HWND except) const {
    WindowSearch search = {processId_, Looking::ForAnyOther, nullptr, except, nullptr};
    ::EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.Found;
}

HWND InstallerProcess::WaitForFrame(DWORD deadlineMs) const {
    HWND frame = nullptr;
    WaitFor([&] { return (frame = FindTopLevel(L"Kelvorin App Pack (32-bit)")) != nullptr; }, deadlineMs);
    return frame;
}

HWND VisiblePage(HWND frame) {
    HWND search[2] = {frame, nullptr};
    ::EnumChildWindows(frame, MatchVisibleChild, reinterpret_cast<LPARAM>(search));
    return search[1];
}

HWND WaitForPageWithButton(HWND frame, int id, const std::wstring& caption, DWORD deadlineMs) {
    HWND page = nullptr;
    WaitFor([&] {
        page = VisiblePage(frame);
        return page != nullptr && ControlText(page, id) == caption;
    }, deadlineMs);
    return page != nullptr && ControlText(page, id) == caption ? page : nullptr;
}

std::wstring WindowText(HWND window) {
    wchar_t text[1024] = {};
    ::SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, nullptr);
    return text;
}

std::wstring ControlText(HWND page, int id) {
    HWND control = ::GetDlgItem(page, id);
    return control != nullptr ? WindowText(control) : L"<no control>";
}

bool IsChecked(HWND page, int id) {
    return ::SendMessageW(::GetDlgItem(page, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND page, int id) {
    return ::IsWindowEnabled(::GetDlgItem(page, id)) != FALSE;
}

bool IsShown(HWND page, int id) {
    return ::IsWindowVisible(::GetDlgItem(page, id)) != FALSE;
}

int ProgressPosition(HWND page, int id) {
    return static_cast<int>(::SendMessageW(::GetDlgItem(page, id), PBM_GETPOS, 0, 0));
}

std::vector<std::wstring> ListLines(HWND page, int id) {
    HWND list = ::GetDlgItem(page, id);
    std::vector<std::wstring> lines;
    LRESULT count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t line[1024] = {};
        if (::SendMessageW(list, LB_GETTEXTLEN, i, 0) < 1024) {
            ::SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
        }
        lines.push_back(line);
    }
    return lines;
}

std::wstring MessageBoxText(HWND box) {
    return ControlText(box, 0xFFFF);
}

void BringToFront(HWND frame) {
    ::SetForegroundWindow(frame);
    WaitFor([&] { return ::GetForegroundWindow() == frame; }, 3000);
}

void PressKeys(HWND frame, const std::vector<WORD>& chord) {
    BringToFront(frame);
    for (WORD key : chord) SendKey(key, false);
    for (auto key = chord.rbegin(); key != chord.rend(); ++key) SendKey(*key, true);
}

void ClickButton(HWND page, int id) {
    RECT rect = {};
    ::GetWindowRect(::GetDlgItem(page, id), &rect);
    BringToFront(::GetAncestor(page, GA_ROOT));
    ClickAt(POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2});
}

bool ClickCheckBoxTo(HWND page, int id, bool checked) {
    for (int attempt = 0; attempt < 3 && IsChecked(page, id) != checked; ++attempt) {
        ClickButton(page, id);
        WaitFor([&] { return IsChecked(page, id) == checked; }, 2000);
    }
    return IsChecked(page, id) == checked;
}

void ClickCloseBox(HWND frame) {
    RECT rect = {};
    ::GetWindowRect(frame, &rect);
    TITLEBARINFO bar = {};
    bar.cbSize = sizeof(bar);
    ::GetTitleBarInfo(frame, &bar);
    BringToFront(frame);
    // The close box is the last button at the right end of the caption.
    int size = ::GetSystemMetrics(SM_CYCAPTION);
    ClickAt(POINT{rect.right - ::GetSystemMetrics(SM_CXFRAME) - size / 2, bar.rcTitleBar.top + size / 2});
}
