#include "install/journal.h"
#include "install/programs_in_use.h"
#include "install/registry.h"
#include "removal/registry_keys.h"
#include "common/temporary_name.h"
#include "tests/support/scratch_folder.h"
#include "wizard/in_use_box.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr const wchar_t* TestKeyPath = L"Software\\KelvorinTestJournal";

uint64_t WriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (uint64_t{data.ftLastWriteTime.dwHighDateTime} << 32) | data.ftLastWriteTime.dwLowDateTime;
}

void SetWriteTime(const std::wstring& path, uint64_t time) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    FILETIME stamp = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    ::SetFileTime(file, nullptr, nullptr, &stamp);
    ::CloseHandle(file);
}

// The names in the folder that are the installer's own temporary names.
std::vector<std::wstring> TemporaryFiles(const std::wstring& folder) {
    std::vector<std::wstring> found;
    VisitTemporaryFiles(folder.c_str(), [](const wchar_t* path, void* context) {
        static_cast<std::vector<std::wstring>*>(context)->push_back(path);
    }, &found);
    return found;
}

std::wstring ReadText(const wchar_t* keyPath, const wchar_t* name) {
    wchar_t data[128] = {};
    DWORD type = 0;
    DWORD size = sizeof(data) - sizeof(wchar_t);
    return ReadRegistryValue(keyPath, name, &type, reinterpret_cast<BYTE*>(data), &size) == ERROR_SUCCESS ? data
                                                                                                            : L"<none>";
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool WriteText(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text) {
    return WriteRegistryValue(keyPath, name, REG_SZ, text.c_str(), (text.size() + 1) * sizeof(wchar_t)) == 1;
}

class Journal : public ::testing::Test {
protected:
    void SetUp() override {
        journal_.reset(new InstallJournal());
        ClearJournal(*journal_);
        ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, TestKeyPath);
    }
    void TearDown() override { ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, TestKeyPath); }

    // A complete new file beside the target, as the file writer leaves it before the move.
    std::wstring NewBody(const std::string& bytes) {
        const std::wstring temporary = folder_ / (L"~kv" + std::to_wstring(100 + ++made_) + L".tmp");
        EXPECT_TRUE(WriteWholeFile(temporary, bytes));
        return temporary;
    }
    uint32_t UndoAll() {
        uint32_t undone = 1;
        while (journal_->Count > 0) undone &= UndoLastRecord(*journal_);
        return undone;
    }

    std::unique_ptr<InstallJournal> journal_;
    ScratchFolder folder_;
    int made_ = 0;
};

// A replaced program waits aside under a name of the installer's own and comes back with its bytes and
// time; an added one and the folders made for it go; undo runs in reverse, even past a write that
// failed half-way.
TEST_F(Journal, UndoPutsFilesAndFoldersBackInReverseOrder) {
    const std::wstring earlier = folder_ / L"Ostrel.exe";
    ASSERT_TRUE(WriteWholeFile(earlier, "old program"));
    SetWriteTime(earlier, 0x01D0000012345678ull);
    const std::wstring deeper = folder_ / L"made\\deeper\\";

    EXPECT_EQ(1u, CreateJournaledFolders(*journal_, deeper.c_str()));
    EXPECT_EQ(PlacedNow, PlaceFile(*journal_, NewBody("new program").c_str(), earlier.c_str()));
    EXPECT_EQ(PlacedNow, PlaceFile(*journal_, NewBody("added").c_str(), (deeper + L"Blorra.exe").c_str()));
    // Placed again by the same run: nothing of the run's own is kept aside.
    EXPECT_EQ(PlacedNow, PlaceFile(*journal_, NewBody("newer program").c_str(), earlier.c_str()));
    ASSERT_EQ(3u, journal_->Count);
    EXPECT_EQ("newer program", ReadWholeFile(earlier));
    ASSERT_EQ(1u, TemporaryFiles(folder_.Path()).size());
    EXPECT_EQ("old program", ReadWholeFile(TemporaryFiles(folder_.Path())[0]));
    // A folder at a program's name is never moved; the journal stays as it was.
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Cryvane.exe").c_str(), nullptr));
    EXPECT_EQ(NotPlaced, PlaceFile(*journal_, NewBody("x").c_str(), (folder_ / L"Cryvane.exe").c_str()));
    EXPECT_EQ(3u, journal_->Count);

    EXPECT_EQ(1u, UndoAll());
    EXPECT_EQ("old program", ReadWholeFile(earlier));
    EXPECT_EQ(0x01D0000012345678ull, WriteTime(earlier));
    EXPECT_FALSE(IsFolder(folder_ / L"made\\"));
    EXPECT_TRUE(IsFolder(folder_ / L"Cryvane.exe\\"));
    ::DeleteFileW((folder_.Path() + L"~kv" + std::to_wstring(100 + made_) + L".tmp").c_str());
    EXPECT_TRUE(TemporaryFiles(folder_.Path()).empty());
}

