#include "tests/e2e/scenario_support.h"

#include "builtin_pack.h"
#include "tests/e2e/machine_state.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cctype>
#include <cwchar>

std::wstring InstallerPath() {
    return EnvironmentValue(L"KELVORIN_INSTALLER");
}

std::wstring PackBody(const wchar_t* file) {
    std::wstring folder = EnvironmentValue(L"KELVORIN_PACK_FOLDER");
    return (folder.empty() ? EnvironmentValue(L"KELVORIN_PACK_BODIES") : folder) + L"\\" + file;
}

std::wstring UninstallerBody() {
    return EnvironmentValue(L"KELVORIN_PACK_BODIES") + L"\\uninstall.exe";
}

uint64_t PackProgramTime(uint32_t component) {
    if (EnvironmentValue(L"KELVORIN_PACK_FOLDER").empty()) {
        return BuiltInPack[component + 1].Time;
    }
    return LastWriteTime(PackBody((std::wstring(ComponentNames[component]) + L".exe").c_str()));
}

std::wstring ProgramDifference(const std::wstring& folder, uint32_t component) {
    std::wstring file = std::wstring(ComponentNames[component]) + L".exe";
    std::vector<uint8_t> installed, carried;
    if (!ReadFileBytes(folder + file, &installed)) return file + L": not installed";
    if (!ReadFileBytes(PackBody(file.c_str()), &carried) || installed != carried) {
        return file + L": not the bytes of " + PackBody(file.c_str());
    }
    uint64_t time = LastWriteTime(folder + file);
    if (time != PackProgramTime(component)) {
        return file + L": last-write time " + std::to_wstring(time) + L", the pack's " +
               std::to_wstring(PackProgramTime(component)) + L" (FILETIME)";
    }
    return std::wstring();
}

uint32_t PackBytesRequired() {
    std::vector<std::wstring> files = {UninstallerBody()};
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        files.push_back(PackBody((std::wstring(ComponentNames[n]) + L".exe").c_str()));
    }
    uint32_t bytes = 0;
    for (const std::wstring& file : files) {
        WIN32_FILE_ATTRIBUTE_DATA data = {};
        if (::GetFileAttributesExW(file.c_str(), GetFileExInfoStandard, &data)) bytes += data.nFileSizeLow;
    }
    return bytes;
}

std::wstring SpaceRequiredText(uint32_t bytes) {
    return L"Space required:  " + std::to_wstring((static_cast<uint64_t>(bytes) + (1u << 20) - 1) >> 20) + L" MB";
}

LONG ExpectedTrustResult() {
    return EnvironmentValue(L"KELVORIN_SIGNED").empty() ? TRUST_E_NOSIGNATURE : 0;
}

std::wstring DefaultInstallFolder() {
    return KnownFolder(CSIDL_PROGRAM_FILES) + L"\\Kelvorin\\";
}

std::wstring StartMenuFolder() {
    return KnownFolder(CSIDL_COMMON_PROGRAMS) + L"\\Kelvorin\\";
}

std::wstring RemoveTrailingSeparator(std::wstring folder) {
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    return folder;
}

Wizard::Wizard(const std::wstring& installer, const std::wstring& arguments)
    : Installer(installer, L"\"" + installer + L"\"" + (arguments.empty() ? L"" : L" " + arguments)) {}

bool Wizard::ReachLicense() {
    Frame = Installer.WaitForFrame();
    Page = Frame != nullptr ? WaitForPageWithButton(Frame, IDOK, L"I &Agree") : nullptr;
    return Page != nullptr;
}

bool Wizard::Agree() {
    PressKeys(Frame, {VK_MENU, 'A'});
    Page = WaitForPageWithButton(Frame, IDOK, L"&Next >");
    return Page != nullptr;
}

bool Wizard::Next() {
    PressKeys(Frame, {VK_RETURN});
    Page = WaitForPageWithButton(Frame, IDOK, L"&Install");
    return Page != nullptr;
}

bool Wizard::Back(const wchar_t* forwardCaption) {
    PressKeys(Frame, {VK_MENU, 'B'});
    Page = WaitForPageWithButton(Frame, IDOK, forwardCaption);
    return Page != nullptr;
}

