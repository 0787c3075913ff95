#include "common/paths.h"
#include "tests/support/scratch_folder.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

bool IsFolder(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

std::wstring UniqueName(const wchar_t* stem) {
    static unsigned serial = 0;
    return stem + std::to_wstring(::GetCurrentProcessId()) + L"_" + std::to_wstring(::GetTickCount()) + L"_" +
           std::to_wstring(++serial);
}

// Each test works in a fresh folder under the temporary folder, Root (with its trailing backslash).
class DirectoryChainTest : public ::testing::Test {
protected:
    ScratchFolder Folder;
    const std::wstring Root = Folder.Path();
};

TEST(EnsureTrailingSeparator, EndsWithOneBackslashLookingOnlyAtTheLastCharacter) {
    struct Case {
        const wchar_t* Before;
        const wchar_t* After;
    };
    const Case cases[] = {
        {L"", L"\\"},
        {L"C:", L"C:\\"},
        {L"C:\\Apps", L"C:\\Apps\\"},
        {L"C:\\Apps\\", L"C:\\Apps\\"},
        {L"C:/Apps/", L"C:/Apps\\"},
        {L"C:\\Apps\\\\", L"C:\\Apps\\\\"},
    };
    for (const Case& c : cases) {
        wchar_t buffer[16];
        for (wchar_t& w : buffer) w = L'#';
        ::lstrcpyW(buffer, c.Before);
        EnsureTrailingSeparator(buffer);
        EXPECT_STREQ(c.After, buffer) << "from \"" << c.Before << "\"";
        // Nothing is written past the new terminator.
        EXPECT_EQ(L'#', buffer[::lstrlenW(c.After) + 1]) << "from \"" << c.Before << "\"";
    }
}

TEST(IsFullPath, OnlyADriveRootOrAShareStartsAFullPath) {
    for (const wchar_t* full : {L"C:\\", L"d:/Apps", L"C:\\Program Files (x86)\\Kelvorin\\", L"\\\\server\\share",
                                L"//server/share/Apps\\"}) {
        EXPECT_TRUE(IsFullPath(full)) << full;
    }
    // "C:" is also what a REG_DWORD of 0x003A0043 reads as.
    for (const wchar_t* partial : {L"", L".", L"C:", L"C:Apps\\", L"\\Apps\\", L"Apps\\", L"1:\\", L"\\\\",
                                   L"\\\\server", L"\\\\server\\", L"\\\\\\share\\", L"\\\\server\\\\share"}) {
        EXPECT_FALSE(IsFullPath(partial)) << partial;
    }
}

// Each folder in turn, as the free-space query walks up from the install folder.
std::vector<std::wstring> FoldersUpFrom(const wchar_t* path) {
    wchar_t folder[64];
    ::lstrcpyW(folder, path);
    std::vector<std::wstring> folders;
    while (CutToParentFolder(folder)) folders.push_back(folder);
    return folders;
}

TEST(CutToParentFolder, StopsAtTheDriveRootTheShareRootOrTheFirstRelativeName) {
    using Folders = std::vector<std::wstring>;
    EXPECT_EQ((Folders{L"D:\\Apps\\", L"D:\\"}), FoldersUpFrom(L"D:\\Apps\\Kelvorin\\"));
    EXPECT_EQ((Folders{L"\\\\srv\\share\\Apps\\", L"\\\\srv\\share\\"}),
              FoldersUpFrom(L"\\\\srv\\share\\Apps\\Kelvorin\\"));
    EXPECT_EQ((Folders{L"//srv/share/"}), FoldersUpFrom(L"//srv/share/Apps/"));
    EXPECT_EQ((Folders{L"C:/"}), FoldersUpFrom(L"C:/Apps"));
    EXPECT_EQ((Folders{L"C:\\Apps\\", L"C:\\"}), FoldersUpFrom(L"C:\\Apps\\\\"));
    EXPECT_EQ((Folders{L"\\"}), FoldersUpFrom(L"\\Apps\\"));
    EXPECT_EQ((Folders{L"Apps\\"}), FoldersUpFrom(L"Apps\\Kelvorin\\"));
    for (const wchar_t* root : {L"C:\\", L"C:", L"\\", L"\\\\srv\\share\\", L"\\\\srv\\", L"Apps\\", L""}) {
        EXPECT_TRUE(FoldersUpFrom(root).empty()) << root;
    }
}

TEST(CreateDirectoryChain, RootRulesFollowTheStartOfThePath) {
    struct Case {
        const wchar_t* Path;
        uint32_t Separators;
        uint32_t FirstIndex;
    };
    const Case cases[] = {
        {L"\\\\server\\share\\dir\\", 4, 5}, {L"//server/share/", 4, 5},   {L"\\Apps\\", 2, 2},
        {L"/Apps/", 2, 2},                   {L"C:\\Apps\\", 2, 4},        {L"C:Apps\\", 2, 4},
        {L"Apps\\Kelvorin\\", 1, 1},         {L"x", 1, 1},                 {L"\\\\?\\C:\\", 4, 5},
    };
    for (const Case& c : cases) {
        RootRule rule = ChooseRootRule(c.Path);
        EXPECT_EQ(c.Separators, rule.Separators) << c.Path;
        EXPECT_EQ(c.FirstIndex, rule.FirstIndex) << c.Path;
    }
}

TEST(CreateDirectoryChain, RootsAloneTestNothing) {
    // Q: is not mapped in the prefix: only a test of the root itself could fail here.
    EXPECT_EQ(1u, CreateDirectoryChain(L"Q:\\"));
    EXPECT_EQ(1u, CreateDirectoryChain(L"C:\\"));
    EXPECT_EQ(1u, CreateDirectoryChain(L"\\"));
    EXPECT_EQ(1u, CreateDirectoryChain(L""));
}

TEST_F(DirectoryChainTest, CreatesMissingLevelsButNotTheLastUnterminatedName) {
    ASSERT_TRUE(::CreateDirectoryW((Root + L"one").c_str(), nullptr));
    EXPECT_EQ(1u, CreateDirectoryChain((Root + L"one\\two\\three\\").c_str()));
    EXPECT_TRUE(IsFolder(Root + L"one\\two\\three"));

    EXPECT_EQ(1u, CreateDirectoryChain((Root + L"made\\notmade").c_str()));
    EXPECT_TRUE(IsFolder(Root + L"made"));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((Root + L"made\\notmade").c_str()));

    std::wstring forward = Root + L"fwd/a/b/";
    EXPECT_EQ(1u, CreateDirectoryChain(forward.c_str()));
    EXPECT_TRUE(IsFolder(Root + L"fwd\\a\\b"));
}

