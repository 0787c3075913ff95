#include "common/bounded_text.h"

uint32_t BoundedLength(const wchar_t* buffer, uint32_t capacity) {
    uint32_t length = 0;
    while (length + 1 < capacity && buffer[length] != 0) {
        ++length;
    }
    return length;
}

uint32_t AppendText(wchar_t* buffer, uint32_t capacity, const wchar_t* text) {
    return AppendTextPart(buffer, capacity, text, UINT32_MAX);
}

uint32_t AppendTextPart(wchar_t* buffer, uint32_t capacity, const wchar_t* text, uint32_t count) {
    uint32_t length = BoundedLength(buffer, capacity);
    uint32_t fits = 1;
    for (uint32_t taken = 0; taken < count && text[taken] != 0; ++taken) {
        if (length + 1 >= capacity) {
            fits = 0;
            break;
        }
        buffer[length++] = text[taken];
    }
    buffer[length] = 0;
    return fits;
}

uint32_t CopyText(wchar_t* buffer, uint32_t capacity, const wchar_t* text) {
    buffer[0] = 0;
    return AppendText(buffer, capacity, text);
}
