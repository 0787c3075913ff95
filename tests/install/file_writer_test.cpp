#include "install/file_writer.h"
#include "common/temporary_name.h"
#include "install/journal.h"
#include "tests/support/scratch_folder.h"
#include "setup/setup_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

constexpr uint32_t BufferLength = 4194304;
constexpr uint32_t ImageEnd = 2163823;
constexpr uint64_t OneMinute = 60ull * 10000000ull;

class WriteEntryToFile : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setup_ = new SetupState(::GetModuleHandleW(nullptr));
        CurrentSetup = setup_;
        ASSERT_EQ(0u, setup_->LoadPayload());
    }
    static void TearDownTestSuite() {
        CurrentSetup = nullptr;
        delete setup_;
        setup_ = nullptr;
    }
    void SetUp() override { ClearJournal(setup_->Journal); }
    void TearDown() override {
        FileWriterSeams::WriteFileCall = ::WriteFile;
        FileWriterSeams::FlushFileBuffersCall = ::FlushFileBuffers;
        FileWriterSeams::MoveFileExCall = ::MoveFileExW;
    }

    PayloadBuffer& Payload() { return setup_->Payload; }
    // The installation succeeded: the earlier files that waited aside go.
    void Keep() {
        for (uint32_t i = 0; i < setup_->Journal.Count; ++i) FinishRecord(setup_->Journal.Records[i]);
        ClearJournal(setup_->Journal);
    }
    const PayloadEntry& Entry(uint32_t k) { return setup_->PayloadDirectory[k]; }
    std::string Body(uint32_t offset, uint32_t size) {
        return std::string(reinterpret_cast<const char*>(Payload().Data) + offset, size);
    }

    // What the folder holds, by name.
    std::vector<std::wstring> Names() {
        std::vector<std::wstring> names;
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((folder_ / L"*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return names;
        do {
            if (found.cFileName[0] != L'.') names.push_back(found.cFileName);
        } while (::FindNextFileW(search, &found));
        ::FindClose(search);
        std::sort(names.begin(), names.end());
        return names;
    }

    static SetupState* setup_;
    ScratchFolder folder_;
};

SetupState* WriteEntryToFile::setup_ = nullptr;

// What the write seam saw, and how it should answer.
struct WriteCall {
    int Calls;
    HANDLE Handle;
    const void* Buffer;
    DWORD Count;
    DWORD Written;  // bytes really written and reported
    BOOL Result;
};
WriteCall seen;

BOOL WINAPI RecordingWrite(HANDLE file, LPCVOID buffer, DWORD count, LPDWORD written, LPOVERLAPPED overlapped) {
    ++seen.Calls;
    seen.Handle = file;
    seen.Buffer = buffer;
    seen.Count = count;
    if (seen.Written == count && seen.Result) {
        return ::WriteFile(file, buffer, count, written, overlapped);
    }
    DWORD done = 0;
    ::WriteFile(file, buffer, seen.Written, &done, overlapped);
    *written = done;
    return seen.Result;
}

TEST_F(WriteEntryToFile, WritesTheBodyInOneCallStraightFromTheBuffer) {
    std::wstring path = folder_ / L"Ostrel.exe";
    seen = {0, nullptr, nullptr, 0, Entry(1).Size, TRUE};
    FileWriterSeams::WriteFileCall = RecordingWrite;
    EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), Entry(1).Offset, Entry(1).Size, nullptr));
    EXPECT_EQ(1, seen.Calls);
    EXPECT_EQ(Payload().Data + Entry(1).Offset, seen.Buffer);
    EXPECT_EQ(Entry(1).Size, seen.Count);
    EXPECT_EQ(Body(Entry(1).Offset, Entry(1).Size), ReadWholeFile(path));
    EXPECT_EQ(0, ::GetHandleInformation(seen.Handle, nullptr) ? 1 : 0) << "the handle is closed";
}

TEST_F(WriteEntryToFile, OffsetAtTheBufferEndMakesAnEmptyFileAndOneMoreCreatesNothing) {
    std::wstring empty = folder_ / L"empty.bin";
    EXPECT_EQ(0u, Payload().WriteEntryToFile(empty.c_str(), BufferLength, 100, nullptr));
    ASSERT_TRUE(FileExists(empty));
    EXPECT_EQ("", ReadWholeFile(empty));

    std::wstring beyond = folder_ / L"beyond.bin";
    EXPECT_EQ(16u, Payload().WriteEntryToFile(beyond.c_str(), BufferLength + 1, 0, nullptr));
    EXPECT_FALSE(FileExists(beyond));
}

