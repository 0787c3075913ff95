// The version the build states and the record holds: its one accepted form, its order, and how an
// installed version stands to this one; the component names the record keeps.
#include "setup/installed_pack.h"
#include "setup/version_number.h"

#include <gtest/gtest.h>

namespace {

TEST(VersionNumber, ParsesOnlyFourDecimalNumbersUpTo65535) {
    VersionNumber version = 0;
    ASSERT_TRUE(ParseVersionText(L"24.1.0.0", &version));
    EXPECT_EQ(MakeVersionNumber(24, 1, 0, 0), version);
    ASSERT_TRUE(ParseVersionText(L"65535.65535.65535.65535", &version));
    EXPECT_EQ(0xFFFFFFFFFFFFFFFFull, version);
    ASSERT_TRUE(ParseVersionText(L"0.0.0.0", &version));
    EXPECT_EQ(0u, version);
    ASSERT_TRUE(ParseVersionText(L"007.08.0.1", &version));
    EXPECT_EQ(MakeVersionNumber(7, 8, 0, 1), version);

    version = 42;
    for (const wchar_t* text : {L"", L"24", L"24.1.0", L"24.1.0.0.0", L"24.1.0.", L".24.1.0", L"24..1.0",
                                L"65536.0.0.0", L"0.0.0.100000", L"0.0.0.000001", L"24.1.0.0 ", L" 24.1.0.0",
                                L"24.1.0.0x", L"-1.0.0.0", L"+1.0.0.0", L"24,1,0,0", L"2308"}) {
        EXPECT_FALSE(ParseVersionText(text, &version)) << text;
    }
    EXPECT_EQ(42u, version) << "a refused text leaves the version as it was";
}

TEST(VersionNumber, OrdersByTheFirstPartThatDiffers) {
    EXPECT_LT(MakeVersionNumber(23, 8, 0, 0), MakeVersionNumber(24, 1, 0, 0));
    EXPECT_LT(MakeVersionNumber(24, 1, 0, 65535), MakeVersionNumber(24, 1, 1, 0));
    EXPECT_LT(MakeVersionNumber(24, 65535, 65535, 65535), MakeVersionNumber(25, 0, 0, 0));
    EXPECT_LT(MakeVersionNumber(0, 0, 0, 9), MakeVersionNumber(0, 0, 1, 0));
    // The build without a version given states 23.8.0.0.
    EXPECT_EQ(MakeVersionNumber(23, 8, 0, 0), ThisVersion);
}

TEST(InstalledVersion, OlderIsAnUpgradeSameAReinstallationNewerARefusal) {
    const VersionNumber current = MakeVersionNumber(24, 1, 0, 0);
    EXPECT_EQ(EarlierInstalled, RelateInstalledVersion(L"24.0.65535.65535", current));
    EXPECT_EQ(EarlierInstalled, RelateInstalledVersion(L"23.8.0.0", current));
    EXPECT_EQ(SameInstalled, RelateInstalledVersion(L"24.1.0.0", current));
    EXPECT_EQ(SameInstalled, RelateInstalledVersion(L"24.01.0.0", current));
    EXPECT_EQ(NewerInstalled, RelateInstalledVersion(L"24.1.0.1", current));
    EXPECT_EQ(NewerInstalled, RelateInstalledVersion(L"65535.0.0.0", current));
    // An installation that recorded no version, or none this program can read, came before versions.
    EXPECT_EQ(EarlierInstalled, RelateInstalledVersion(L"", current));
    EXPECT_EQ(EarlierInstalled, RelateInstalledVersion(L"25 beta", current));
    EXPECT_EQ(EarlierInstalled, RelateInstalledVersion(L"", MakeVersionNumber(0, 0, 0, 0)));
}

TEST(InstalledComponents, NamesGoToTheRecordAndComeBackAsTheSameComponents) {
    wchar_t names[ComponentNamesCapacity];
    ASSERT_EQ(1u, ComposeComponentNames(0xFF, names, ComponentNamesCapacity));
    EXPECT_STREQ(L"Ostrel,Glimmerdox,Tindlevault,Blorra,Humbrewave,Jottervale,Cryvane,Pebbrack", names);
    EXPECT_EQ(0xFFu, ReadComponentNames(names));
    for (uint32_t components : {0x01u, 0x80u, 0x41u, 0x5Au}) {
        ASSERT_EQ(1u, ComposeComponentNames(components, names, ComponentNamesCapacity));
        EXPECT_EQ(components, ReadComponentNames(names)) << names;
    }
    ASSERT_EQ(1u, ComposeComponentNames(0x41, names, ComponentNamesCapacity));
    EXPECT_STREQ(L"Ostrel,Cryvane", names);
    ASSERT_EQ(1u, ComposeComponentNames(0, names, ComponentNamesCapacity));
    EXPECT_STREQ(L"", names);

    // Read as /components reads its value: any case, but nothing it would refuse.
    EXPECT_EQ(0x41u, ReadComponentNames(L"cryvane,OSTREL"));
    for (const wchar_t* refused : {L"", L"Ostrel,,Cryvane", L"Ostrel,Nobody", L"Ostrel;Cryvane"}) {
        EXPECT_EQ(0u, ReadComponentNames(refused)) << refused;
    }
    // A buffer too small keeps what fits, terminated, and says so.
    wchar_t small[10];
    EXPECT_EQ(0u, ComposeComponentNames(0x03, small, 10));
    EXPECT_EQ(L'\0', small[9]);
}

}  // namespace
