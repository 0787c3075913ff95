#include "common/plain_path.h"
#include "common/same_path.h"
#include "common/paths.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PlainPath, EachFormOfAFolderBecomesThePlainOne) {
    struct Case {
        const wchar_t* Given;
        const wchar_t* Plain;
    } cases[] = {
        {L"C:\\Apps\\Kelvorin", L"C:\\Apps\\Kelvorin"},
        {L"C:/Apps/Kelvorin/", L"C:\\Apps\\Kelvorin"},
        {L"C:\\Apps\\\\Kelvorin\\\\", L"C:\\Apps\\Kelvorin"},
        {L"C:\\Apps\\x\\..\\Kelvorin", L"C:\\Apps\\Kelvorin"},
        {L"C:\\Apps\\.\\Kelvorin\\.", L"C:\\Apps\\Kelvorin"},
        {L"C:\\Apps\\Kelvorin.", L"C:\\Apps\\Kelvorin"},
        {L"C:\\Apps. \\Kelvorin . . ", L"C:\\Apps\\Kelvorin"},
        {L"C:\\..\\..\\Kelvorin", L"C:\\Kelvorin"},
        {L"C:\\", L"C:\\"},
        {L"C:\\Apps\\..", L"C:\\"},
        {L"\\\\server\\share\\Apps\\..\\..\\Kelvorin", L"\\\\server\\share\\Kelvorin"},
        {L"//server/share/Kelvorin/", L"\\\\server\\share\\Kelvorin"},
        {L"C:\\Apps\\Kelvorin\\uninstall.exe", L"C:\\Apps\\Kelvorin\\uninstall.exe"},
    };
    for (const Case& c : cases) {
        wchar_t plain[64];
        EXPECT_EQ(1u, PlainPathText(c.Given, plain, 64)) << c.Given;
        EXPECT_STREQ(c.Plain, plain) << c.Given;
    }
    wchar_t small[8];
    EXPECT_EQ(0u, PlainPathText(L"C:\\Apps\\Kelvorin", small, 8));
    EXPECT_EQ(L'\0', small[7]);
}

// As the platform compares: normalised, in any case; a command or an icon text by the file it names.
TEST(PlainPath, PathsAndCommandsAreComparedAsThePlatformComparesThem) {
    EXPECT_TRUE(SamePath(L"C:\\Program Files (x86)\\Kelvorin\\", L"c:/PROGRAM FILES (X86)/kelvorin"));
    EXPECT_TRUE(SamePath(L"C:\\Apps\\x\\..\\Kelvorin.\\uninstall.exe", L"C:\\apps\\kelvorin\\UNINSTALL.EXE"));
    EXPECT_FALSE(SamePath(L"C:\\Apps\\Kelvorin", L"C:\\Apps\\Kelvorin2"));
    EXPECT_FALSE(SamePath(L"", L"C:\\Apps"));
    EXPECT_FALSE(SamePath(L"C:\\Apps\\Kelvorin", (L"C:\\" + std::wstring(2 * MAX_PATH, L'k')).c_str()));

    EXPECT_TRUE(
        SameCommandPath(L"\"C:\\Apps\\Kelvorin\\Ostrel.exe\" \"%1\"", L"\"c:/apps/./kelvorin/ostrel.exe\" \"%1\""));
    EXPECT_TRUE(SameCommandPath(L"C:\\Apps\\Kelvorin\\Ostrel.exe,0", L"C:\\Apps\\\\Kelvorin\\Ostrel.exe,0"));
    EXPECT_TRUE(SameCommandPath(L"\"C:\\Apps\\Kelvorin\\uninstall.exe\"", L"\"C:\\APPS\\Kelvorin\\uninstall.exe\""));
    EXPECT_FALSE(SameCommandPath(L"\"C:\\Apps\\Kelvorin\\Ostrel.exe\" \"%1\"", L"\"C:\\Apps\\Kelvorin\\Ostrel.exe\""));
    EXPECT_FALSE(SameCommandPath(L"C:\\Apps\\Kelvorin\\Ostrel.exe,0", L"C:\\Apps\\Kelvorin\\Ostrel.exe,1"));
    EXPECT_FALSE(SameCommandPath(L"\"C:\\Other\\Ostrel.exe\" \"%1\"", L"\"C:\\Apps\\Ostrel.exe\" \"%1\""));
}

// On the disk: the long names of the parts that exist, the rest as written, the folder's separator.
TEST(PlainPath, AChosenFolderIsMadePlainOnTheDisk) {
    ScratchFolder scratch;
    const std::wstring longFolder = scratch / L"Kelvorin Long Folder Name";
    ASSERT_TRUE(::CreateDirectoryW(longFolder.c_str(), nullptr));
    wchar_t shortForm[MAX_PATH];
    const DWORD shortLength = ::GetShortPathNameW(longFolder.c_str(), shortForm, MAX_PATH);
    ASSERT_TRUE(shortLength != 0 && shortLength < MAX_PATH);
    ASSERT_NE(longFolder, shortForm);
    wchar_t longForm[MAX_PATH];
    ASSERT_NE(0u, ::GetLongPathNameW(longFolder.c_str(), longForm, MAX_PATH));
    const std::wstring expected = std::wstring(longForm) + L"\\Apps\\Kelvorin\\";

    for (const std::wstring& given : {std::wstring(shortForm) + L"\\Apps\\x\\..\\Kelvorin. ",
                                      std::wstring(shortForm) + L"/Apps//./Kelvorin/"}) {
        wchar_t folder[PathCapacity];
        ASSERT_TRUE(given.size() < PathCapacity);
        ::lstrcpyW(folder, given.c_str());
        MakeFolderPlain(folder);
        EXPECT_EQ(expected, folder) << given.c_str();
    }
    wchar_t file[PathCapacity];
    ::lstrcpyW(file, (std::wstring(shortForm) + L"\\run.log").c_str());
    EXPECT_EQ(1u, MakePathPlain(file, PathCapacity));
    EXPECT_EQ(std::wstring(longForm) + L"\\run.log", file);
    // A plain form that does not fit leaves the path as it was.
    EXPECT_EQ(0u, MakePathPlain(file, 8));
    EXPECT_EQ(std::wstring(longForm) + L"\\run.log", file);
}

}  // namespace
