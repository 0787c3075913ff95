#include "install/registrations.h"
#include "registry_recorder.h"
#include "setup/setup_state.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const std::wstring Folder = L"C:\\Program Files (x86)\\Kelvorin\\";

class Registrations : public ::testing::Test {
protected:
    void SetUp() override { CurrentSetup = &setup_; }
    void TearDown() override { CurrentSetup = nullptr; }

    SetupState setup_{::GetModuleHandleW(nullptr)};
};

std::string Describe(const std::vector<RecordedValue>& values) {
    std::string text;
    for (const RecordedValue& value : values) {
        text += std::string(value.Key.begin(), value.Key.end()) + " [" +
                std::string(value.Name.begin(), value.Name.end()) + "] type " + std::to_string(value.Type) + ", " +
                std::to_string(value.Bytes.size()) + " bytes\n";
    }
    return text;
}

TEST_F(Registrations, FixedDataHasTheDocumentedByteCounts) {
    RegistrationStrings none = {L"", L"", L"", L"", 2163200};
    auto bytesOf = [&](const RegistrationValue& value) {
        DWORD number = 0;
        const void* data = nullptr;
        return RegistrationData(value, none, &number, &data);
    };
    EXPECT_EQ(42u, bytesOf(HumbrewaveRegistrations[0].Value));
    EXPECT_EQ(42u, bytesOf(HumbrewaveRegistrations[2].Value));
    EXPECT_EQ(40u, bytesOf(JottervaleRegistrations[0].Value));
    EXPECT_EQ(40u, bytesOf(JottervaleRegistrations[1].Value));
    EXPECT_EQ(10u, bytesOf(JottervaleRegistrations[3].Value));
    EXPECT_EQ(26u, bytesOf(CryvaneRegistrations[0].Value));
    EXPECT_EQ(38u, bytesOf(CryvaneRegistrations[1].Value));
    EXPECT_EQ(28u, bytesOf(PebbrackRegistrations[0].Value));
    EXPECT_EQ(34u, bytesOf(PebbrackRegistrations[1].Value));
    EXPECT_EQ(54u, bytesOf(UninstallEntryValues[1]));
    EXPECT_EQ(10u, bytesOf(UninstallEntryValues[2]));
    EXPECT_EQ(18u, bytesOf(UninstallEntryValues[3]));
    for (uint32_t i = 5; i < 8; ++i) EXPECT_EQ(4u, bytesOf(UninstallEntryValues[i]));
}

TEST_F(Registrations, EstimatedSizeIsWholeKibibytesRoundedDown) {
    DWORD number = 0;
    const void* data = nullptr;
    for (uint32_t bytes : {2163200u, 2163200u + 1023u, 1023u, 0xFFFFFFFFu}) {
        RegistrationStrings strings = {L"", L"", L"", L"", bytes};
        ASSERT_EQ(4u, RegistrationData(UninstallEntryValues[5], strings, &number, &data));
        EXPECT_EQ(&number, data);
        EXPECT_EQ(bytes >> 10, number) << bytes;
    }
    RegistrationStrings full = {L"", L"", L"", L"", 2163200};
    RegistrationData(UninstallEntryValues[5], full, &number, &data);
    EXPECT_EQ(2112u, number);
}

// All 34 values in the order they are handed over, then as another program reads them back.
TEST_F(Registrations, AllValuesInOrderLandInThe32BitView) {
    RegistryCleanup cleanup;
    RegistryRecorder recorder;
    const std::wstring uninstaller = Folder + L"uninstall.exe";
    const std::wstring uninstallIcon = uninstaller + L",0";
    const std::wstring uninstallCommand = L"\"" + uninstaller + L"\"";
    const std::wstring quietCommand = uninstallCommand + L" /quiet";
    std::vector<RecordedValue> expected;
    for (uint32_t component = 0; component < 8; ++component) {
        const std::wstring exe = Folder + setup_.ComponentTable[component] + L".exe";
        const std::wstring icon = exe + L",0";
        const std::wstring open = L"\"" + exe + L"\" \"%1\"";
        RegistrationStrings strings = {icon.c_str(), open.c_str(), nullptr, nullptr, 0};
        WriteComponentRegistrations(component, strings);
        for (const RecordedValue& value : ExpectedComponentValues(component, exe)) expected.push_back(value);
    }
    RegistrationStrings last = {uninstallIcon.c_str(), nullptr, uninstallCommand.c_str(), Folder.c_str(), 2163200,
                                quietCommand.c_str(), EveryComponentName};
    WriteSavedInstallFolder(last);
    WriteUninstallEntry(last, ReportFailures);
    for (const RecordedValue& value : ExpectedInstallationRecord(Folder, EveryComponentName)) expected.push_back(value);
    for (const RecordedValue& value : ExpectedUninstallEntry(uninstaller, 2112)) expected.push_back(value);

    ASSERT_EQ(34u, expected.size());
    EXPECT_EQ(expected, recorder.Values()) << Describe(recorder.Values());
    for (const RecordedValue& value : expected) {
        RecordedValue actual;
        EXPECT_TRUE(ReadBack(value, &actual)) << std::string(value.Key.begin(), value.Key.end());
        EXPECT_EQ(value, actual) << std::string(value.Key.begin(), value.Key.end()) << " "
                                 << std::string(value.Name.begin(), value.Name.end());
    }
    // The maker's key belongs to the 32-bit program: the 64-bit view does not see it.
    EXPECT_TRUE(KeyExists(L"Software\\Kelvorin", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(L"Software\\Kelvorin", KEY_WOW64_64KEY));

    cleanup.Remove();
    EXPECT_FALSE(KeyExists(L"Software\\Kelvorin", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\.jtxt", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(L"Software\\Classes\\Directory\\shell\\Humbrewave", KEY_WOW64_32KEY));
    EXPECT_FALSE(KeyExists(L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvorin", KEY_WOW64_32KEY));
}

}  // namespace
