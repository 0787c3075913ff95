#include "builtin_pack.h"
#include "wizard/centring.h"
#include "wizard/folder_page.h"
#include "wizard/license_margin.h"
#include "wizard/number_format.h"
#include "wizard/space_figures.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr uint32_t AllEight = 0xFF;

struct Figures {
    uint32_t Required;
    std::string RequiredText;
    std::string AvailableText;
    bool InstallEnabled;
};

Figures FiguresFor(uint32_t tickedMask, uint64_t freeBytes) {
    PayloadEntry directory[PayloadEntryCount] = {};
    for (uint32_t k = 0; k < PayloadEntryCount; ++k) directory[k].Size = BuiltInPack[k].Size;
    char scratch[ScratchBytes];
    std::memset(scratch, 'Z', sizeof(scratch));  // leftovers of an earlier use must not show
    Figures figures;
    figures.Required = RequiredBytes(directory, tickedMask);
    WriteRequiredText(scratch, figures.Required);
    figures.RequiredText = scratch;
    WriteAvailableText(scratch, freeBytes);
    figures.AvailableText = scratch;
    figures.InstallEnabled = InstallFits(figures.Required, freeBytes);
    return figures;
}

std::string Formatted(const char* format, uint32_t value, uint32_t* count = nullptr) {
    char out[80];
    std::memset(out, 'Z', sizeof(out));
    const uint32_t written = FormatUnsigned(out, format, value);
    if (count) *count = written;
    EXPECT_EQ(std::strlen(out), written);
    return out;
}

TEST(FormatUnsigned, WritesFiguresAndReturnsTheirLength) {
    uint32_t count = 0;
    EXPECT_EQ("0 MB", Formatted("%u MB", 0, &count));
    EXPECT_EQ(4u, count);
    EXPECT_EQ("ff", Formatted("%x", 255));
    EXPECT_EQ("4294967295 GB", Formatted("%u GB", 0xFFFFFFFFu, &count));
    EXPECT_EQ(13u, count);
    EXPECT_EQ("ffffffff", Formatted("%x", 0xFFFFFFFFu));
    EXPECT_EQ("1000 TB", Formatted("%u TB", 1000));
    EXPECT_EQ("size: 42 bytes", Formatted("size: %u bytes", 42));
    EXPECT_EQ("no conversion", Formatted("no conversion", 7, &count));
    EXPECT_EQ(13u, count);
    EXPECT_EQ("", Formatted("", 7));
}

TEST(FormatUnsigned, NeverWritesMoreThanSixtyFourBytes) {
    const std::string longPrefix(70, 'p');
    EXPECT_EQ(std::string(63, 'p'), Formatted((longPrefix + "%u").c_str(), 5));
    EXPECT_EQ(std::string(60, 'p') + "123", Formatted((std::string(60, 'p') + "%u MB").c_str(), 12345));
    EXPECT_EQ("9", Formatted("%", 9));
}

TEST(SpaceFigures, RequiredSpaceFollowsTheTicks) {
    const Figures none = FiguresFor(0, 5ull << 30);
    EXPECT_EQ(0u, none.Required);
    EXPECT_EQ("Space required:  0 MB", none.RequiredText);
    EXPECT_FALSE(none.InstallEnabled);
    EXPECT_FALSE(FiguresFor(0, UnknownFreeBytes).InstallEnabled);

    const Figures all = FiguresFor(AllEight, 5ull << 30);
    EXPECT_EQ(2163200u, all.Required);
    EXPECT_EQ("Space required:  3 MB", all.RequiredText);
    EXPECT_TRUE(all.InstallEnabled);

    const Figures ostrel = FiguresFor(1, 5ull << 30);
    EXPECT_EQ(233472u, ostrel.Required);
    EXPECT_EQ("Space required:  1 MB", ostrel.RequiredText);

    char scratch[ScratchBytes];
    WriteRequiredText(scratch, 1048576);
    EXPECT_STREQ("Space required:  1 MB", scratch);
    WriteRequiredText(scratch, 1048577);
    EXPECT_STREQ("Space required:  2 MB", scratch);
}

