#include "tests/e2e/scenario_support.h"

#include "tests/e2e/machine_state.h"

#include <shlobj.h>

const PackProgram PackPrograms[8] = {
    {L"Ostrel", 0x01D9D616FAE49F8Aull},     {L"Glimmerdox", 0x01D9D616F979F481ull},
    {L"Tindlevault", 0x01D9D616FBB88AECull}, {L"Blorra", 0x01D9D616F701620Full},
    {L"Humbrewave", 0x01D9D616FC99D163ull},  {L"Jottervale", 0x01D9D616F751AEE4ull},
    {L"Cryvane", 0x01D9D616F7112819ull},     {L"Pebbrack", 0x01D9D616FE09C3C4ull},
};

std::wstring InstallerPath() {
    return EnvironmentValue(L"KELVORIN_INSTALLER");
}

std::wstring PackBody(const wchar_t* file) {
    return EnvironmentValue(L"KELVORIN_PACK_BODIES") + L"\\" + file;
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

Wizard::Wizard(const std::wstring& installer) : Installer(installer) {}

bool Wizard::ReachLicense() {
    Frame = Installer.WaitForFrame();
    Page = Frame != nullptr ? WaitForPageWithButton(Frame, ForwardButton, L"I &Agree") : nullptr;
    return Page != nullptr;
}

bool Wizard::Agree() {
    PressKeys(Frame, {VK_MENU, 'A'});
    Page = WaitForPageWithButton(Frame, ForwardButton, L"&Next >");
    return Page != nullptr;
}

bool Wizard::Next() {
    PressKeys(Frame, {VK_RETURN});
    Page = WaitForPageWithButton(Frame, ForwardButton, L"&Install");
    return Page != nullptr;
}

bool Wizard::Back(const wchar_t* forwardCaption) {
    PressKeys(Frame, {VK_MENU, 'B'});
    Page = WaitForPageWithButton(Frame, ForwardButton, forwardCaption);
    return Page != nullptr;
}

bool Wizard::Install() {
    PressKeys(Frame, {VK_RETURN});
    Page = WaitForPageWithButton(Frame, ForwardButton, L"&Close");
    return Page != nullptr;
}

bool Wizard::WaitForResult() {
    return WaitFor([&] {
        std::wstring status = ControlText(Page, StatusText);
        return status == L"Installation completed successfully." || status == L"Installation failed.";
    });
}

bool Wizard::InstallWithDefaults() {
    return ReachLicense() && Agree() && Next() && Install() && WaitForResult();
}

void Wizard::ShowDetails() {
    ClickButton(Page, DetailsButton);
    WaitFor([&] { return IsShown(Page, DetailsList); }, 5000);
}

void Wizard::Close() {
    ClickButton(Page, ForwardButton);
}

bool NothingInstalled() {
    return !PathExists(DefaultInstallFolder()) && !PathExists(StartMenuFolder()) &&
           !MachineKeyExists(L"Software\\Kelvorin") &&
           !MachineKeyExists(UninstallEntryKey);
}

std::vector<ExpectedValue> PackRegistryValues(const std::wstring& folder) {
    const std::wstring classes = L"Software\\Classes\\";
    auto command = [&](const wchar_t* name) { return L"\"" + folder + name + L".exe\" \"%1\""; };
    auto icon = [&](const wchar_t* name) { return folder + name + L".exe,0"; };
    std::vector<ExpectedValue> values = {
        {classes + L"Directory\\shell\\Humbrewave", nullptr, L"Play with Humbrewave", 0},
        {classes + L"Directory\\shell\\Humbrewave\\command", nullptr, command(L"Humbrewave"), 0},
        {classes + L"SystemFileAssociations\\audio\\shell\\Humbrewave", nullptr, L"Play with Humbrewave", 0},
        {classes + L"SystemFileAssociations\\audio\\shell\\Humbrewave\\command", nullptr, command(L"Humbrewave"), 0},
    };
    struct FileType {
        const wchar_t* Extension;
        const wchar_t* Program;
        const wchar_t* Class;
        const wchar_t* Description;
    };
    for (const FileType& type : {FileType{L".jtxt", L"Jottervale", L"Jottervale.Document", L"Jottervale Document"},
                                 FileType{L".cvn", L"Cryvane", L"Cryvane.File", L"CVN Encrypted File"},
                                 FileType{L".pbr", L"Pebbrack", L"Pebbrack.File", L"Pebbrack Archive"}}) {
        std::wstring key = classes + type.Class;
        values.push_back({classes + type.Extension, nullptr, type.Class, 0});
        values.push_back({key, nullptr, type.Description, 0});
        values.push_back({key + L"\\DefaultIcon", nullptr, icon(type.Program), 0});
        values.push_back({key + L"\\shell", nullptr, L"open", 0});
        values.push_back({key + L"\\shell\\open\\command", nullptr, command(type.Program), 0});
    }
    values.push_back({L"Software\\Kelvorin", L"AppPath", folder, 0});
    const std::wstring uninstaller = folder + L"uninstall.exe";
    values.push_back({UninstallEntryKey, L"DisplayIcon", uninstaller + L",0", 0});
    values.push_back({UninstallEntryKey, L"DisplayName", L"Kelvorin App Pack (32-bit)", 0});
    values.push_back({UninstallEntryKey, L"DisplayVersion", L"2308", 0});
    values.push_back({UninstallEntryKey, L"Publisher", L"Kelvorin", 0});
    values.push_back({UninstallEntryKey, L"UninstallString", L"\"" + uninstaller + L"\"", 0});
    values.push_back({UninstallEntryKey, L"EstimatedSize", L"", 2112});
    values.push_back({UninstallEntryKey, L"NoModify", L"", 1});
    values.push_back({UninstallEntryKey, L"NoRepair", L"", 1});
    return values;
}
