#include "install/step_strings.h"

namespace {

constexpr uint32_t StepCount = 9;

}  // namespace

uint32_t BoundedLength(const wchar_t* buffer, uint32_t capacity) {
    uint32_t length = 0;
    while (length + 1 < capacity && buffer[length] != 0) {
        ++length;
    }
    return length;
}

uint32_t AppendText(wchar_t* buffer, uint32_t capacity, const wchar_t* text) {
    uint32_t length = BoundedLength(buffer, capacity);
    uint32_t fits = 1;
    for (; *text != 0; ++text) {
        if (length + 1 >= capacity) {
            fits = 0;
            break;
        }
        buffer[length++] = *text;
    }
    buffer[length] = 0;
    return fits;
}

uint32_t AppendFileName(wchar_t* folder, uint32_t capacity, const wchar_t* name, const wchar_t* extension) {
    uint32_t fits = AppendText(folder, capacity, name);
    fits &= AppendText(folder, capacity, extension);
    return fits;
}

uint32_t ComposeIconText(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    out[0] = 0;
    uint32_t fits = AppendText(out, capacity, path);
    fits &= AppendText(out, capacity, L",0");
    return fits;
}

uint32_t ComposeOpenCommand(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    out[0] = 0;
    uint32_t fits = AppendText(out, capacity, L"\"");
    fits &= AppendText(out, capacity, path);
    fits &= AppendText(out, capacity, L"\" \"%1\"");
    return fits;
}

uint32_t ComposeUninstallCommand(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    out[0] = 0;
    uint32_t fits = AppendText(out, capacity, L"\"");
    fits &= AppendText(out, capacity, path);
    fits &= AppendText(out, capacity, L"\"");
    return fits;
}

uint32_t StringByteCount(const wchar_t* text) {
    uint32_t length = 0;
    while (text[length] != 0) {
        ++length;
    }
    return (length + 1) * sizeof(wchar_t);
}

uint32_t StepProgressPosition(uint32_t step) {
    return (step + 1) * 100 / StepCount;
}