// Success: the earlier copies go, the new files stay.
TEST_F(Journal, FinishingDeletesWhatWaitedAside) {
    const std::wstring earlier = folder_ / L"Ostrel.exe";
    ASSERT_TRUE(WriteWholeFile(earlier, "old program"));
    ASSERT_EQ(PlacedNow, PlaceFile(*journal_, NewBody("new program").c_str(), earlier.c_str()));
    for (uint32_t i = 0; i < journal_->Count; ++i) EXPECT_EQ(PlacedNow, FinishRecord(journal_->Records[i]));
    EXPECT_EQ("new program", ReadWholeFile(earlier));
    EXPECT_TRUE(TemporaryFiles(folder_.Path()).empty());
}

// A file held open without sharing cannot even be renamed: the new one waits under its temporary name
// for the restart, and undo withdraws it, leaving the held file as it was.
TEST_F(Journal, AFileHeldOpenIsReplacedAtTheRestartAndItsUndoWithdrawsTheNewOne) {
    const std::wstring held = folder_ / L"Jottervale.exe";
    ASSERT_TRUE(WriteWholeFile(held, "held program"));
    EXPECT_FALSE(IsFileInUse(held.c_str()));
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_TRUE(IsFileInUse(held.c_str()));
    EXPECT_FALSE(IsFileInUse((folder_ / L"Absent.exe").c_str()));

    const std::wstring waiting = NewBody("new program");
    EXPECT_EQ(PlacedAtRestart, PlaceFile(*journal_, waiting.c_str(), held.c_str()));
    // Written again by the same run while still held: the newer body takes the waiting one's name.
    EXPECT_EQ(PlacedAtRestart, PlaceFile(*journal_, NewBody("newer program").c_str(), held.c_str()));
    ASSERT_EQ(1u, journal_->Count);
    EXPECT_EQ(FileReplacedAtRestart, journal_->Records[0].Operation);
    EXPECT_EQ("newer program", ReadWholeFile(waiting));
    const std::wstring pending = [] {
        std::vector<wchar_t> data(8192);
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
        ReadRegistryValue(L"System\\CurrentControlSet\\Control\\Session Manager", L"PendingFileRenameOperations",
                          &type, reinterpret_cast<BYTE*>(data.data()), &size);
        std::wstring all(data.data(), size / sizeof(wchar_t));
        for (wchar_t& c : all) c = c == L'\0' ? L'|' : c;
        return all;
    }();
    EXPECT_NE(std::wstring::npos, pending.find(waiting.substr(waiting.rfind(L'\\')))) << pending;

    EXPECT_EQ(1u, UndoAll());
    EXPECT_FALSE(FileExists(waiting));
    ::CloseHandle(holder);
    EXPECT_EQ("held program", ReadWholeFile(held));
}

// Every value comes back as it was: an earlier one with its data, a new one gone with the keys its
// write made, a key that held something before kept. A value too large to remember is not touched.
TEST_F(Journal, UndoPutsRegistryValuesBackAndRemovesTheKeysItMade) {
    ASSERT_TRUE(WriteText(TestKeyPath, L"AppPath", L"C:\\Earlier\\"));
    const std::wstring deep = std::wstring(TestKeyPath) + L"\\Made\\command";
    ASSERT_TRUE(RememberValue(*journal_, TestKeyPath, L"AppPath"));
    ASSERT_TRUE(WriteText(TestKeyPath, L"AppPath", L"C:\\Later\\"));
    ASSERT_TRUE(RememberValue(*journal_, deep.c_str(), nullptr));
    ASSERT_TRUE(WriteText(deep.c_str(), nullptr, L"\"x.exe\" \"%1\""));
    ASSERT_TRUE(RememberValue(*journal_, TestKeyPath, L"AppPath"));  // once per run
    EXPECT_EQ(2u, journal_->Count);

    const std::wstring large(EarlierDataCapacity, L'x');
    ASSERT_TRUE(WriteText(TestKeyPath, L"Large", large));
    EXPECT_FALSE(RememberValue(*journal_, TestKeyPath, L"Large"));
    EXPECT_EQ(DWORD{ERROR_MORE_DATA}, ::GetLastError());
    EXPECT_EQ(2u, journal_->Count);

    EXPECT_EQ(1u, UndoAll());
    EXPECT_EQ(L"C:\\Earlier\\", ReadText(TestKeyPath, L"AppPath"));
    DWORD largeSize = 0;
    EXPECT_EQ(ERROR_SUCCESS, ReadRegistryValue(TestKeyPath, L"Large", nullptr, nullptr, &largeSize));
    EXPECT_EQ((large.size() + 1) * sizeof(wchar_t), largeSize);
    EXPECT_FALSE(KeyExists((std::wstring(TestKeyPath) + L"\\Made").c_str()));
    EXPECT_TRUE(KeyExists(TestKeyPath));
}

