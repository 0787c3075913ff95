#include "tests/e2e/machine_state.h"

#include "tests/e2e/installer_driver.h"

#include <shellapi.h>
#include <shlobj.h>
#include <softpub.h>
#include <wintrust.h>

bool ReadFileBytes(const std::wstring& path, std::vector<uint8_t>* bytes) {
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = ::GetFileSize(file, nullptr);
    bytes->assign(size, 0);
    DWORD read = 0;
    bool ok = size == 0 || (::ReadFile(file, bytes->data(), size, &read, nullptr) && read == size);
    ::CloseHandle(file);
    return ok;
}

bool PathExists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t LastWriteTime(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) {
        return 0;
    }
    return static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
}

LONG TrustResult(const std::wstring& path) {
    WINTRUST_FILE_INFO file = {};
    file.cbStruct = sizeof(file);
    file.pcwszFilePath = path.c_str();
    WINTRUST_DATA check = {};
    check.cbStruct = sizeof(check);
    check.dwUIChoice = WTD_UI_NONE;
    check.fdwRevocationChecks = WTD_REVOKE_NONE;
    check.dwUnionChoice = WTD_CHOICE_FILE;
    check.pFile = &file;
    check.dwStateAction = WTD_STATEACTION_VERIFY;
    GUID action = WINTRUST_ACTION_GENERIC_VERIFY_V2;
    HWND noUser = static_cast<HWND>(INVALID_HANDLE_VALUE);
    LONG result = ::WinVerifyTrust(noUser, &action, &check);
    check.dwStateAction = WTD_STATEACTION_CLOSE;
    ::WinVerifyTrust(noUser, &action, &check);
    return result;
}

std::wstring RegistryValue::Text() const {
    std::wstring text(reinterpret_cast<const wchar_t*>(Data.data()), Data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

DWORD RegistryValue::Number() const {
    DWORD number = 0;
    if (Data.size() == sizeof(number)) ::memcpy(&number, Data.data(), sizeof(number));
    return number;
}

RegistryValue ReadMachineValue(const std::wstring& keyPath, const wchar_t* valueName) {
    RegistryValue value;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return value;
    }
    DWORD size = 0;
    if (::RegQueryValueExW(key, valueName, nullptr, &value.Type, nullptr, &size) == ERROR_SUCCESS) {
        value.Data.assign(size, 0);
        value.Present = ::RegQueryValueExW(key, valueName, nullptr, &value.Type, value.Data.data(), &size) ==
                        ERROR_SUCCESS;
        value.Data.resize(size);
    }
    ::RegCloseKey(key);
    return value;
}

bool MachineKeyExists(const std::wstring& keyPath) {
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_QUERY_VALUE | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    ::RegCloseKey(key);
    return true;
}

bool WriteMachineText(const std::wstring& keyPath, const wchar_t* valueName, const std::wstring& text) {
    HKEY key = nullptr;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE | KEY_WOW64_32KEY,
                          nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    bool written = ::RegSetValueExW(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    ::RegCloseKey(key);
    return written;
}

std::vector<std::wstring> InstalledProgramsList() {
    std::vector<std::wstring> lines;
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE readEnd = nullptr;
    HANDLE writeEnd = nullptr;
    if (!::CreatePipe(&readEnd, &writeEnd, &inherit, 0)) {
        return lines;
    }
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    PROCESS_INFORMATION info = {};
    wchar_t commandLine[] = L"uninstaller.exe --list";
    bool started = ::CreateProcessW(nullptr, commandLine, nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                                    nullptr, &startup, &info);
    ::CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[4096];
        DWORD read = 0;
        while (::ReadFile(readEnd, buffer, sizeof(buffer), &read, nullptr) && read > 0) output.append(buffer, read);
        ::WaitForSingleObject(info.hProcess, 10000);
        ::CloseHandle(info.hProcess);
        ::CloseHandle(info.hThread);
    }
    ::CloseHandle(readEnd);
    size_t start = 0;
    while (start < output.size()) {
        size_t end = output.find('\n', start);
        if (end == std::string::npos) end = output.size();
        std::string line = output.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r')) line.pop_back();
        wchar_t wide[1024] = {};
        ::MultiByteToWideChar(CP_UTF8, 0, line.c_str(), -1, wide, 1024);
        if (!line.empty()) lines.push_back(wide);
        start = end + 1;
    }
    return lines;
}

HANDLE ShellOpen(const std::wstring& path, const wchar_t* verb, const wchar_t* fileClass) {
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | (fileClass != nullptr ? SEE_MASK_CLASSNAME : 0);
    info.lpClass = fileClass;
    info.lpVerb = verb;
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&info)) {
        return nullptr;
    }
    return info.hProcess;
}

namespace {

struct TitleSearch {
    const std::wstring* Title;
    HWND Found;
};

BOOL CALLBACK MatchTitle(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<TitleSearch*>(data);
    if (::IsWindowVisible(window) && WindowText(window) == *search->Title) {
        search->Found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND WaitForWindowTitled(const std::wstring& title, DWORD deadlineMs) {
    TitleSearch search = {&title, nullptr};
    WaitFor([&] {
        ::EnumWindows(MatchTitle, reinterpret_cast<LPARAM>(&search));
        return search.Found != nullptr;
    }, deadlineMs);
    return search.Found;
}

std::wstring KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    ::SHGetFolderPathW(nullptr, csidl, nullptr, 0, path);
    return path;
}

std::wstring EnvironmentValue(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    ::GetEnvironmentVariableW(name, value, MAX_PATH);
    return value;
}
