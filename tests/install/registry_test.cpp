#include "install/registry.h"
#include "setup/setup_state.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const wchar_t* TestKeyParent = L"Software";
constexpr const wchar_t* TestKeyName = L"KelvorinTestRegistry";
constexpr const wchar_t* TestKeyPath = L"Software\\KelvorinTestRegistry";

struct ValueRead {
    LONG Status;
    DWORD Type;
    DWORD Bytes;
    wchar_t Data[512];
};

ValueRead ReadInView(const wchar_t* keyPath, const wchar_t* valueName, REGSAM view) {
    ValueRead read = {};
    HKEY key = nullptr;
    read.Status = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_QUERY_VALUE | view, &key);
    if (read.Status != ERROR_SUCCESS) return read;
    read.Bytes = sizeof(read.Data);
    read.Status = ::RegQueryValueExW(key, valueName, nullptr, &read.Type, reinterpret_cast<BYTE*>(read.Data), &read.Bytes);
    ::RegCloseKey(key);
    return read;
}

void DeleteTreeInView(const wchar_t* parentPath, const wchar_t* name, REGSAM view) {
    HKEY parent = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, parentPath, 0, KEY_ALL_ACCESS | view, &parent) != ERROR_SUCCESS) return;
    ::RegDeleteTreeW(parent, name);
    ::RegCloseKey(parent);
}

// Each test starts without the test key in either view and leaves none behind.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        DeleteTreeInView(TestKeyParent, TestKeyName, KEY_WOW64_32KEY);
        DeleteTreeInView(TestKeyParent, TestKeyName, KEY_WOW64_64KEY);
    }
    void WriteAppPath(const std::wstring& text, DWORD byteCount) {
        ASSERT_EQ(1u, WriteRegistryValue(TestKeyPath, L"AppPath", REG_SZ, text.c_str(), byteCount));
    }
};

TEST(BuildRegistryPath, JoinsComponentsUpToTheFirstNull) {
    SetupState setup(::GetModuleHandleW(nullptr));
    wchar_t* path = setup.BuildRegistryPath(L"Kelvorin", nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(setup.Scratch.Wide, path);
    EXPECT_STREQ(L"Software\\Kelvorin", path);
    EXPECT_STREQ(L"Software\\Classes", setup.BuildRegistryPath(L"Classes", nullptr, L"shell"));
    EXPECT_STREQ(L"Software", setup.BuildRegistryPath(nullptr, L"Classes", L"shell"));
    EXPECT_STREQ(L"Software\\Classes\\SystemFileAssociations\\audio\\shell\\Humbrewave\\command",
                 setup.BuildRegistryPath(L"Classes", L"SystemFileAssociations", L"audio", L"shell", L"Humbrewave",
                                         L"command"));
}

TEST_F(RegistryTest, ValuesLandInTheThirtyTwoBitViewOnly) {
    const wchar_t text[] = L"C:\\Program Files (x86)\\Kelvorin\\";
    const DWORD textBytes = (sizeof(text) / sizeof(wchar_t)) * 2;  // (characters + 1) x 2
    const DWORD number = 0x01020304;
    ASSERT_EQ(1u, WriteRegistryValue(TestKeyPath, L"AppPath", REG_SZ, text, textBytes));
    ASSERT_EQ(1u, WriteRegistryValue(L"Software\\KelvorinTestRegistry\\Deeper\\Still", nullptr, REG_DWORD, &number, 4));

    ValueRead sz = ReadInView(TestKeyPath, L"AppPath", KEY_WOW64_32KEY);
    ASSERT_EQ(ERROR_SUCCESS, sz.Status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), sz.Type);
    EXPECT_EQ(textBytes, sz.Bytes);
    EXPECT_STREQ(text, sz.Data);

    ValueRead dword = ReadInView(L"Software\\KelvorinTestRegistry\\Deeper\\Still", nullptr, KEY_WOW64_32KEY);
    ASSERT_EQ(ERROR_SUCCESS, dword.Status);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), dword.Type);
    EXPECT_EQ(4u, dword.Bytes);
    EXPECT_EQ(number, *reinterpret_cast<const DWORD*>(dword.Data));

    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadInView(TestKeyPath, L"AppPath", KEY_WOW64_64KEY).Status);
    EXPECT_EQ(ERROR_SUCCESS,
              ReadInView(L"Software\\Wow6432Node\\KelvorinTestRegistry", L"AppPath", KEY_WOW64_64KEY).Status);
}

