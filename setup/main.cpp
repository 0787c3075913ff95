#include "common/dll_search.h"
#include "setup/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // An elevated installer often starts from a downloads folder: never load a DLL planted there. A
    // system that refuses even the fallback still gets the installation its user started.
    static_cast<void>(RestrictDllSearch());
    return RunSetup(instance, ::GetCommandLineW());
}
