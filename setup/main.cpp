#include "setup/startup.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
    // An elevated installer often starts from a downloads folder: never load a DLL planted there.
    ::SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
    return RunSetup(instance);
}
