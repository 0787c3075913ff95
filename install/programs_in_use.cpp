#include "install/programs_in_use.h"

#include "common/bounded_text.h"
#include "install/replaced_installation.h"
#include "common/step_strings.h"
#include "common/run_log.h"

#include <restartmanager.h>

namespace {

constexpr uint32_t ProcessSlots = 4;  // named in full; more users of one file are rare

using StartSessionCall = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR*);
using EndSessionCall = DWORD(WINAPI*)(DWORD);
using RegisterResourcesCall = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR*, UINT, RM_UNIQUE_PROCESS*, UINT, LPCWSTR*);
using GetListCall = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO*, LPDWORD);

// The Restart Manager's four calls, looked up at run time: a system without it still installs.
struct RestartManager {
    HMODULE Module;
    StartSessionCall StartSession;
    EndSessionCall EndSession;
    RegisterResourcesCall RegisterResources;
    GetListCall GetList;
};

bool LoadRestartManager(RestartManager& manager);
void LookInFolder(const wchar_t* folder, uint32_t components, const RestartManager* manager, ProgramsInUse& found);
void NameUser(const RestartManager& manager, const wchar_t* path, wchar_t* out);

// Through a plain function pointer, to and from which any function pointer converts.
template <typename Call>
Call Lookup(HMODULE module, const char* name) {
    return reinterpret_cast<Call>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

}  // namespace

void FindProgramsInUse(const SetupState& setup, uint32_t components, ProgramsInUse& found) {
    found.Count = 0;
    RestartManager manager;
    const bool managed = LoadRestartManager(manager);
    // The programs this installation writes, and those of the installation it replaces that it removes.
    const uint32_t replacedHere = IsReplacingInPlace(setup) ? setup.Installed.Components : 0;
    LookInFolder(setup.InstallFolder, components | replacedHere, managed ? &manager : nullptr, found);
    if (IsMovingInstallation(setup)) {
        LookInFolder(setup.Installed.Folder, setup.Installed.Components, managed ? &manager : nullptr, found);
    }
    if (managed) {
        static_cast<void>(::FreeLibrary(manager.Module));
    }
}

bool IsFileInUse(const wchar_t* path) {
    // Asking for write access with every sharing granted changes nothing, and is refused only for a
    // file mapped as a running program's image or held open by someone who shares no writing.
    HANDLE file = ::CreateFileW(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        static_cast<void>(::CloseHandle(file));
        return false;
    }
    return IsInUseError(::GetLastError());
}

bool IsInUseError(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION;
}

void ComposeInUseName(const wchar_t* path, const wchar_t* const* processNames, uint32_t count, wchar_t* out) {
    out[0] = L'\0';
    for (uint32_t i = 0; i < count; ++i) {
        if (i > 0) {
            AppendText(out, InUseNameCapacity, L", ");
        }
        AppendText(out, InUseNameCapacity, processNames[i]);
    }
    if (count == 0) {
        CopyText(out, InUseNameCapacity, path);
        return;
    }
    AppendText(out, InUseNameCapacity, L" (");
    AppendText(out, InUseNameCapacity, path);
    AppendText(out, InUseNameCapacity, L")");
}

void LogProgramsInUse(const SetupState& setup, const ProgramsInUse& found) {
    if (found.Count == 0) {
        return;
    }
    WriteLogLine(setup.Log, L"Programs in use, replaced now or at the next restart:");
    for (uint32_t i = 0; i < found.Count; ++i) {
        WriteLogLine(setup.Log, found.Names[i]);
    }
}

namespace {

// By its full path in the system folder, never found through the DLL search.
bool LoadRestartManager(RestartManager& manager) {
    ::ZeroMemory(&manager, sizeof(manager));
    wchar_t path[MAX_PATH];
    const UINT length = ::GetSystemDirectoryW(path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH || !AppendText(path, MAX_PATH, L"\\rstrtmgr.dll")) {
        return false;
    }
    manager.Module = ::LoadLibraryW(path);
    if (manager.Module == nullptr) {
        return false;
    }
    manager.StartSession = Lookup<StartSessionCall>(manager.Module, "RmStartSession");
    manager.EndSession = Lookup<EndSessionCall>(manager.Module, "RmEndSession");
    manager.RegisterResources = Lookup<RegisterResourcesCall>(manager.Module, "RmRegisterResources");
    manager.GetList = Lookup<GetListCall>(manager.Module, "RmGetList");
    if (manager.StartSession == nullptr || manager.EndSession == nullptr || manager.RegisterResources == nullptr ||
        manager.GetList == nullptr) {
        static_cast<void>(::FreeLibrary(manager.Module));
        return false;
    }
    return true;
}

// The components' programs and the uninstaller in the folder, each named once found in use.
void LookInFolder(const wchar_t* folder, uint32_t components, const RestartManager* manager, ProgramsInUse& found) {
    for (uint32_t index = 0; index <= ComponentCount; ++index) {
        if (index < ComponentCount && (components & (1u << index)) == 0) {
            continue;
        }
        wchar_t path[PathCapacity];
        uint32_t fits = CopyText(path, PathCapacity, folder);
        fits &= index < ComponentCount ? AppendFileName(path, PathCapacity, ComponentNames[index], L".exe")
                                       : AppendUninstallerName(path, PathCapacity, ComponentNames[index]);
        if (!fits || found.Count == InUseSlots || !IsFileInUse(path)) {
            continue;
        }
        wchar_t* name = found.Names[found.Count++];
        if (manager != nullptr) {
            NameUser(*manager, path, name);
        } else {
            ComposeInUseName(path, nullptr, 0, name);
        }
    }
}

// One session per file, so that the names belong to that file.
void NameUser(const RestartManager& manager, const wchar_t* path, wchar_t* out) {
    DWORD session = 0;
    WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
    RM_PROCESS_INFO processes[ProcessSlots];
    UINT count = 0;
    if (manager.StartSession(&session, 0, key) == ERROR_SUCCESS) {
        LPCWSTR files[1] = {path};
        UINT needed = 0;
        count = ProcessSlots;
        DWORD reasons = 0;
        if (manager.RegisterResources(session, 1, files, 0, nullptr, 0, nullptr) != ERROR_SUCCESS ||
            manager.GetList(session, &needed, &count, processes, &reasons) != ERROR_SUCCESS) {
            count = 0;  // more users than slots, or no answer: the file names it
        }
        static_cast<void>(manager.EndSession(session));
    }
    const wchar_t* names[ProcessSlots];
    for (UINT i = 0; i < count; ++i) {
        names[i] = processes[i].strAppName;
    }
    ComposeInUseName(path, names, count, out);
}

}  // namespace
