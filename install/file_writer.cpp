#include "install/file_writer.h"

#include "common/bounded_text.h"
#include "common/temporary_name.h"
#include "install/journal.h"
#include "setup/setup_state.h"

namespace FileWriterSeams {
BOOL(WINAPI* WriteFileCall)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED) = ::WriteFile;
BOOL(WINAPI* FlushFileBuffersCall)(HANDLE) = ::FlushFileBuffers;
BOOL(WINAPI* MoveFileExCall)(LPCWSTR, LPCWSTR, DWORD) = ::MoveFileExW;
}  // namespace FileWriterSeams

namespace {

constexpr uint32_t WriteSucceeded = 0;
constexpr uint32_t CannotCreate = 16;
constexpr uint32_t WriteFailed = 17;

// The target's folder and a temporary name take no more room than the target's path.
constexpr uint32_t TemporaryPathCapacity = PathCapacity + TemporaryNameLength;

struct FileHolder {
    HANDLE Handle;
    DWORD BytesWritten;
};

HANDLE CreateTemporaryBeside(const wchar_t* path, wchar_t* temporary, DWORD* error);
DWORD ErrorOfFailedCall();

}  // namespace

uint32_t PayloadBuffer::WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time) {
    DWORD error = 0;
    return WriteEntryToFile(path, offset, size, time, &error);
}

uint32_t PayloadBuffer::WriteEntryToFile(const wchar_t* path, uint32_t offset, uint32_t size, const FILETIME* time,
                                         DWORD* error) {
    *error = 0;
    if (path == nullptr || Data == nullptr || offset > Length) {
        *error = ERROR_INVALID_PARAMETER;
        return CannotCreate;
    }
    // The body is written beside the file and put in its place only once complete and on the disk, so
    // that neither a write failing part-way (a full disk) nor a power cut right after the move leaves a
    // truncated program where a working one was.
    wchar_t temporary[TemporaryPathCapacity];
    FileHolder file;
    ::ZeroMemory(&file, sizeof(file));
    file.Handle = CreateTemporaryBeside(path, temporary, error);
    if (file.Handle == INVALID_HANDLE_VALUE) {
        return CannotCreate;
    }
    // A request may reach past the image: the zero bytes up to the buffer's end are written, never more.
    uint32_t count = size < Length - offset ? size : Length - offset;
    uint32_t result = WriteSucceeded;
    if (!FileWriterSeams::WriteFileCall(file.Handle, Data + offset, count, &file.BytesWritten, nullptr)) {
        *error = ErrorOfFailedCall();
        result = WriteFailed;
    } else if (file.BytesWritten != count) {
        *error = ERROR_DISK_FULL;  // a volume that took no more
        result = WriteFailed;
    } else {
        if (time != nullptr) {
            // A file whose time could not be set is still complete; it keeps the system's time.
            ::SetFileTime(file.Handle, nullptr, nullptr, time);
        }
        // Flushed after the time is set, so that the time reaches the disk with the body.
        if (!FileWriterSeams::FlushFileBuffersCall(file.Handle)) {
            *error = ErrorOfFailedCall();
            result = WriteFailed;
        }
    }
    ::CloseHandle(file.Handle);
    if (result == WriteSucceeded) {
        // The earlier file waits aside in the journal until the installation has succeeded; one in
        // use keeps its place until the restart, and the complete new file waits for it.
        const PlaceResult placed = PlaceFile(CurrentSetup->Journal, temporary, path);
        result = placed == PlacedNow ? WriteSucceeded : placed == PlacedAtRestart ? WrittenForRestart : CannotCreate;
        if (placed == NotPlaced) {
            *error = ErrorOfFailedCall();
        }
    }
    if (result != WriteSucceeded && result != WrittenForRestart) {
        ::DeleteFileW(temporary);
    }
    return result;
}

namespace {

// Creates a new file under a temporary name in the path's folder: a name already taken, by a file or a
// folder of anyone's, is passed over for the next one. The open handle, or INVALID_HANDLE_VALUE with no
// file created.
HANDLE CreateTemporaryBeside(const wchar_t* path, wchar_t* temporary, DWORD* error) {
    struct Creation {
        HANDLE Handle;
        DWORD* Error;
    } creation = {INVALID_HANDLE_VALUE, error};
    *error = ERROR_FILENAME_EXCED_RANGE;  // stays when no name fits beside the path
    TryTemporaryNamesBeside(path, temporary, TemporaryPathCapacity, [](const wchar_t* candidate, void* context) {
        Creation& made = *static_cast<Creation*>(context);
        made.Handle = ::CreateFileW(candidate, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        *made.Error = made.Handle == INVALID_HANDLE_VALUE ? ErrorOfFailedCall() : 0;
        // Made, or failing for a reason another name would not cure.
        return made.Handle != INVALID_HANDLE_VALUE || ::GetFileAttributesW(candidate) == INVALID_FILE_ATTRIBUTES;
    }, &creation);
    return creation.Handle;
}

// A failed call that set no error still failed: the write is named as a fault, never as a success.
DWORD ErrorOfFailedCall() {
    const DWORD error = ::GetLastError();
    return error != 0 ? error : ERROR_WRITE_FAULT;
}

}  // namespace
