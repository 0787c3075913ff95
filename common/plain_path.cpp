#include "common/plain_path.h"

#include "common/bounded_text.h"

#include <windows.h>

namespace {

// Any folder or log either program takes, made full against a current folder, with room to spare.
constexpr uint32_t WorkingCapacity = 4 * MAX_PATH;

bool IsSeparator(wchar_t c);
bool Put(wchar_t* out, uint32_t capacity, uint32_t* length, wchar_t c);
uint32_t PutRoot(const wchar_t* path, wchar_t* out, uint32_t capacity, uint32_t* length);
uint32_t LongFormOfExistingPart(const wchar_t* plain, uint32_t root, wchar_t* out);

}  // namespace

uint32_t PlainPathText(const wchar_t* path, wchar_t* out, uint32_t capacity) {
    uint32_t length = 0;
    uint32_t i = PutRoot(path, out, capacity, &length);
    if (i == 0 && length != 0) {
        return 0;
    }
    const uint32_t root = length;
    uint32_t fits = 1;
    while (path[i] != L'\0') {
        while (IsSeparator(path[i])) {
            ++i;
        }
        const uint32_t start = i;
        while (path[i] != L'\0' && !IsSeparator(path[i])) {
            ++i;
        }
        uint32_t end = i;
        if (end - start == 2 && path[start] == L'.' && path[start + 1] == L'.') {
            while (length > root && out[length - 1] != L'\\') {
                --length;
            }
            if (length > root) {
                --length;  // the separator before the part dropped
            }
            continue;
        }
        // "." too ends with a dot: trimmed to nothing, it is dropped like an empty part.
        while (end > start && (path[end - 1] == L'.' || path[end - 1] == L' ')) {
            --end;
        }
        if (end == start) {
            continue;
        }
        if (length > root && !Put(out, capacity, &length, L'\\')) {
            fits = 0;
            break;
        }
        for (uint32_t c = start; c < end && fits; ++c) {
            fits = Put(out, capacity, &length, path[c]) ? 1 : 0;
        }
        if (!fits) {
            break;
        }
    }
    out[length < capacity ? length : capacity - 1] = L'\0';
    return fits;
}

uint32_t MakePathPlain(wchar_t* path, uint32_t capacity) {
    wchar_t full[WorkingCapacity];
    wchar_t plain[WorkingCapacity];
    const DWORD fullLength = ::GetFullPathNameW(path, WorkingCapacity, full, nullptr);
    if (fullLength == 0 || fullLength >= WorkingCapacity || !PlainPathText(full, plain, WorkingCapacity)) {
        return 0;
    }
    uint32_t root = 0;
    if (PutRoot(plain, full, WorkingCapacity, &root) == 0) {
        root = 0;
    }
    wchar_t result[WorkingCapacity];
    const uint32_t existing = LongFormOfExistingPart(plain, root, result);
    if (!AppendText(result, WorkingCapacity, plain + existing) || BoundedLength(result, WorkingCapacity) >= capacity) {
        return 0;
    }
    return CopyText(path, capacity, result);
}

namespace {

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool Put(wchar_t* out, uint32_t capacity, uint32_t* length, wchar_t c) {
    if (*length + 1 >= capacity) {
        return false;
    }
    out[(*length)++] = c;
    return true;
}

// Writes the path's root, plain, and gives the index where its parts start: 0 when it has none (and
// *length stays 0), or when the root did not fit (and *length is not 0).
uint32_t PutRoot(const wchar_t* path, wchar_t* out, uint32_t capacity, uint32_t* length) {
    *length = 0;
    uint32_t i = 0;
    if (path[0] != L'\0' && path[1] == L':' && IsSeparator(path[2])) {
        const bool fits = Put(out, capacity, length, path[0]) && Put(out, capacity, length, L':') &&
                          Put(out, capacity, length, L'\\');
        return fits ? 3 : 0;
    }
    if (!IsSeparator(path[0]) || !IsSeparator(path[1])) {
        return 0;
    }
    // \\server\share\: two names after the leading pair, each followed by one separator.
    bool fits = Put(out, capacity, length, L'\\') && Put(out, capacity, length, L'\\');
    i = 2;
    for (uint32_t name = 0; name < 2 && fits; ++name) {
        while (IsSeparator(path[i])) {
            ++i;
        }
        while (path[i] != L'\0' && !IsSeparator(path[i]) && fits) {
            fits = Put(out, capacity, length, path[i++]);
        }
        fits = fits && Put(out, capacity, length, L'\\');
    }
    return fits ? i : 0;
}

// The long form of the deepest part of the plain path that exists, in out; the length of that part in
// the plain path, so that the rest can follow as it is. 0 and an empty out when no part answers.
uint32_t LongFormOfExistingPart(const wchar_t* plain, uint32_t root, wchar_t* out) {
    wchar_t part[WorkingCapacity];
    CopyText(part, WorkingCapacity, plain);
    uint32_t length = BoundedLength(part, WorkingCapacity);
    for (;;) {
        const DWORD longLength = ::GetLongPathNameW(part, out, WorkingCapacity);
        if (longLength != 0 && longLength < WorkingCapacity) {
            return length;
        }
        if (length <= root) {
            out[0] = L'\0';
            return 0;
        }
        while (length > root && part[length - 1] != L'\\') {
            --length;
        }
        // The root keeps its separator; any other part is asked without it.
        if (length > root) {
            --length;
        }
        part[length] = L'\0';
    }
}

}  // namespace
