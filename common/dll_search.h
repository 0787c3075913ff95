#pragma once

#include <windows.h>

// Keeps a DLL planted beside a program or in its current folder (a downloads folder, say) from being
// loaded in its place. The installer and every program of the pack call it first thing.
//
// SetDefaultDllDirectories reached Windows Vista and 7 only with update KB2533623, and a program that
// imports a function the system lacks does not start at all, so it is looked up, never imported.
// Without it the strongest restriction left is to take the current folder out of the DLL search
// (SetDllDirectoryW with an empty folder, since XP SP1) and to make SearchPath look there last
// (SetSearchPathMode, itself looked up, since Windows 7).

using ProcedureLookup = FARPROC(WINAPI*)(HMODULE, LPCSTR);

// True when the restriction is in place. lookup is GetProcAddress, except in a test that takes a
// function away as an older system would.
inline bool RestrictDllSearch(ProcedureLookup lookup = ::GetProcAddress) {
    using FlagsCall = BOOL(WINAPI*)(DWORD);
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (kernel == nullptr) {
        return false;
    }
    // Through a plain function pointer, to and from which any function pointer converts.
    auto find = [&](const char* name) {
        return reinterpret_cast<FlagsCall>(reinterpret_cast<void (*)()>(lookup(kernel, name)));
    };
    if (FlagsCall setDefaultDirectories = find("SetDefaultDllDirectories")) {
        return setDefaultDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    if (::SetDllDirectoryW(L"") == FALSE) {
        return false;
    }
    FlagsCall setSearchPathMode = find("SetSearchPathMode");
    return setSearchPathMode == nullptr ||
           setSearchPathMode(BASE_SEARCH_PATH_ENABLE_SAFE_SEARCHMODE | BASE_SEARCH_PATH_PERMANENT) != FALSE;
}
