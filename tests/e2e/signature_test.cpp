#include "tests/e2e/machine_state.h"
#include "tests/e2e/scenario_support.h"

#include <gtest/gtest.h>

#include <shlobj.h>

#include <string>
#include <vector>

// A release's signatures, checked as a user's machine checks a download. These scenarios run on a
// signed release build (see tests/release); the default scenario checks that the default build carries
// no signature. Wine's check covers the digest, not the chain (osslsigncode checks that).

namespace {

TEST(Signed, InstallerAndTheUninstallerItInstallsPassThePlatformsCheck) {
    EXPECT_EQ(0, TrustResult(InstallerPath()));
    Wizard wizard;
    ASSERT_TRUE(wizard.InstallWithDefaults());
    wizard.Close();
    ASSERT_EQ(0u, wizard.Installer.WaitForExit());

    std::wstring uninstaller = DefaultInstallFolder() + L"uninstall.exe";
    EXPECT_EQ(0, TrustResult(uninstaller));
    std::vector<uint8_t> installed, body;
    ASSERT_TRUE(ReadFileBytes(uninstaller, &installed));
    ASSERT_TRUE(ReadFileBytes(UninstallerBody(), &body));
    EXPECT_TRUE(installed == body) << "the installed uninstaller is not the signed body of the payload";
}

TEST(Signed, OneChangedPayloadByteFailsThePlatformsCheck) {
    std::wstring copy = KnownFolder(CSIDL_COMMON_DOCUMENTS) + L"\\AlteredSetup.exe";
    ASSERT_TRUE(WriteDamagedCopy(InstallerPath(), EnvironmentValue(L"KELVORIN_PAYLOAD_RESOURCE"), copy));
    EXPECT_EQ(TRUST_E_BAD_DIGEST, TrustResult(copy));
}

}  // namespace