TEST_F(DirectoryChainTest, FileInTheWayFailsAndKeepsWhatWasMade) {
    HANDLE file = ::CreateFileW((Root + L"blocker").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    ::CloseHandle(file);
    // "made" is created first; the walk then climbs back up and meets the file.
    EXPECT_EQ(0u, CreateDirectoryChain((Root + L"made\\..\\blocker\\deeper\\").c_str()));
    EXPECT_TRUE(IsFolder(Root + L"made"));
    EXPECT_FALSE(IsFolder(Root + L"blocker"));
}

TEST_F(DirectoryChainTest, PathsThatDoNotFitTheWorkingCopyCreateNothing) {
    // Root, "a\", then a last name without separator, padded to the length wanted.
    auto pathOfLength = [this](size_t length) {
        std::wstring path = Root + L"a\\";
        path.append(length - path.size(), L'n');
        return path;
    };
    ASSERT_LT(Root.size() + 2, 259u);
    EXPECT_EQ(1u, CreateDirectoryChain(pathOfLength(259).c_str()));
    EXPECT_TRUE(IsFolder(Root + L"a"));
    ASSERT_TRUE(::RemoveDirectoryW((Root + L"a").c_str()));

    EXPECT_EQ(0u, CreateDirectoryChain(pathOfLength(260).c_str()));
    EXPECT_FALSE(IsFolder(Root + L"a"));

    std::wstring longer = Root;
    while (longer.size() < 300) longer += L"level\\";
    longer.resize(300);
    EXPECT_EQ(0u, CreateDirectoryChain(longer.c_str()));
    EXPECT_FALSE(IsFolder(Root + L"level"));
}

// Wine maps \\server\share\ to dosdevices\unc\server\share of the prefix, so a share can be made there.
TEST(CreateDirectoryChain, NetworkPathStartsAtTheShareRoot) {
    wchar_t prefix[MAX_PATH];
    DWORD length = ::GetEnvironmentVariableW(L"WINEPREFIX", prefix, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "needs the Wine prefix";
    std::wstring unc = std::wstring(L"Z:") + prefix + L"\\dosdevices\\unc";
    bool madeUnc = !IsFolder(unc) && ::CreateDirectoryW(unc.c_str(), nullptr);
    ASSERT_TRUE(IsFolder(unc));
    std::wstring server = UniqueName(L"kelvorinsrv");
    std::wstring chain = L"\\\\" + server + L"\\share\\dir\\";

    // No such server: the share root is the first prefix tried, and the server is never made.
    EXPECT_EQ(0u, CreateDirectoryChain(chain.c_str()));
    EXPECT_FALSE(IsFolder(unc + L"\\" + server));

    // A reachable server without the share: the share root is created like any other folder.
    ASSERT_TRUE(::CreateDirectoryW((unc + L"\\" + server).c_str(), nullptr));
    EXPECT_EQ(1u, CreateDirectoryChain(chain.c_str()));
    EXPECT_TRUE(IsFolder(unc + L"\\" + server + L"\\share\\dir"));

    ScratchFolder::RemoveTree(unc + L"\\" + server + L"\\");
    if (madeUnc) ::RemoveDirectoryW(unc.c_str());
}

}  // namespace
