#include "install/shortcut.h"
#include "fake_shell_link.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shell_link.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace {

class CreateShortcut : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override { ::CoUninitialize(); }
    ScratchFolder folder_;
};

TEST_F(CreateShortcut, TheLinkResolvesToItsTarget) {
    std::wstring target = folder_ / L"Ostrel.exe";
    std::wstring link = folder_ / L"Ostrel.lnk";
    HANDLE file = ::CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    EXPECT_EQ(S_OK, ::CreateShortcut(target.c_str(), link.c_str()));
    ASSERT_TRUE(FileExists(link));
    EXPECT_EQ(target, ResolveLink(link));
}

TEST_F(CreateShortcut, AMissingTargetStillGetsItsLink) {
    std::wstring target = folder_ / L"not written yet\\Cryvane.exe";
    std::wstring link = folder_ / L"Cryvane.lnk";
    EXPECT_EQ(S_OK, ::CreateShortcut(target.c_str(), link.c_str()));
    EXPECT_TRUE(FileExists(link));
}

TEST_F(CreateShortcut, AMissingLinkFolderFails) {
    std::wstring target = folder_ / L"Pebbrack.exe";
    std::wstring link = folder_ / L"no such folder\\Pebbrack.lnk";
    EXPECT_LT(::CreateShortcut(target.c_str(), link.c_str()), 0);
    EXPECT_FALSE(FileExists(link));
}

// Each path through the writer with the shell's answers it cannot get from Wine: the calls in order,
// the result handed back unchanged, and both interfaces released whatever happened.
TEST_F(CreateShortcut, ReturnsTheShellsOwnResultAndReleasesBothInterfaces) {
    using Calls = std::vector<std::wstring>;
    const Calls saved = {L"Create", L"SetPath C:\\Apps\\Ostrel.exe", L"QueryInterface file",
                         L"Save C:\\Menu\\Ostrel.lnk remembered", L"Release file", L"Release link"};
    struct Case {
        HRESULT Create, SetPath, Query, Save, Result;
        Calls Expected;
    };
    const Case cases[] = {
        {S_OK, S_OK, S_OK, S_FALSE, S_FALSE, saved},  // a positive result is not success
        {S_OK, E_FAIL, S_OK, S_OK, S_OK, saved},      // a target that cannot be set is still saved
        {S_OK, S_OK, S_OK, E_ACCESSDENIED, E_ACCESSDENIED, saved},
        {S_OK, S_OK, E_NOINTERFACE, S_OK, E_NOINTERFACE,
         {L"Create", L"SetPath C:\\Apps\\Ostrel.exe", L"QueryInterface file", L"Release link"}},
        {REGDB_E_CLASSNOTREG, S_OK, S_OK, S_OK, REGDB_E_CLASSNOTREG, {L"Create"}},
    };
    for (const Case& c : cases) {
        FakeShellLink link;
        link.CreateResult = c.Create;
        link.SetPathResult = c.SetPath;
        link.QueryResult = c.Query;
        link.SaveResult = c.Save;
        EXPECT_EQ(c.Result, ::CreateShortcut(L"C:\\Apps\\Ostrel.exe", L"C:\\Menu\\Ostrel.lnk"));
        EXPECT_EQ(c.Expected, link.Calls) << std::hex << c.Result;
        EXPECT_EQ(0, link.LinkReferences) << std::hex << c.Result;
        EXPECT_EQ(0, link.FileReferences) << std::hex << c.Result;
    }
}

}  // namespace
