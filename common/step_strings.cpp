#include "common/step_strings.h"

namespace {

constexpr uint32_t StepCount = 9;

// "path followed by the closing text.
uint32_t ComposeQuotedPath(wchar_t* out, uint32_t capacity, const wchar_t* path, const wchar_t* closing) {
    uint32_t fits = CopyText(out, capacity, L"\"");
    fits &= AppendText(out, capacity, path);
    fits &= AppendText(out, capacity, closing);
    return fits;
}

}  // namespace

uint32_t AppendFileName(wchar_t* folder, uint32_t capacity, const wchar_t* name, const wchar_t* extension) {
    uint32_t fits = AppendText(folder, capacity, name);
    fits &= AppendText(folder, capacity, extension);
    return fits;
}

uint32_t AppendUninstallerName(wchar_t* folder, uint32_t capacity, const wchar_t* baseName) {
    uint32_t nameStart = BoundedLength(folder, capacity);
    uint32_t fits = AppendFileName(folder, capacity, baseName, L".exe");
    // A full buffer takes no name at all, and its terminator stays.
    if (folder[nameStart] != 0) {
        folder[nameStart] = L'u';
    }
    return fits;
}

uint32_t ComposeIconText(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    uint32_t fits = CopyText(out, capacity, path);
    fits &= AppendText(out, capacity, L",0");
    return fits;
}

uint32_t ComposeOpenCommand(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    return ComposeQuotedPath(out, capacity, path, L"\" \"%1\"");
}

uint32_t ComposeUninstallCommand(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    return ComposeQuotedPath(out, capacity, path, L"\"");
}

uint32_t ComposeQuietUninstallCommand(wchar_t* out, uint32_t capacity, const wchar_t* path) {
    return ComposeQuotedPath(out, capacity, path, L"\" /quiet");
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
