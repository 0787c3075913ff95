#include "tests/support/window_picture.h"

#include <vector>

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0) {
        return false;
    }
    HDC screen = ::GetDC(nullptr);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::SelectObject(memory, previous);

    BITMAPINFOHEADER info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    std::vector<BYTE> pixels(stride * static_cast<DWORD>(height));
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
                DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(info);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = ::WriteFile(file, &header, sizeof(header), &written, nullptr) &&
              ::WriteFile(file, &info, sizeof(info), &written, nullptr) &&
              ::WriteFile(file, pixels.data(), static_cast<DWORD>(pixels.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok;
}

void SaveScreenshot(HWND window, const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"KELVORIN_SCREENSHOT_DIR", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    // Another process's window takes the activation in its own time; its thread's state tells when.
    ::SetForegroundWindow(window);
    const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    const DWORD start = ::GetTickCount();
    GUITHREADINFO info = {sizeof(info)};
    while (::GetGUIThreadInfo(thread, &info) && info.hwndActive != window && ::GetTickCount() - start < 3000) {
        ::Sleep(20);
    }
    // Wine draws the caption of a window that was activated before it became the foreground window as
    // inactive, and leaves it so; the window is both now, and its caption is told.
    ::SendMessageW(window, WM_NCACTIVATE, TRUE, 0);
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // The painting reaches the screen when the window's thread next waits for messages.
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_BLOCK, 2000, nullptr);
    SaveWindowPicture(window, std::wstring(folder) + L"\\" + name + L".bmp");
}
