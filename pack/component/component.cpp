#include "common/bounded_text.h"
#include "common/dll_search.h"
#include "pack/window_program.h"

#include <windows.h>

#ifndef COMPONENT_NAME
#error "Build each component with COMPONENT_NAME set to its wide name, e.g. -DCOMPONENT_NAME=L\"Ostrel\""
#endif

namespace {

// Enough for any path Explorer hands over (long paths included) plus the name in front.
constexpr uint32_t TitleCapacity = 1100;

const wchar_t ComponentName[] = COMPONENT_NAME;
const wchar_t ComponentLine[] = COMPONENT_NAME L" belongs to Kelvorin App Pack 23.8.";
const wchar_t TitleSeparator[] = L" - ";

int FindPathArgument(const wchar_t* commandLine, const wchar_t** path);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (!RestrictDllSearch()) {
        return DllSearchFailed;
    }

    // A title cut to fit still names the program.
    wchar_t title[TitleCapacity];
    CopyText(title, TitleCapacity, ComponentName);
    const wchar_t* path = nullptr;
    int pathLength = FindPathArgument(commandLine, &path);
    if (pathLength > 0) {
        AppendText(title, TitleCapacity, TitleSeparator);
        AppendTextPart(title, TitleCapacity, path, static_cast<uint32_t>(pathLength));
    }
    return RunProgramWindow(title, ComponentLine);
}

namespace {

// The shell passes the opened file or folder as one argument, quoted when it holds spaces.
// An unquoted rest of line is taken whole so that a path with spaces still arrives intact.
int FindPathArgument(const wchar_t* commandLine, const wchar_t** path) {
    if (commandLine == nullptr) {
        return 0;
    }
    const wchar_t* start = commandLine;
    while (*start == L' ' || *start == L'\t') {
        ++start;
    }
    const wchar_t* end = start;
    if (*start == L'"') {
        ++start;
        end = start;
        while (*end != L'\0' && *end != L'"') {
            ++end;
        }
    } else {
        while (*end != L'\0') {
            ++end;
        }
        while (end > start && (end[-1] == L' ' || end[-1] == L'\t')) {
            --end;
        }
    }
    *path = start;
    return static_cast<int>(end - start);
}

}  // namespace
