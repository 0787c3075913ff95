#include "tests/e2e/machine_snapshot.h"

#include "tests/e2e/machine_state.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace {

void ListFolder(const std::wstring& folder, std::vector<std::wstring>* lines) {
    WIN32_FIND_DATAW found = {};
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        std::wstring path = folder + L"\\" + name;
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            lines->push_back(path + L"\\");
            ListFolder(path, lines);
        } else {
            lines->push_back(path + L" " + std::to_wstring(found.nFileSizeLow) + L" bytes");
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::wstring Hex(const BYTE* data, DWORD size) {
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (DWORD i = 0; i < size; ++i) {
        text += digits[data[i] >> 4];
        text += digits[data[i] & 15];
    }
    return text;
}

// COM's own registrations: thousands of keys that the pack never touches, which would make every
// listing take half a minute under Wine.
bool IsComRegistration(const std::wstring& path) {
    for (const wchar_t* skipped : {L"CLSID", L"Interface", L"TypeLib", L"Wow6432Node"}) {
        std::wstring skippedPath = L"HKLM\\Software\\Classes\\" + std::wstring(skipped);
        if (_wcsicmp(path.c_str(), skippedPath.c_str()) == 0) return true;
    }
    return false;
}

void ListKey(HKEY parent, const std::wstring& name, const std::wstring& path, std::vector<std::wstring>* lines) {
    if (IsComRegistration(path)) return;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(parent, name.c_str(), 0, KEY_READ | KEY_WOW64_32KEY, &key) != ERROR_SUCCESS) return;
    lines->push_back(path);
    std::vector<BYTE> data(65536);
    for (DWORD i = 0;; ++i) {
        wchar_t valueName[16384];
        DWORD nameLength = 16384;
        DWORD type = 0;
        DWORD size = static_cast<DWORD>(data.size());
        LONG status = ::RegEnumValueW(key, i, valueName, &nameLength, nullptr, &type, data.data(), &size);
        if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) break;
        std::wstring shown = status == ERROR_SUCCESS ? Hex(data.data(), size) : std::to_wstring(size) + L" bytes";
        lines->push_back(path + L" : " + valueName + L" = " + std::to_wstring(type) + L":" + shown);
    }
    for (DWORD i = 0;; ++i) {
        wchar_t subkey[256];
        DWORD length = 256;
        if (::RegEnumKeyExW(key, i, subkey, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        ListKey(key, subkey, path + L"\\" + subkey, lines);
    }
    ::RegCloseKey(key);
}

}  // namespace

std::vector<std::wstring> MachineSnapshot() {
    std::vector<std::wstring> lines;
    for (const wchar_t* root :
         {L"ProgramW6432", L"ProgramFiles(x86)", L"ProgramData", L"PUBLIC", L"LOCALAPPDATA", L"TEMP"}) {
        std::wstring folder = EnvironmentValue(root);
        lines.push_back(folder + L"\\");
        ListFolder(folder, &lines);
    }
    ListKey(HKEY_LOCAL_MACHINE, L"Software", L"HKLM\\Software", &lines);
    std::sort(lines.begin(), lines.end());
    return lines;
}

std::wstring SnapshotDifference(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after) {
    std::vector<std::wstring> gone, added;
    std::set_difference(before.begin(), before.end(), after.begin(), after.end(), std::back_inserter(gone));
    std::set_difference(after.begin(), after.end(), before.begin(), before.end(), std::back_inserter(added));
    std::wstring text;
    for (const std::wstring& line : gone) text += L"- " + line + L"\n";
    for (const std::wstring& line : added) text += L"+ " + line + L"\n";
    return text;
}
