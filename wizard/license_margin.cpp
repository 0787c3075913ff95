#include "wizard/license_margin.h"

int32_t LicenseInsetForDpi(uint32_t dpi) {
    const uint32_t inset = dpi * 5 / 96;
    return inset >= 20 ? 20 : static_cast<int32_t>(inset);
}

void InsetEditRect(HWND edit, int32_t dx, int32_t dy) {
    RECT rect = {};
    ::SendMessageW(edit, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    rect.left += dx;
    rect.top += dy;
    ::SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
}

// The control itself takes its border off the rectangle it is given, on every call alike.
void SetEditRectInset(HWND edit, int32_t inset) {
    RECT rect = {};
    if (!::GetClientRect(edit, &rect)) {
        return;
    }
    rect.left += inset;
    rect.top += inset;
    ::SendMessageW(edit, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rect));
}