// What an upgrade removes (an unchosen component's program and file type) waits aside or is remembered
// value by value, subkeys included: undo puts the program back with its bytes, and the tree with each
// value; once the installation is kept, the program is gone for good.
TEST_F(Journal, RemovalsAreSetAsideAndTheirKeyTreesRemembered) {
    const std::wstring program = folder_ / L"Jottervale.exe";
    ASSERT_TRUE(WriteWholeFile(program, "earlier program"));
    const std::wstring command = std::wstring(TestKeyPath) + L"\\shell\\open\\command";
    ASSERT_TRUE(WriteText(TestKeyPath, nullptr, L"Jottervale Document"));
    ASSERT_TRUE(WriteText(command.c_str(), nullptr, L"\"C:\\K\\Jottervale.exe\" \"%1\""));
    ASSERT_TRUE(WriteText(command.c_str(), L"Extra", L"someone's"));

    EXPECT_TRUE(SetFileAside(*journal_, program.c_str()));
    EXPECT_FALSE(FileExists(program));
    EXPECT_FALSE(SetFileAside(*journal_, (folder_ / L"Absent.exe").c_str()));
    ASSERT_TRUE(RememberKeyTree(*journal_, TestKeyPath));
    EXPECT_TRUE(RememberKeyTree(*journal_, L"Software\\KelvorinTestJournalAbsent"));
    EXPECT_EQ(4u, journal_->Count);
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteTreeW(HKEY_LOCAL_MACHINE, TestKeyPath));

    EXPECT_EQ(1u, UndoAll());
    EXPECT_EQ("earlier program", ReadWholeFile(program));
    EXPECT_EQ(L"Jottervale Document", ReadText(TestKeyPath, nullptr));
    EXPECT_EQ(L"\"C:\\K\\Jottervale.exe\" \"%1\"", ReadText(command.c_str(), nullptr));
    EXPECT_EQ(L"someone's", ReadText(command.c_str(), L"Extra"));

    ASSERT_TRUE(SetFileAside(*journal_, program.c_str()));
    EXPECT_EQ(PlacedNow, FinishRecord(journal_->Records[0]));
    EXPECT_FALSE(FileExists(program));
    EXPECT_TRUE(TemporaryFiles(folder_.Path()).empty());
}

// A full journal refuses the change rather than make one it could not take back.
TEST_F(Journal, AFullJournalRefusesTheChange) {
    for (uint32_t i = 0; i < JournalCapacity; ++i) {
        ASSERT_TRUE(RememberValue(*journal_, TestKeyPath, std::to_wstring(i).c_str()));
    }
    EXPECT_FALSE(RememberValue(*journal_, TestKeyPath, L"one more"));
    EXPECT_EQ(NotPlaced, PlaceFile(*journal_, NewBody("x").c_str(), (folder_ / L"Pebbrack.exe").c_str()));
    EXPECT_FALSE(FileExists(folder_ / L"Pebbrack.exe"));
}

TEST(ProgramsInUse, AreNamedByTheirProcessesElseByTheirFiles) {
    wchar_t name[InUseNameCapacity];
    ComposeInUseName(L"C:\\K\\Ostrel.exe", nullptr, 0, name);
    EXPECT_STREQ(L"C:\\K\\Ostrel.exe", name);
    const wchar_t* const processes[] = {L"Ostrel", L"Backup Agent"};
    ComposeInUseName(L"C:\\K\\Ostrel.exe", processes, 2, name);
    EXPECT_STREQ(L"Ostrel, Backup Agent (C:\\K\\Ostrel.exe)", name);

    ProgramsInUse found = {};
    found.Count = 2;
    ComposeInUseName(L"C:\\K\\Ostrel.exe", processes, 1, found.Names[0]);
    ComposeInUseName(L"C:\\K\\uninstall.exe", nullptr, 0, found.Names[1]);
    std::vector<wchar_t> text(InUseTextCapacity);
    ComposeInUseText(found, text.data());
    EXPECT_STREQ(L"These programs are in use and must be replaced:\n\nOstrel (C:\\K\\Ostrel.exe)\n"
                 L"C:\\K\\uninstall.exe\n\nClose them and choose Try Again. Choose Continue to install now: a "
                 L"program still in use is replaced, or takes its place at the next restart.",
                 text.data());
}

}  // namespace
