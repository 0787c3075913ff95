#include "install/file_writer.h"

#include "common/bounded_text.h"
#include "setup/setup_state.h"

namespace FileWriterSeams {
BOOL(WINAPI* WriteFileCall)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
}  // namespace FileWriterSeams

namespace {

constexpr uint32_t WriteSucceeded = 0;
constexpr uint32_t CannotCreate = 16;
constexpr uint32_t WriteFailed = 17;

struct FileHolder {
    HANDLE Handle;
    DWORD BytesWritten;
};

uint32_t ComposeTemporaryPath(wchar_t* temporary, const wchar_t* path);

}  // namespace

uint32_t PayloadBuffer::WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time) {
    if (path == nullptr || Data == nullptr || offset > Length) {
        return CannotCreate;
    }
    // The body is written beside the file and put in its place only once complete, so that a write
    // failing part-way (a full disk) never leaves a truncated program where a working one was.
    wchar_t temporary[PathCapacity];
    if (!ComposeTemporaryPath(temporary, path)) {
        return CannotCreate;
    }
    FileHolder file;
    ::ZeroMemory(&file, sizeof(file));
    file.Handle = ::CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file.Handle == INVALID_HANDLE_VALUE) {
        return CannotCreate;
    }
    // A request may reach past the image: the zero bytes up to the buffer's end are written, never more.
    uint32_t count = size < Length - offset ? size : Length - offset;
    uint32_t result = WriteSucceeded;
    if (!FileWriterSeams::WriteFileCall(file.Handle, Data + offset, count, &file.BytesWritten, nullptr) ||
        file.BytesWritten != count) {
        result = WriteFailed;
    } else if (time != nullptr) {
        // A file whose time could not be set is still complete; it keeps the system's time.
        ::SetFileTime(file.Handle, nullptr, nullptr, time);
    }
    ::CloseHandle(file.Handle);
    // In the same folder the move is a rename on one volume, and the time stamp goes with the file. A
    // file held open, a folder or a read-only file in the way keeps it from being replaced.
    if (result == WriteSucceeded && !::MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING)) {
        result = CannotCreate;
    }
    if (result != WriteSucceeded) {
        ::DeleteFileW(temporary);
    }
    return result;
}

namespace {

// The path with its last character changed, so that the name fits wherever the file's own name fits.
uint32_t ComposeTemporaryPath(wchar_t* temporary, const wchar_t* path) {
    if (!CopyText(temporary, PathCapacity, path) || temporary[0] == L'\0') {
        return 0;
    }
    wchar_t& last = temporary[BoundedLength(temporary, PathCapacity) - 1];
    last = last == L'~' ? L'_' : L'~';
    return 1;
}

}  // namespace
