#include "install/shortcut.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/shell_link.h"

#include <gtest/gtest.h>
#include <objbase.h>
#include <shlobj.h>

#include <string>

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

}  // namespace
