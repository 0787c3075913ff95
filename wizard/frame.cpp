#include "wizard/frame.h"

#include "setup/product_texts.h"
#include "setup/setup_state.h"

INT_PTR CALLBACK FrameDialogProc(HWND window, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        ::SetWindowTextW(window, ProductTitle);
        ::ShowWindow(window, SW_SHOWNORMAL);
        return TRUE;
    case WM_CLOSE:
        CurrentSetup->State = Closing;
        ::DestroyWindow(window);
        return TRUE;
    case WM_DESTROY:
        if (CurrentSetup->State == Closing) {
            ::PostQuitMessage(0);
        }
        return TRUE;
    default:
        return FALSE;
    }
}
