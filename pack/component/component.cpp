#include <windows.h>

#include "../dll_search.h"
#include "../window_program.h"

#ifndef COMPONENT_NAME
#error "Build each component with COMPONENT_NAME set to its wide name, e.g. -DCOMPONENT_NAME=L\"Ostrel\""
#endif

namespace {

// Enough for any path Explorer hands over (long paths included) plus the name in front.
constexpr int TitleCapacity = 1100;

const wchar_t ComponentName[] = COMPONENT_NAME;
const wchar_t ComponentLine[] = COMPONENT_NAME L" belongs to Kelvorin App Pack 23.8.";
const wchar_t TitleSeparator[] = L" - ";

int AppendText(wchar_t* buffer, int capacity, int length, const wchar_t* text, int textLength);
int FindPathArgument(const wchar_t* commandLine, const wchar_t** path);

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandLine, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (!RestrictDllSearch()) {
        return DllSearchFailed;
    }

    wchar_t title[TitleCapacity];
    int length = AppendText(title, TitleCapacity, 0, ComponentName, -1);
    const wchar_t* path = nullptr;
    int pathLength = FindPathArgument(commandLine, &path);
    if (pathLength > 0) {
        length = AppendText(title, TitleCapacity, length, TitleSeparator, -1);
        length = AppendText(title, TitleCapacity, length, path, pathLength);
    }
    return RunProgramWindow(title, ComponentLine);
}

namespace {

// Copies at most textLength characters (all of them when negative), always leaving the buffer terminated.
int AppendText(wchar_t* buffer, int capacity, int length, const wchar_t* text, int textLength) {
    for (int i = 0; text[i] != L'\0' && i != textLength && length < capacity - 1; ++i) {
        buffer[length++] = text[i];
    }
    buffer[length] = L'\0';
    return length;
}

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
