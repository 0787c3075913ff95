#include "removal/text.h"

#include <windows.h>

bool SameText(const wchar_t* a, const wchar_t* b) {
    return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

uint32_t CutToFolder(wchar_t* path) {
    uint32_t length = static_cast<uint32_t>(::lstrlenW(path));
    while (length > 0 && path[length - 1] != L'\\') {
        --length;
    }
    path[length] = L'\0';
    return length;
}