TEST_F(WriteEntryToFile, NoPathOrNoPayloadDataGives16) {
    EXPECT_EQ(16u, Payload().WriteEntryToFile(nullptr, 0, 10, nullptr));
    PayloadBuffer empty = {nullptr, 0, 0, 1, 0, 0};
    std::wstring path = folder_ / L"none.bin";
    EXPECT_EQ(16u, empty.WriteEntryToFile(path.c_str(), 0, 0, nullptr));
    EXPECT_FALSE(FileExists(path));
}

TEST_F(WriteEntryToFile, SizesPastTheBufferAreClippedAndPastTheImageGiveItsZeroTail) {
    std::wstring clipped = folder_ / L"clipped.bin";
    EXPECT_EQ(0u, Payload().WriteEntryToFile(clipped.c_str(), BufferLength - 100, 0xFFFFFFFFu, nullptr));
    EXPECT_EQ(std::string(100, '\0'), ReadWholeFile(clipped));

    std::wstring tail = folder_ / L"tail.bin";
    const PayloadEntry& last = Entry(9);
    ASSERT_EQ(ImageEnd, last.Offset + last.Size);
    EXPECT_EQ(0u, Payload().WriteEntryToFile(tail.c_str(), last.Offset, last.Size + 500, nullptr));
    EXPECT_EQ(Body(last.Offset, last.Size) + std::string(500, '\0'), ReadWholeFile(tail));
}

TEST_F(WriteEntryToFile, ATimeSetsOnlyTheLastWriteTime) {
    std::wstring path = folder_ / L"stamped.exe";
    uint64_t before = Now();
    EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), Entry(2).Offset, Entry(2).Size, &Entry(2).LastWriteTime));
    FileTimes times;
    ASSERT_TRUE(ReadFileTimes(path, &times));
    EXPECT_EQ(0x01D9D616F979F481ull, times.Written);
    // Wine keeps no creation time of its own on this file system and reports the last-write time for
    // it, so only the access time can show that nothing else was stamped.
    EXPECT_GE(times.Accessed + OneMinute, before);
    EXPECT_LE(times.Accessed, Now() + OneMinute);
}

TEST_F(WriteEntryToFile, NoTimeLeavesAllThreeToTheSystem) {
    std::wstring path = folder_ / L"unstamped.exe";
    uint64_t before = Now();
    EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), Entry(9).Offset, Entry(9).Size, nullptr));
    uint64_t after = Now();
    FileTimes times;
    ASSERT_TRUE(ReadFileTimes(path, &times));
    for (uint64_t time : {times.Created, times.Accessed, times.Written}) {
        EXPECT_GE(time + OneMinute, before);
        EXPECT_LE(time, after + OneMinute);
    }
}

// The earlier file waits beside it under a temporary name until the installation has succeeded.
TEST_F(WriteEntryToFile, AnExistingFileIsReplacedWhole) {
    std::wstring path = folder_ / L"Glimmerdox.exe";
    ASSERT_TRUE(WriteWholeFile(path, std::string(BufferLength / 2, 'x')));
    EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), Entry(2).Offset, Entry(2).Size, nullptr));
    EXPECT_EQ(Body(Entry(2).Offset, Entry(2).Size), ReadWholeFile(path));
    ASSERT_EQ(2u, Names().size());
    EXPECT_TRUE(IsTemporaryName(Names()[1].c_str()));
    EXPECT_EQ(std::string(BufferLength / 2, 'x'), ReadWholeFile(folder_ / Names()[1]));
    Keep();
    EXPECT_EQ(std::vector<std::wstring>{L"Glimmerdox.exe"}, Names());
}

