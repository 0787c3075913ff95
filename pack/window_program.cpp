#include "window_program.h"

#include <windows.h>

namespace {

constexpr int WindowWidth = 420;
constexpr int WindowHeight = 140;
constexpr WORD ProgramIconId = 1;

const wchar_t WindowClassName[] = L"KelvorinPackProgram";

LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT RememberLine(HWND window, const CREATESTRUCTW* create);
void PaintLine(HWND window);
int DrawLine(HWND window, HDC dc);

}  // namespace

int RunProgramWindow(const wchar_t* title, const wchar_t* line) {
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (instance == nullptr) {
        return RegisterFailed;
    }

    // A missing icon resource is cosmetic; fall back to the stock one rather than refuse to run.
    HICON icon = ::LoadIconW(instance, MAKEINTRESOURCEW(ProgramIconId));
    if (icon == nullptr) {
        icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    }
    HCURSOR cursor = ::LoadCursorW(nullptr, IDC_ARROW);
    if (cursor == nullptr) {
        return RegisterFailed;
    }

    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = ProgramWindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = icon;
    windowClass.hIconSm = icon;
    windowClass.hCursor = cursor;
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = WindowClassName;
    if (::RegisterClassExW(&windowClass) == 0) {
        return RegisterFailed;
    }

    HWND window = ::CreateWindowExW(0, WindowClassName, title, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, WindowWidth, WindowHeight, nullptr, nullptr,
                                    instance, const_cast<wchar_t*>(line));
    if (window == nullptr) {
        return CreateFailed;
    }
    // The return value says whether the window was visible before, not whether the call worked.
    ::ShowWindow(window, SW_SHOWDEFAULT);
    if (::UpdateWindow(window) == FALSE) {
        ::DestroyWindow(window);
        return CreateFailed;
    }

    MSG message = {};
    for (;;) {
        BOOL received = ::GetMessageW(&message, nullptr, 0, 0);
        if (received == 0) {
            break;
        }
        if (received == -1) {
            return MessageLoopFailed;
        }
        // Both results only report whether the message was translated or what the procedure said.
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

namespace {

LRESULT CALLBACK ProgramWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE:
        return RememberLine(window, reinterpret_cast<const CREATESTRUCTW*>(lParam));
    case WM_PAINT:
        PaintLine(window);
        return 0;
    case WM_DESTROY:
        ::PostQuitMessage(ProgramClosed);
        return 0;
    default:
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
}

// Keeps the text on the window itself so the procedure needs no global.
LRESULT RememberLine(HWND window, const CREATESTRUCTW* create) {
    // SetWindowLongPtrW returns the old value, which is 0 here, so only the last error tells failure apart.
    ::SetLastError(ERROR_SUCCESS);
    if (::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams)) == 0 &&
        ::GetLastError() != ERROR_SUCCESS) {
        return -1;
    }
    return 0;
}

void PaintLine(HWND window) {
    PAINTSTRUCT paint = {};
    HDC dc = ::BeginPaint(window, &paint);
    if (dc == nullptr) {
        return;
    }
    // Nothing can be done about a failed draw inside WM_PAINT; the next repaint simply tries again.
    DrawLine(window, dc);
    // EndPaint always succeeds.
    ::EndPaint(window, &paint);
}

int DrawLine(HWND window, HDC dc) {
    const wchar_t* line = reinterpret_cast<const wchar_t*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (line == nullptr) {
        return 0;
    }
    RECT client = {};
    if (::GetClientRect(window, &client) == FALSE) {
        return 0;
    }
    HGDIOBJ font = ::GetStockObject(DEFAULT_GUI_FONT);
    if (font == nullptr) {
        return 0;
    }
    HGDIOBJ previousFont = ::SelectObject(dc, font);
    if (previousFont == nullptr || previousFont == HGDI_ERROR) {
        return 0;
    }
    // Colours follow the system theme so the text stays readable on high-contrast schemes.
    int drawn = ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT)) != CLR_INVALID &&
                ::SetBkMode(dc, TRANSPARENT) != 0 &&
                ::DrawTextW(dc, line, -1, &client, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX) != 0;
    // Restoring the DC's own font cannot fail once selecting ours succeeded.
    ::SelectObject(dc, previousFont);
    return drawn;
}

}  // namespace
