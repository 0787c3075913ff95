#include "wizard_harness.h"

#include "resources/resource_ids.h"
#include "wizard/frame.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>

namespace {

constexpr UINT SettleMarker = WM_APP + 0x3A5;

void RemoveTree(const wchar_t* folder);

}  // namespace

WizardHarness::WizardHarness() : State(::GetModuleHandleW(nullptr)) {
    ComStarted = SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    INITCOMMONCONTROLSEX controls = {sizeof(controls), 0xFF};
    ::InitCommonControlsEx(&controls);
    CurrentSetup = &State;
}

WizardHarness::~WizardHarness() {
    if (FrameAlive()) {
        State.State = Idle;
        ::SendMessageW(State.FrameWindow, WM_CLOSE, 0, 0);
    }
    Settle();
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    }
    CurrentSetup = nullptr;
    if (ComStarted) {
        ::CoUninitialize();
    }
}

bool WizardHarness::Open(const wchar_t* installFolder) {
    if (State.LoadPayload() != 0) {
        return false;
    }
    ::wcsncpy(State.InstallFolder, installFolder, PathCapacity - 1);
    return CreateFrame();
}

bool WizardHarness::CreateFrame() {
    State.FrameWindow = ::CreateDialogParamW(State.Instance, MAKEINTRESOURCEW(IDD_FRAME), nullptr,
                                             FrameDialogProc, 0);
    return State.FrameWindow != nullptr;
}

bool WizardHarness::PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const DWORD start = ::GetTickCount();
    while (!done()) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                QuitSeen = true;
            } else if (message.hwnd == nullptr && message.message == SettleMarker) {
                *reinterpret_cast<bool*>(message.lParam) = true;
            } else {
                ++Handled;
                HWND page = State.PageWindows[State.CurrentPage];
                if (!::IsWindow(page) || !::IsDialogMessageW(page, &message)) {
                    ::TranslateMessage(&message);
                    ::DispatchMessageW(&message);
                }
            }
            if (done()) {
                return true;
            }
        }
        if (::GetTickCount() - start >= timeoutMs) {
            return false;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

// The queue has run dry once a marker comes back with nothing handled since the one before it.
void WizardHarness::Settle() {
    for (int round = 0; round < 20; ++round) {
        const uint32_t before = Handled;
        bool reached = false;
        ::PostThreadMessageW(::GetCurrentThreadId(), SettleMarker, 0, reinterpret_cast<LPARAM>(&reached));
        PumpUntil([&] { return reached; });
        if (round > 0 && Handled == before) {
            return;
        }
    }
}

void WizardHarness::Click(uint32_t page, int id) {
    ::SendMessageW(Item(page, id), BM_CLICK, 0, 0);
}

void WizardHarness::PressEscape() {
    HWND target = ::GetFocus();
    if (target == nullptr) {
        target = Item(State.CurrentPage, IDOK);
    }
    ::PostMessageW(target, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessageW(target, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

void WizardHarness::EnterProgressAndHold() {
    Click(WizardPage::Folder, IDOK);
    PumpUntil([&] { return State.PendingStep == 1; });
    State.PendingStep = 0;
    Settle();
}

void SaveScreenshot(HWND window, const wchar_t* name) {
    wchar_t folder[MAX_PATH];
    const DWORD length = ::GetEnvironmentVariableW(L"KELVORIN_SCREENSHOT_DIR", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) {
        return;
    }
    ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    RECT rect;
    ::GetWindowRect(window, &rect);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
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
    info.biBitCount = 24;  // no alpha byte, which viewers would take for transparency
    info.biCompression = BI_RGB;
    const DWORD pixelBytes = static_cast<DWORD>((width * 3 + 3) & ~3) * height;
    void* pixels = ::HeapAlloc(::GetProcessHeap(), 0, pixelBytes);
    ::GetDIBits(memory, bitmap, 0, height, pixels, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + pixelBytes;

    wchar_t path[MAX_PATH + 64];
    ::swprintf(path, MAX_PATH + 64, L"%ls\\%ls.bmp", folder, name);
    HANDLE out = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out != INVALID_HANDLE_VALUE) {
        DWORD written;
        ::WriteFile(out, &file, sizeof(file), &written, nullptr);
        ::WriteFile(out, &info, sizeof(info), &written, nullptr);
        ::WriteFile(out, pixels, pixelBytes, &written, nullptr);
        ::CloseHandle(out);
    }
    ::HeapFree(::GetProcessHeap(), 0, pixels);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
}

ScratchFolder::ScratchFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    ::swprintf(FolderPath, MAX_PATH, L"%ls%ls\\", temp, name);
    RemoveTree(FolderPath);
    ::CreateDirectoryW(FolderPath, nullptr);
}

ScratchFolder::~ScratchFolder() {
    RemoveTree(FolderPath);
}

namespace {

void RemoveTree(const wchar_t* folder) {
    wchar_t doubleEnded[MAX_PATH + 1] = {};  // the shell takes a list ended by two NULs
    ::wcsncpy(doubleEnded, folder, MAX_PATH - 1);
    doubleEnded[::wcslen(doubleEnded) - 1] = L'\0';
    SHFILEOPSTRUCTW operation = {};
    operation.wFunc = FO_DELETE;
    operation.pFrom = doubleEnded;
    operation.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&operation);
}

}  // namespace
