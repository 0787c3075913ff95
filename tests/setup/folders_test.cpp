#include "setup/folders.h"
#include "setup/setup_state.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* MakerKey = L"Software\\Kelvorin";
constexpr const wchar_t* DefaultInstallFolder = L"C:\\Program Files (x86)\\Kelvorin\\";
constexpr const wchar_t* DefaultBrowseFolder = L"C:\\Program Files (x86)\\";
constexpr const wchar_t* StartMenuFolder = L"C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Kelvorin\\";

void SetAppPath(DWORD type, const void* data, DWORD byteCount) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, MakerKey, 0, nullptr, 0,
                                               KEY_SET_VALUE | KEY_WOW64_32KEY, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, ::RegSetValueExW(key, L"AppPath", 0, type, static_cast<const BYTE*>(data), byteCount));
    ::RegCloseKey(key);
}

void SetAppPathText(const std::wstring& text) {
    SetAppPath(REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * 2));
}

// The installer's own AppPath value is saved before each test and put back (or removed) after it; the
// test works on a SetupState of its own and a fresh temporary folder.
class InitDefaultPathsTest : public ::testing::Test {
protected:
    SetupState Setup{::GetModuleHandleW(nullptr)};
    std::wstring Temp;
    bool KeyExisted = false;
    bool ValueExisted = false;
    DWORD SavedType = 0;
    std::vector<BYTE> SavedData;
    SetupState* PreviousSetup = nullptr;

    void SetUp() override {
        HKEY key = nullptr;
        KeyExisted = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, MakerKey, 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) ==
                     ERROR_SUCCESS;
        if (KeyExisted) {
            DWORD bytes = 0;
            ValueExisted = ::RegQueryValueExW(key, L"AppPath", nullptr, &SavedType, nullptr, &bytes) == ERROR_SUCCESS;
            SavedData.resize(bytes);
            if (ValueExisted && bytes != 0) {
                ValueExisted = ::RegQueryValueExW(key, L"AppPath", nullptr, &SavedType, SavedData.data(), &bytes) ==
                               ERROR_SUCCESS;
            }
            ::RegCloseKey(key);
        }
        ClearAppPath();
        wchar_t temp[MAX_PATH];
        ASSERT_NE(0u, ::GetTempPathW(MAX_PATH, temp));
        Temp = std::wstring(temp) + L"KelvorinFolders" + std::to_wstring(::GetCurrentProcessId()) + L"_" +
               std::to_wstring(::GetTickCount());
        ASSERT_TRUE(::CreateDirectoryW(Temp.c_str(), nullptr));
        PreviousSetup = CurrentSetup;
        CurrentSetup = &Setup;
    }

    void TearDown() override {
        CurrentSetup = PreviousSetup;
        ::DeleteFileW((Temp + L"\\file.txt").c_str());
        ::RemoveDirectoryW(Temp.c_str());
        ClearAppPath();
        if (ValueExisted) {
            SetAppPath(SavedType, SavedData.data(), static_cast<DWORD>(SavedData.size()));
        } else if (!KeyExisted) {
            ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, MakerKey, KEY_WOW64_32KEY, 0);
        }
    }

    void ClearAppPath() {
        HKEY key = nullptr;
        if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, MakerKey, 0, KEY_SET_VALUE | KEY_WOW64_32KEY, &key) == ERROR_SUCCESS) {
            ::RegDeleteValueW(key, L"AppPath");
            ::RegCloseKey(key);
        }
    }

    void ExpectDefaultFolders() {
        EXPECT_STREQ(DefaultInstallFolder, Setup.InstallFolder);
        EXPECT_STREQ(DefaultBrowseFolder, Setup.BrowseBuffer);
        EXPECT_STREQ(StartMenuFolder, Setup.StartMenuFolder);
    }
};

TEST_F(InitDefaultPathsTest, WithoutSavedFolderUsesProgramFiles) {
    ASSERT_EQ(1u, InitDefaultPaths());
    ExpectDefaultFolders();
    EXPECT_NE(nullptr, Setup.Payload.Data);
}

TEST_F(InitDefaultPathsTest, SavedExistingFolderIsTakenWithItsSeparatorAdded) {
    SetAppPathText(Temp);
    ASSERT_EQ(1u, InitDefaultPaths());
    EXPECT_EQ(Temp + L"\\", Setup.InstallFolder);
    EXPECT_EQ(Temp, Setup.BrowseBuffer);
    EXPECT_STREQ(StartMenuFolder, Setup.StartMenuFolder);
}

TEST_F(InitDefaultPathsTest, SavedFileOrMissingFolderFallsBackToTheDefault) {
    std::wstring file = Temp + L"\\file.txt";
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    ::CloseHandle(handle);
    SetAppPathText(file);
    ASSERT_EQ(1u, InitDefaultPaths());
    ExpectDefaultFolders();

    SetupState second(::GetModuleHandleW(nullptr));
    CurrentSetup = &second;
    SetAppPathText(Temp + L"\\gone\\");
    ASSERT_EQ(1u, InitDefaultPaths());
    EXPECT_STREQ(DefaultInstallFolder, second.InstallFolder);
    EXPECT_STREQ(DefaultBrowseFolder, second.BrowseBuffer);
    EXPECT_STREQ(StartMenuFolder, second.StartMenuFolder);
}

TEST_F(InitDefaultPathsTest, SavedNumberIsReadButRejectedByTheFolderTest) {
    const DWORD number = 1;
    SetAppPath(REG_DWORD, &number, 4);
    ASSERT_EQ(1u, InitDefaultPaths());
    ExpectDefaultFolders();
}

// Each of these names an existing folder relative to the current drive or folder: only a full path
// is taken.
TEST_F(InitDefaultPathsTest, SavedRelativeFolderFallsBackToTheDefault) {
    auto expectDefault = [this](const char* value) {
        SetupState setup(::GetModuleHandleW(nullptr));
        CurrentSetup = &setup;
        EXPECT_EQ(1u, InitDefaultPaths()) << value;
        EXPECT_STREQ(DefaultInstallFolder, setup.InstallFolder) << value;
        EXPECT_STREQ(DefaultBrowseFolder, setup.BrowseBuffer) << value;
        CurrentSetup = &Setup;
    };
    for (const char* relative : {".", "C:", "C:.", "\\"}) {
        SetAppPathText(std::wstring(relative, relative + strlen(relative)));
        expectDefault(relative);
    }
    const DWORD driveC = 0x003A0043;  // the bytes of "C:"
    SetAppPath(REG_DWORD, &driveC, 4);
    expectDefault("a number that reads as C:");
}

}  // namespace
