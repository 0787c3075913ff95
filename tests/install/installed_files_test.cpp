#include "install/installed_files.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// A /log in place of a file the installation writes, in any form that names it, is refused; a log
// anywhere else, or named like a user's file beside them, is not.
TEST(InstalledFiles, ALogInPlaceOfAnInstalledFileIsRecognisedInAnyForm) {
    ScratchFolder scratch;
    SetupState setup(::GetModuleHandleW(nullptr));
    const std::wstring folder = scratch / L"Kelvorin\\";
    ::lstrcpyW(setup.InstallFolder, folder.c_str());
    ::lstrcpyW(setup.StartMenuFolder, (scratch / L"Menu\\Kelvorin\\").c_str());
    ASSERT_TRUE(::CreateDirectoryW(folder.c_str(), nullptr));
    wchar_t shortFolder[MAX_PATH];
    ASSERT_NE(0u, ::GetShortPathNameW(folder.c_str(), shortFolder, MAX_PATH));

    for (const std::wstring& path :
         {folder + L"Ostrel.exe", folder + L"UNINSTALL.EXE", scratch / L"kelvorin/x/../Pebbrack.exe.",
          std::wstring(shortFolder) + L"Cryvane.exe", scratch / L"Menu\\Kelvorin\\Blorra.lnk",
          folder + L"~kv0aF.tmp"}) {
        EXPECT_TRUE(NamesInstalledFile(setup, path.c_str())) << path.c_str();
    }
    for (const std::wstring& path : {folder + L"install.log", folder + L"Ostrel.exe.log", folder + L"~kvold.tmp",
                                     scratch / L"Ostrel.exe", scratch / L"Menu\\Kelvorin\\uninstall.lnk"}) {
        EXPECT_FALSE(NamesInstalledFile(setup, path.c_str())) << path.c_str();
    }
}

}  // namespace