TEST(SpaceFigures, AvailableSpaceMovesUpAUnitOnlyWhenTheCountOverflows) {
    EXPECT_EQ("Space available: 5120 MB", FiguresFor(AllEight, 5ull << 30).AvailableText);
    EXPECT_EQ("Space available: 4294967295 MB", FiguresFor(AllEight, (1ull << 52) - 1).AvailableText);
    EXPECT_EQ("Space available: 4194304 GB", FiguresFor(AllEight, 1ull << 52).AvailableText);
    EXPECT_EQ("Space available: 4294967295 GB", FiguresFor(AllEight, (1ull << 62) - 1).AvailableText);
    EXPECT_EQ("Space available: 4194304 TB", FiguresFor(AllEight, 1ull << 62).AvailableText);
    EXPECT_EQ("Space available: 2097152 MB", FiguresFor(AllEight, 2ull << 40).AvailableText);
    EXPECT_EQ("Space available: 0 MB", FiguresFor(AllEight, 1048575).AvailableText);
    EXPECT_EQ("Space available: ?", FiguresFor(AllEight, UnknownFreeBytes).AvailableText);
}

TEST(SpaceFigures, InstallNeedsMoreFreeBytesThanRequired) {
    EXPECT_FALSE(FiguresFor(AllEight, 2163200).InstallEnabled);
    EXPECT_TRUE(FiguresFor(AllEight, 2163201).InstallEnabled);
    EXPECT_FALSE(FiguresFor(AllEight, 0).InstallEnabled);
    // Beyond 32 bits, and unknown, count as 4,294,967,295 bytes: a full 32-bit need never fits.
    EXPECT_TRUE(FiguresFor(AllEight, UnknownFreeBytes).InstallEnabled);
    EXPECT_TRUE(InstallFits(0xFFFFFFFEu, UnknownFreeBytes));
    EXPECT_FALSE(InstallFits(0xFFFFFFFFu, UnknownFreeBytes));
    EXPECT_FALSE(InstallFits(0xFFFFFFFFu, 1ull << 40));
    EXPECT_TRUE(InstallFits(0xFFFFFFFEu, 0xFFFFFFFFu));
    EXPECT_FALSE(InstallFits(0xFFFFFFFFu, 0xFFFFFFFFu));
}

struct FreeSpaceCall {
    std::wstring Path;
    bool OnlyCallerFigure;
};
std::vector<FreeSpaceCall> FreeSpaceCalls;
std::vector<uint64_t> FreeSpaceAnswers;  // one per call; UnknownFreeBytes answers with a failure

BOOL WINAPI FakeFreeSpace(LPCWSTR path, PULARGE_INTEGER caller, PULARGE_INTEGER total, PULARGE_INTEGER free) {
    const size_t index = FreeSpaceCalls.size();
    FreeSpaceCalls.push_back({path, caller != nullptr && total == nullptr && free == nullptr});
    if (index >= FreeSpaceAnswers.size() || FreeSpaceAnswers[index] == UnknownFreeBytes) return FALSE;
    caller->QuadPart = FreeSpaceAnswers[index];
    return TRUE;
}

class FreeSpaceQuery : public ::testing::Test {
protected:
    void SetUp() override {
        FreeSpaceCalls.clear();
        FreeSpaceAnswers.clear();
        FolderPageSeams::GetDiskFreeSpaceExCall = FakeFreeSpace;
    }
    void TearDown() override { FolderPageSeams::GetDiskFreeSpaceExCall = ::GetDiskFreeSpaceExW; }
};