// A file held open without sharing keeps its place until the restart; the new body waits beside it
// under a temporary name, which the system moves over it then.
TEST_F(WriteEntryToFile, AMissingFolderGives16AndAFileHeldWithoutSharing18) {
    std::wstring missing = folder_ / L"no such folder\\Blorra.exe";
    EXPECT_EQ(16u, Payload().WriteEntryToFile(missing.c_str(), Entry(4).Offset, Entry(4).Size, nullptr));
    EXPECT_FALSE(FileExists(missing));

    std::wstring held = folder_ / L"held.exe";
    HANDLE holder = ::CreateFileW(held.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    DWORD written = 0;
    ::WriteFile(holder, "kept", 4, &written, nullptr);
    EXPECT_EQ(WrittenForRestart,
              Payload().WriteEntryToFile(held.c_str(), Entry(4).Offset, Entry(4).Size, nullptr));
    ::CloseHandle(holder);
    EXPECT_EQ("kept", ReadWholeFile(held));
    ASSERT_EQ(2u, Names().size());
    EXPECT_EQ(Body(Entry(4).Offset, Entry(4).Size), ReadWholeFile(folder_ / Names()[1]));
    EXPECT_EQ(1u, UndoLastRecord(setup_->Journal));
    EXPECT_EQ(std::vector<std::wstring>{L"held.exe"}, Names()) << "the body written beside it is withdrawn";
}

// The body goes in under a name that no one else's file can have: whatever lies beside the target, under
// the name an earlier scheme used or under any but one of the temporary names, is neither replaced nor
// in the way, and nothing is left beside the written programs.
TEST_F(WriteEntryToFile, TheTemporaryNameMeetsNoOtherFile) {
    ASSERT_TRUE(WriteWholeFile(folder_ / L"Ostrel.ex~", "a user's own file"));
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"Glimmerdox.ex~").c_str(), nullptr));
    HANDLE held = ::CreateFileW((folder_ / L"Tindlevault.ex~").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    const uint32_t freeName = 0xA5C;
    for (uint32_t unique = 0; unique < TemporaryNameCount; ++unique) {
        if (unique == freeName) continue;
        wchar_t name[TemporaryNameLength + 1];
        ComposeTemporaryName(name, unique);
        if (unique % 2 == 0) {
            ASSERT_TRUE(::CreateDirectoryW((folder_ / name).c_str(), nullptr));
        } else {
            ASSERT_TRUE(WriteWholeFile(folder_ / name, ""));
        }
    }
    ASSERT_TRUE(WriteWholeFile(folder_ / L"~kvold.tmp", "a user's own file"));
    std::vector<std::wstring> before = Names();
    // The leftovers' cleanup takes exactly the files of the form: no folder, no other name.
    std::vector<std::wstring> visited;
    VisitTemporaryFiles(folder_.Path().c_str(), [](const wchar_t* path, void* context) {
        static_cast<std::vector<std::wstring>*>(context)->push_back(path);
    }, &visited);
    EXPECT_EQ(TemporaryNameCount / 2, visited.size());
    EXPECT_TRUE(std::all_of(visited.begin(), visited.end(), [](const std::wstring& path) {
        return FileExists(path) && path.find(L"~kvold") == std::wstring::npos;
    }));

    for (uint32_t n : {0u, 1u, 2u}) {
        std::wstring path = folder_ / (std::wstring(setup_->ComponentTable[n]) + L".exe");
        EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), Entry(n + 1).Offset, Entry(n + 1).Size, nullptr));
        EXPECT_TRUE(Body(Entry(n + 1).Offset, Entry(n + 1).Size) == ReadWholeFile(path)) << n;
    }
    ::CloseHandle(held);
    std::vector<std::wstring> expected = before;
    for (const wchar_t* name : {L"Ostrel.exe", L"Glimmerdox.exe", L"Tindlevault.exe"}) expected.push_back(name);
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(expected, Names());
    EXPECT_EQ("a user's own file", ReadWholeFile(folder_ / L"Ostrel.ex~"));
}

// The move cannot make a program whole that is not yet on the disk: a flush that fails (the disk
// refusing the data on its way out) is a failed write.
BOOL WINAPI FailingFlush(HANDLE) {
    ::SetLastError(ERROR_IO_DEVICE);
    return FALSE;
}

