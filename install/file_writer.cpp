#include "install/file_writer.h"

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

}  // namespace

uint32_t PayloadBuffer::WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time) {
    if (path == nullptr || Data == nullptr || offset > Length) {
        return CannotCreate;
    }
    FileHolder file;
    ::ZeroMemory(&file, sizeof(file));
    file.Handle = ::CreateFileW(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
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
    return result;
}