// The folder the files go to may be a volume mounted inside the drive: its own figure counts.
TEST_F(FreeSpaceQuery, AsksTheDeepestExistingFolderFirst) {
    ScratchFolder existing;
    const std::wstring folder = existing / L"not yet\\Kelvorin\\";
    FreeSpaceAnswers = {123456789};
    EXPECT_EQ(123456789u, QueryFreeBytes(folder.c_str()));
    ASSERT_EQ(1u, FreeSpaceCalls.size());
    EXPECT_EQ(existing.Path(), FreeSpaceCalls[0].Path);
    EXPECT_TRUE(FreeSpaceCalls[0].OnlyCallerFigure);

    // Should that folder not answer, the drive root and the folder are asked, as when nothing exists.
    FreeSpaceCalls.clear();
    FreeSpaceAnswers = {UnknownFreeBytes, 5ull << 30};
    EXPECT_EQ(5ull << 30, QueryFreeBytes(folder.c_str()));
    ASSERT_EQ(2u, FreeSpaceCalls.size());
    EXPECT_EQ(folder.substr(0, 3), FreeSpaceCalls[1].Path);
}

TEST_F(FreeSpaceQuery, WithNothingOfThePathThereAsksTheRootThenTheWholeFolder) {
    FreeSpaceAnswers = {UnknownFreeBytes, 5ull << 30};
    EXPECT_EQ(5ull << 30, QueryFreeBytes(L"\\\\server\\share\\Kelvorin\\"));
    ASSERT_EQ(2u, FreeSpaceCalls.size());
    EXPECT_EQ(L"\\\\s", FreeSpaceCalls[0].Path);
    EXPECT_EQ(L"\\\\server\\share\\Kelvorin\\", FreeSpaceCalls[1].Path);
    EXPECT_TRUE(FreeSpaceCalls[1].OnlyCallerFigure);

    FreeSpaceCalls.clear();
    FreeSpaceAnswers = {UnknownFreeBytes, UnknownFreeBytes};
    EXPECT_EQ(UnknownFreeBytes, QueryFreeBytes(L"Q:\\Apps\\Kelvorin\\"));
    ASSERT_EQ(2u, FreeSpaceCalls.size());
    EXPECT_EQ(L"Q:\\", FreeSpaceCalls[0].Path);
}

TEST(FreeSpaceQueryOnWine, TheRealCallAnswersForADriveFolderThatDoesNotExistYet) {
    const uint64_t free = QueryFreeBytes(L"C:\\No Such Folder\\Kelvorin\\");
    EXPECT_NE(UnknownFreeBytes, free);
    EXPECT_GT(free, 0u);
}

TEST(FrameGeometry, CentresWhatFitsAndKeepsALargerWindowAtTheAreaStart) {
    EXPECT_EQ(212, CentredOrigin(0, 1024, 600));
    EXPECT_EQ(30 + 212, CentredOrigin(30, 1024, 600));
    EXPECT_EQ(212, CentredOrigin(0, 1024, 599));  // 425 / 2
    EXPECT_EQ(0, CentredOrigin(0, 600, 600));
    EXPECT_EQ(-1920 + 100, CentredOrigin(-1920, 400, 200));
    EXPECT_EQ(0, CentredOrigin(0, 100, 301));
    EXPECT_EQ(0, CentredOrigin(0, 600, 601));
    EXPECT_EQ(30, CentredOrigin(30, 100, 200));
    EXPECT_EQ(-1920, CentredOrigin(-1920, 100, 300));
}

TEST(LicenseMargin, FivePixelsPer96DpiAtMostTwenty) {
    const uint32_t dpis[] = {0, 95, 96, 120, 144, 192, 288, 383, 384, 480, 65535};
    const int32_t insets[] = {0, 4, 5, 6, 7, 10, 15, 19, 20, 20, 20};
    for (size_t i = 0; i < sizeof(dpis) / sizeof(dpis[0]); ++i) {
        EXPECT_EQ(insets[i], LicenseInsetForDpi(dpis[i])) << dpis[i] << " DPI";
    }
}

}  // namespace
