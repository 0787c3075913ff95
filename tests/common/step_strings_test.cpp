#include "common/step_strings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StepStrings, ComposesTheIconTextAndTheCommands) {
    wchar_t out[WorkingStringCapacity];
    const wchar_t* exe = L"C:\\Program Files (x86)\\Kelvorin\\Cryvane.exe";
    EXPECT_EQ(1u, ComposeIconText(out, WorkingStringCapacity, exe));
    EXPECT_EQ(std::wstring(exe) + L",0", out);
    EXPECT_EQ(1u, ComposeOpenCommand(out, WorkingStringCapacity, exe));
    EXPECT_EQ(L"\"" + std::wstring(exe) + L"\" \"%1\"", out);
    EXPECT_EQ(1u, ComposeUninstallCommand(out, WorkingStringCapacity, exe));
    EXPECT_EQ(L"\"" + std::wstring(exe) + L"\"", out);
    EXPECT_EQ((wcslen(out) + 1) * 2, StringByteCount(out));
    EXPECT_EQ(2u, StringByteCount(L""));
}

TEST(StepStrings, AppendsAFileNameInPlace) {
    wchar_t folder[300] = L"C:\\Apps\\";
    EXPECT_EQ(1u, AppendFileName(folder, 300, L"Tindlevault", L".exe"));
    EXPECT_STREQ(L"C:\\Apps\\Tindlevault.exe", folder);
}

// A buffer with guard cells after its capacity: nothing may ever be written there.
struct Guarded {
    static constexpr uint32_t Capacity = 12;
    wchar_t Cells[Capacity + 4];
    Guarded(const wchar_t* start) {
        for (wchar_t& cell : Cells) cell = L'#';
        wcscpy(Cells, start);
    }
    bool GuardsIntact() const {
        for (uint32_t i = Capacity; i < Capacity + 4; ++i) {
            if (Cells[i] != L'#') return false;
        }
        return true;
    }
};

TEST(StepStrings, ATextThatDoesNotFitIsCutToFitAndReported) {
    Guarded exact(L"C:\\ab\\");  // 6 + "x.exe" = 11, the last usable cell
    EXPECT_EQ(1u, AppendFileName(exact.Cells, Guarded::Capacity, L"x", L".exe"));
    EXPECT_STREQ(L"C:\\ab\\x.exe", exact.Cells);
    EXPECT_TRUE(exact.GuardsIntact());

    Guarded over(L"C:\\abc\\");  // one character more than fits
    EXPECT_EQ(0u, AppendFileName(over.Cells, Guarded::Capacity, L"x", L".exe"));
    EXPECT_STREQ(L"C:\\abc\\x.ex", over.Cells);
    EXPECT_TRUE(over.GuardsIntact());

    Guarded full(L"C:\\abcdefgh");  // already 11 characters: nothing more goes in
    EXPECT_EQ(0u, AppendFileName(full.Cells, Guarded::Capacity, L"x", L".exe"));
    EXPECT_STREQ(L"C:\\abcdefgh", full.Cells);
    EXPECT_TRUE(full.GuardsIntact());
    EXPECT_EQ(1u, AppendText(full.Cells, Guarded::Capacity, L""));

    const wchar_t* path = L"C:\\a\\b.exe";  // 10 characters
    Guarded icon(L"");
    EXPECT_EQ(0u, ComposeIconText(icon.Cells, Guarded::Capacity, path));
    EXPECT_STREQ(L"C:\\a\\b.exe,", icon.Cells);
    EXPECT_TRUE(icon.GuardsIntact());
    Guarded open(L"");
    EXPECT_EQ(0u, ComposeOpenCommand(open.Cells, Guarded::Capacity, path));
    EXPECT_TRUE(open.GuardsIntact());
    Guarded uninstall(L"");
    EXPECT_EQ(0u, ComposeUninstallCommand(uninstall.Cells, Guarded::Capacity, path));
    EXPECT_TRUE(uninstall.GuardsIntact());
}

TEST(StepStrings, AnUnterminatedBufferIsTreatedAsFull) {
    wchar_t cells[8];
    for (wchar_t& cell : cells) cell = L'z';
    EXPECT_EQ(7u, BoundedLength(cells, 8));
    EXPECT_EQ(0u, AppendText(cells, 8, L"a"));
    EXPECT_EQ(0, cells[7]);
}

TEST(StepStrings, TheLongestDocumentedFoldersFitEveryBuffer) {
    // An install folder of 260 characters with its separator and the longest name, 15 characters.
    std::wstring folder = L"C:\\" + std::wstring(256, L'f') + L"\\";
    ASSERT_EQ(260u, folder.size());
    wchar_t path[300] = {};
    wcscpy(path, folder.c_str());
    EXPECT_EQ(1u, AppendFileName(path, 300, L"Tindlevault", L".exe"));
    wchar_t out[WorkingStringCapacity];
    EXPECT_EQ(1u, ComposeOpenCommand(out, WorkingStringCapacity, path));
    EXPECT_EQ(1u, ComposeIconText(out, WorkingStringCapacity, path));
}

TEST(StepStrings, ProgressPositionsOfTheNineSteps) {
    const uint32_t expected[9] = {11, 22, 33, 44, 55, 66, 77, 88, 100};
    for (uint32_t step = 0; step < 9; ++step) EXPECT_EQ(expected[step], StepProgressPosition(step));
}

}  // namespace
