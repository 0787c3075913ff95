#include "setup/version_number.h"

namespace {

constexpr uint32_t VersionParts = 4;
constexpr uint32_t LargestPart = 65535;
constexpr uint32_t MostDigits = 5;

}  // namespace

bool ParseVersionText(const wchar_t* text, VersionNumber* version) {
    VersionNumber number = 0;
    const wchar_t* cursor = text;
    for (uint32_t part = 0; part < VersionParts; ++part) {
        if (part != 0 && *cursor++ != L'.') {
            return false;
        }
        uint32_t value = 0;
        uint32_t digits = 0;
        while (*cursor >= L'0' && *cursor <= L'9' && digits < MostDigits) {
            value = value * 10 + static_cast<uint32_t>(*cursor++ - L'0');
            ++digits;
        }
        if (digits == 0 || value > LargestPart) {
            return false;
        }
        number = (number << 16) | value;
    }
    if (*cursor != L'\0') {
        return false;
    }
    *version = number;
    return true;
}
