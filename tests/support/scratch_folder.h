#pragma once

#include <windows.h>

#include <string>

// A fresh folder, under the temporary folder unless another parent (ending in a backslash) is
// given, removed with everything in it when the test ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& parent = TemporaryFolder()) {
        static unsigned counter = 0;
        path_ = parent + L"kelvorin-test-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                std::to_wstring(++counter) + L"\\";
        ::CreateDirectoryW(path_.c_str(), nullptr);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The folder with its trailing backslash.
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + name; }

    static std::wstring TemporaryFolder() {
        wchar_t temp[MAX_PATH];
        ::GetTempPathW(MAX_PATH, temp);
        return temp;
    }

    static void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE search = ::FindFirstFileW((folder + L"*").c_str(), &found);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") continue;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveTree(folder + name + L"\\");
                } else {
                    ::DeleteFileW((folder + name).c_str());
                }
            } while (::FindNextFileW(search, &found));
            ::FindClose(search);
        }
        ::RemoveDirectoryW(folder.c_str());
    }

private:
    std::wstring path_;
};

inline bool FileExists(const std::wstring& path) {
    DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

inline std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    char chunk[65536];
    DWORD read = 0;
    while (::ReadFile(file, chunk, sizeof(chunk), &read, nullptr) && read > 0) bytes.append(chunk, read);
    ::CloseHandle(file);
    return bytes;
}

// A new file holding the bytes; false when the name is taken or the file cannot be written whole.
inline bool WriteWholeFile(const std::wstring& path, const std::string& bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool whole = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                 written == bytes.size();
    ::CloseHandle(file);
    return whole;
}

inline uint64_t AsInteger(const FILETIME& time) {
    return static_cast<uint64_t>(time.dwHighDateTime) << 32 | time.dwLowDateTime;
}

inline FILETIME AsFileTime(uint64_t value) {
    FILETIME time = {static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
    return time;
}

inline uint64_t Now() {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    return AsInteger(now);
}

// The three times of a file: creation, last access, last write.
struct FileTimes {
    uint64_t Created;
    uint64_t Accessed;
    uint64_t Written;
};

inline bool ReadFileTimes(const std::wstring& path, FileTimes* times) {
    HANDLE file = ::CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    FILETIME created, accessed, written;
    bool ok = ::GetFileTime(file, &created, &accessed, &written) != FALSE;
    ::CloseHandle(file);
    *times = {AsInteger(created), AsInteger(accessed), AsInteger(written)};
    return ok;
}
