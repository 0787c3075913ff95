#include "setup/paths.h"

// Only the last character is looked at: a trailing forward slash becomes the backslash.
void EnsureTrailingSeparator(wchar_t* path) {
    uint32_t length = 0;
    while (path[length] != L'\0') {
        ++length;
    }
    if (length > 0 && (path[length - 1] == L'\\' || path[length - 1] == L'/')) {
        --length;
    }
    path[length] = L'\\';
    path[length + 1] = L'\0';
}
