#include "tests/support/window_picture.h"

#include <vector>

namespace {

// What the screen shows of the window's outer rectangle, as bottom-up rows of 24-bit pixels.
struct Picture {
    BITMAPINFOHEADER Info = {};
    std::vector<BYTE> Pixels;
};

bool TakePicture(HWND window, Picture* picture) {
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

    BITMAPINFOHEADER& info = picture->Info;
    info = {};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    picture->Pixels.assign(stride * static_cast<DWORD>(height), 0);
    ::GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), picture->Pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    return true;
}

bool WritePicture(const Picture& picture, const std::wstring& path) {
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4D42;
    header.bfOffBits = sizeof(header) + sizeof(picture.Info);
    header.bfSize = header.bfOffBits + static_cast<DWORD>(picture.Pixels.size());
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = ::WriteFile(file, &header, sizeof(header), &written, nullptr) &&
              ::WriteFile(file, &picture.Info, sizeof(picture.Info), &written, nullptr) &&
              ::WriteFile(file, picture.Pixels.data(), static_cast<DWORD>(picture.Pixels.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok;
}

}  // namespace

bool SaveWindowPicture(HWND window, const std::wstring& path) {
    Picture picture;
    return TakePicture(window, &picture) && WritePicture(picture, path);
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
    ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // What is painted reaches the screen once the window's thread is idle again: the picture is the
    // first that no longer changes.
    Picture picture, next;
    if (!TakePicture(window, &picture)) {
        return;
    }
    while (::GetTickCount() - start < 5000) {
        ::Sleep(50);
        if (!TakePicture(window, &next) || next.Pixels == picture.Pixels) {
            break;
        }
        picture = next;
    }
    WritePicture(picture, std::wstring(folder) + L"\\" + name + L".bmp");
}