TEST_F(RegistryTest, ByteCountIsPassedOnUnchanged) {
    const wchar_t text[] = L"abcdef";
    ASSERT_EQ(1u, WriteRegistryValue(TestKeyPath, L"Short", REG_SZ, text, 6));
    ValueRead read = ReadInView(TestKeyPath, L"Short", KEY_WOW64_32KEY);
    ASSERT_EQ(ERROR_SUCCESS, read.Status);
    EXPECT_EQ(6u, read.Bytes);
}

TEST_F(RegistryTest, KeyThatCannotBeCreatedGivesZero) {
    // A volatile key cannot hold a lasting subkey, so creating one fails.
    HKEY volatileKey = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, TestKeyPath, 0, nullptr, REG_OPTION_VOLATILE,
                                               KEY_ALL_ACCESS, nullptr, &volatileKey, nullptr));
    ::RegCloseKey(volatileKey);
    const DWORD number = 1;
    EXPECT_EQ(0u, WriteRegistryValue(L"Software\\KelvorinTestRegistry\\Lasting", L"X", REG_DWORD, &number, 4));
}

TEST_F(RegistryTest, ValueThatCannotBeSetGivesZero) {
    // The registry refuses data it cannot read; the key itself is made before that.
    const void* unreadable = reinterpret_cast<const void*>(static_cast<uintptr_t>(1));
    EXPECT_EQ(0u, WriteRegistryValue(TestKeyPath, L"Refused", REG_DWORD, unreadable, 4));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadInView(TestKeyPath, L"Refused", KEY_WOW64_32KEY).Status);
}

// Up to the folder buffer less the room its separator may still need, so the longest folder the
// wizard takes (260 characters) comes back whole.
TEST_F(RegistryTest, SavedPathIsReadWholeUpToTheFolderBufferLessTwo) {
    std::wstring longest = L"C:\\" + std::wstring(PathCapacity - 6, L'k');
    WriteAppPath(longest, (PathCapacity - 2) * 2);
    wchar_t destination[PathCapacity] = {};
    ASSERT_EQ(1u, ReadSavedInstallPath(TestKeyPath, destination));
    EXPECT_EQ(longest, destination);

    std::wstring tooLong = longest + L"x";
    WriteAppPath(tooLong, (PathCapacity - 1) * 2);
    wchar_t second[PathCapacity] = {};
    EXPECT_EQ(0u, ReadSavedInstallPath(TestKeyPath, second));
}

TEST_F(RegistryTest, SavedPathMissingOrUnterminatedOrNotAString) {
    wchar_t destination[PathCapacity] = {};
    EXPECT_EQ(0u, ReadSavedInstallPath(TestKeyPath, destination));  // no key

    const DWORD number = 1;
    ASSERT_EQ(1u, WriteRegistryValue(TestKeyPath, L"Other", REG_DWORD, &number, 4));
    EXPECT_EQ(0u, ReadSavedInstallPath(TestKeyPath, destination));  // key without the value

    WriteAppPath(L"C:\\abcdef", 10);  // "C:\ab" with no terminator
    ASSERT_EQ(1u, ReadSavedInstallPath(TestKeyPath, destination));
    EXPECT_STREQ(L"C:\\ab", destination);

    ASSERT_EQ(1u, WriteRegistryValue(TestKeyPath, L"AppPath", REG_DWORD, &number, 4));
    wchar_t raw[PathCapacity] = {};
    ASSERT_EQ(1u, ReadSavedInstallPath(TestKeyPath, raw));
    EXPECT_EQ(1, raw[0]);
    EXPECT_EQ(0, raw[1]);
}

}  // namespace
