#include "wizard/number_format.h"

namespace {

constexpr uint32_t FormatLimit = 63;  // characters; the terminator makes 64
constexpr char DigitChars[] = "0123456789abcdef";

}  // namespace

uint32_t FormatUnsigned(char* out, const char* format, uint32_t value) {
    uint32_t count = 0;
    const char* at = format;
    while (*at != '\0' && *at != '%' && count < FormatLimit) {
        out[count++] = *at++;
    }
    if (*at != '%') {
        out[count] = '\0';
        return count;
    }
    ++at;
    const uint32_t base = *at == 'x' ? 16 : 10;
    if (*at != '\0') {
        ++at;
    }
    char digits[16];
    uint32_t digitCount = 0;
    do {
        digits[digitCount++] = DigitChars[value % base];
        value /= base;
    } while (value != 0);
    while (digitCount > 0 && count < FormatLimit) {
        out[count++] = digits[--digitCount];
    }
    while (*at != '\0' && count < FormatLimit) {
        out[count++] = *at++;
    }
    out[count] = '\0';
    return count;
}
