#include "removal/text.h"

#include <windows.h>

namespace {

int LengthWithoutSeparator(const wchar_t* folder);

}  // namespace

bool SameText(const wchar_t* a, const wchar_t* b) {
    return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

bool SameFolder(const wchar_t* a, const wchar_t* b) {
    int lengthA = LengthWithoutSeparator(a);
    int lengthB = LengthWithoutSeparator(b);
    return lengthA > 0 && ::CompareStringOrdinal(a, lengthA, b, lengthB, TRUE) == CSTR_EQUAL;
}

uint32_t CutToFolder(wchar_t* path) {
    uint32_t length = static_cast<uint32_t>(::lstrlenW(path));
    while (length > 0 && path[length - 1] != L'\\') {
        --length;
    }
    path[length] = L'\0';
    return length;
}

namespace {

int LengthWithoutSeparator(const wchar_t* folder) {
    int length = ::lstrlenW(folder);
    return length > 0 && folder[length - 1] == L'\\' ? length - 1 : length;
}

}  // namespace
