#include "common/same_path.h"

#include "common/plain_path.h"

#include <windows.h>

#include <cstdint>

namespace {

constexpr uint32_t ComparedCapacity = 2 * MAX_PATH;

struct CommandParts {
    wchar_t Path[ComparedCapacity];
    const wchar_t* Rest;
};

bool SplitCommand(const wchar_t* text, CommandParts* parts);
bool SameTextIgnoringCase(const wchar_t* a, const wchar_t* b);

}  // namespace

bool SamePath(const wchar_t* a, const wchar_t* b) {
    wchar_t plainA[ComparedCapacity];
    wchar_t plainB[ComparedCapacity];
    return PlainPathText(a, plainA, ComparedCapacity) != 0 && PlainPathText(b, plainB, ComparedCapacity) != 0 &&
           SameTextIgnoringCase(plainA, plainB);
}

bool SameCommandPath(const wchar_t* a, const wchar_t* b) {
    CommandParts partsA;
    CommandParts partsB;
    return SplitCommand(a, &partsA) && SplitCommand(b, &partsB) && SamePath(partsA.Path, partsB.Path) &&
           SameTextIgnoringCase(partsA.Rest, partsB.Rest);
}

namespace {

// "path" rest, or path,rest with the path up to the last comma, or a path alone.
bool SplitCommand(const wchar_t* text, CommandParts* parts) {
    uint32_t start = 0;
    uint32_t end = 0;
    if (text[0] == L'"') {
        start = 1;
        end = 1;
        while (text[end] != L'\0' && text[end] != L'"') {
            ++end;
        }
        parts->Rest = text[end] == L'"' ? text + end + 1 : text + end;
    } else {
        uint32_t comma = 0;
        for (; text[end] != L'\0'; ++end) {
            comma = text[end] == L',' ? end : comma;
        }
        end = text[comma] == L',' ? comma : end;
        parts->Rest = text + end;
    }
    if (end - start >= ComparedCapacity) {
        return false;
    }
    for (uint32_t i = start; i < end; ++i) {
        parts->Path[i - start] = text[i];
    }
    parts->Path[end - start] = L'\0';
    return true;
}

bool SameTextIgnoringCase(const wchar_t* a, const wchar_t* b) {
    return ::CompareStringOrdinal(a, -1, b, -1, TRUE) == CSTR_EQUAL;
}

}  // namespace