// A full disk while a program of an earlier installation is replaced: that program stays whole,
// with its own time, and nothing is left beside it. Without an earlier file, nothing is left at all.
TEST_F(WriteEntryToFile, AFailedOrShortWriteGives17AndLeavesTheEarlierFileAsItWas) {
    FileWriterSeams::WriteFileCall = RecordingWrite;
    const PayloadEntry& entry = Entry(6);
    const uint64_t earlierTime = 0x01D0000000000000ull;
    std::wstring earlier = folder_ / L"Cryvane.exe";
    HANDLE file = ::CreateFileW(earlier.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    DWORD written = 0;
    ::WriteFile(file, "earlier program", 15, &written, nullptr);
    const FILETIME stamp = AsFileTime(earlierTime);
    ::SetFileTime(file, nullptr, nullptr, &stamp);
    ::CloseHandle(file);

    seen = {0, nullptr, nullptr, 0, 0, FALSE};
    EXPECT_EQ(17u, Payload().WriteEntryToFile(earlier.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime));
    EXPECT_EQ(1, seen.Calls);
    EXPECT_EQ(0, ::GetHandleInformation(seen.Handle, nullptr) ? 1 : 0) << "the handle is closed";

    seen = {0, nullptr, nullptr, 0, entry.Size / 2, TRUE};
    EXPECT_EQ(17u, Payload().WriteEntryToFile(earlier.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime));
    EXPECT_EQ(0, ::GetHandleInformation(seen.Handle, nullptr) ? 1 : 0) << "the handle is closed";
    EXPECT_EQ("earlier program", ReadWholeFile(earlier));
    FileTimes times;
    ASSERT_TRUE(ReadFileTimes(earlier, &times));
    EXPECT_EQ(earlierTime, times.Written);

    FileWriterSeams::WriteFileCall = ::WriteFile;
    FileWriterSeams::FlushFileBuffersCall = FailingFlush;
    EXPECT_EQ(17u, Payload().WriteEntryToFile(earlier.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime));
    EXPECT_EQ("earlier program", ReadWholeFile(earlier));
    FileWriterSeams::WriteFileCall = RecordingWrite;

    std::wstring fresh = folder_ / L"Pebbrack.exe";
    seen = {0, nullptr, nullptr, 0, entry.Size / 2, TRUE};
    EXPECT_EQ(17u, Payload().WriteEntryToFile(fresh.c_str(), entry.Offset, entry.Size, nullptr));
    EXPECT_EQ(std::vector<std::wstring>{L"Cryvane.exe"}, Names());
}

// The replace as Windows makes it, where a read-only target refuses it; Wine run as root does not.
DWORD movedWith;
BOOL WINAPI ReplaceAsWindows(LPCWSTR from, LPCWSTR to, DWORD flags) {
    movedWith = flags;
    DWORD attributes = ::GetFileAttributesW(to);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return ::MoveFileExW(from, to, flags);
}

BOOL WINAPI RefusedReplace(LPCWSTR, LPCWSTR, DWORD) {
    ::SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
}

// A replace refused while someone holds the temporary file, so that removing it fails with another error.
HANDLE heldTemporary = INVALID_HANDLE_VALUE;
BOOL WINAPI RefusedReplaceOfAHeldTemporary(LPCWSTR from, LPCWSTR, DWORD) {
    heldTemporary = ::CreateFileW(from, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ::SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
}

// A program of an earlier installation marked read-only is still the installer's own: it is renamed
// aside, the new one moved in straight through to the disk, and the old one deleted once the
// installation has succeeded; a move that fails puts it back as it was, read-only.
TEST_F(WriteEntryToFile, AReadOnlyProgramOfAnEarlierInstallationIsReplaced) {
    std::wstring path = folder_ / L"Humbrewave.exe";
    ASSERT_TRUE(WriteWholeFile(path, "earlier program"));
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_NE(0u, ::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    const PayloadEntry& entry = Entry(5);

    FileWriterSeams::MoveFileExCall = RefusedReplace;
    DWORD error = 0;
    EXPECT_EQ(16u, Payload().WriteEntryToFile(path.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime, &error));
    EXPECT_EQ(DWORD{ERROR_SHARING_VIOLATION}, error);
    EXPECT_EQ("earlier program", ReadWholeFile(path));
    EXPECT_NE(0u, ::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(std::vector<std::wstring>{L"Humbrewave.exe"}, Names());

    // The error named is the replace's, not that of the clean-up failing after it.
    FileWriterSeams::MoveFileExCall = RefusedReplaceOfAHeldTemporary;
    EXPECT_EQ(16u, Payload().WriteEntryToFile(path.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime, &error));
    EXPECT_EQ(DWORD{ERROR_ACCESS_DENIED}, error);
    ASSERT_NE(INVALID_HANDLE_VALUE, heldTemporary);
    ::CloseHandle(heldTemporary);
    for (const std::wstring& name : Names()) {
        if (name != L"Humbrewave.exe") EXPECT_TRUE(::DeleteFileW((folder_ / name).c_str())) << name.c_str();
    }

    FileWriterSeams::MoveFileExCall = ReplaceAsWindows;
    EXPECT_EQ(0u, Payload().WriteEntryToFile(path.c_str(), entry.Offset, entry.Size, &entry.LastWriteTime, &error));
    EXPECT_EQ(0u, error);
    EXPECT_EQ(DWORD{MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH}, movedWith);
    EXPECT_TRUE(Body(entry.Offset, entry.Size) == ReadWholeFile(path));
    EXPECT_EQ(0u, ::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_READONLY);
    Keep();
    EXPECT_EQ(std::vector<std::wstring>{L"Humbrewave.exe"}, Names());
}

}  // namespace