bool Wizard::Install() {
    PressKeys(Frame, {VK_RETURN});
    Page = WaitForPageWithButton(Frame, IDOK, L"&Close");
    return Page != nullptr;
}

bool Wizard::WaitForResult() {
    return WaitFor([&] {
        std::wstring status = ControlText(Page, IDC_STATUS_TEXT);
        return status == L"Installation completed successfully." || status == L"Installation failed." ||
               status == RestartFinishesText;
    });
}

bool Wizard::InstallWithDefaults() {
    return ReachLicense() && Agree() && Next() && Install() && WaitForResult();
}

void Wizard::ShowDetails() {
    ClickButton(Page, IDC_SHOW_DETAILS);
    WaitFor([&] { return IsShown(Page, IDC_DETAILS_LIST); }, 5000);
}

void Wizard::Close() {
    ClickButton(Page, IDOK);
}

void ExpectBodiesInstalled(const std::wstring& folder) {
    for (uint32_t n = 0; n < ComponentCount; ++n) {
        const wchar_t* name = ComponentNames[n];
        EXPECT_EQ(std::wstring(), ProgramDifference(folder, n));
        EXPECT_EQ(folder + name + L".exe", ResolveLink(StartMenuFolder() + name + L".lnk"));
    }
    std::vector<uint8_t> expected, actual;
    ASSERT_TRUE(ReadFileBytes(UninstallerBody(), &expected));
    ASSERT_TRUE(ReadFileBytes(folder + L"uninstall.exe", &actual));
    EXPECT_TRUE(expected == actual) << "bytes of the uninstaller";
}

size_t TemporaryFileCount(const std::wstring& folder) {
    size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"~kv*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return 0;
    do ++count; while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

bool AfterRestart() {
    return !EnvironmentValue(L"KELVORIN_AFTER_RESTART").empty();
}

bool NothingInstalled() {
    return !PathExists(DefaultInstallFolder()) && !PathExists(StartMenuFolder()) &&
           !MachineKeyExists(L"Software\\Kelvorin") &&
           !MachineKeyExists(UninstallEntryKey);
}

StatedVersion DrivenVersion() {
    StatedVersion version;
    version.Text = EnvironmentValue(L"KELVORIN_STATED_VERSION");
    version.Display = EnvironmentValue(L"KELVORIN_STATED_DISPLAY_VERSION");
    version.Major = std::wcstoul(version.Text.c_str(), nullptr, 10);
    version.Minor = std::wcstoul(version.Text.c_str() + version.Text.find(L'.') + 1, nullptr, 10);
    return version;
}

std::vector<RecordedValue> PackRegistryValues(const std::wstring& folder) {
    std::vector<RecordedValue> values;
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        std::vector<RecordedValue> own = ExpectedComponentValues(component, folder + ComponentNames[component] + L".exe");
        values.insert(values.end(), own.begin(), own.end());
    }
    const StatedVersion version = DrivenVersion();
    std::vector<RecordedValue> record = ExpectedInstallationRecord(folder, EveryComponentName, version);
    values.insert(values.end(), record.begin(), record.end());
    std::vector<RecordedValue> entry =
        ExpectedUninstallEntry(folder + L"uninstall.exe", PackBytesRequired() >> 10, version);
    values.insert(values.end(), entry.begin(), entry.end());
    return values;
}

bool WriteChangedCopy(const std::wstring& installer, const std::vector<uint8_t>& part, size_t index,
                      const std::wstring& copy) {
    std::vector<uint8_t> program;
    if (!ReadFileBytes(installer, &program)) return false;
    auto same = [](uint8_t a, uint8_t b) { return std::toupper(a) == std::toupper(b); };
    auto at = std::search(program.begin(), program.end(), part.begin(), part.end(), same);
    if (at == program.end() || std::search(at + 1, program.end(), part.begin(), part.end(), same) != program.end()) {
        return false;
    }
    at[index] ^= 0x40;
    return WriteWholeFile(copy, std::string(program.begin(), program.end()));
}

bool WriteDamagedCopy(const std::wstring& installer, const std::wstring& payload, const std::wstring& copy) {
    std::vector<uint8_t> resource;
    return ReadFileBytes(payload, &resource) && WriteChangedCopy(installer, resource, resource.size() / 2, copy);
}
