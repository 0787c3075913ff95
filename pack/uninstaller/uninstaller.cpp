#include <windows.h>

#include "../window_program.h"

namespace {

const wchar_t UninstallTitle[] = L"Kelvorin App Pack Uninstall";
const wchar_t UninstallLine[] = L"This uninstaller belongs to Kelvorin App Pack 23.8.";

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Before anything can load a DLL by name, keep planted copies beside the program out of reach.
    if (::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32) == FALSE) {
        return DllSearchFailed;
    }
    return RunProgramWindow(UninstallTitle, UninstallLine);
}
