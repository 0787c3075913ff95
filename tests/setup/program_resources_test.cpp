// The resources that describe the program to Windows, read back from the built installer as the
// system reads them: what it holds, in which language, and what its manifest and version say.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace {

HMODULE LoadBuiltInstaller() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.rfind(L'\\'));
    std::wstring installer = folder.substr(0, folder.rfind(L'\\') + 1) + L"KelvorinAppPackSetup.exe";
    return ::LoadLibraryExW(installer.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
}

std::wstring Identifier(LPCWSTR name) {
    return IS_INTRESOURCE(name) ? std::to_wstring(reinterpret_cast<ULONG_PTR>(name)) : std::wstring(name);
}

// Each resource as "type/name/language", in the order the resource directory lists them.
std::vector<std::wstring> ListResources(HMODULE module) {
    struct Walk {
        static BOOL CALLBACK Language(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR list) {
            reinterpret_cast<std::vector<std::wstring>*>(list)->push_back(Identifier(type) + L"/" + Identifier(name) +
                                                                          L"/" + std::to_wstring(language));
            return TRUE;
        }
        static BOOL CALLBACK Name(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR list) {
            return ::EnumResourceLanguagesW(module, type, name, Language, list);
        }
        static BOOL CALLBACK Type(HMODULE module, LPWSTR type, LONG_PTR list) {
            return ::EnumResourceNamesW(module, type, Name, list);
        }
    };
    std::vector<std::wstring> list;
    ::EnumResourceTypesW(module, Walk::Type, reinterpret_cast<LONG_PTR>(&list));
    return list;
}

std::string ResourceBytes(HMODULE module, LPCWSTR type, WORD id) {
    HRSRC found = ::FindResourceExW(module, type, MAKEINTRESOURCEW(id), MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    HGLOBAL loaded = found != nullptr ? ::LoadResource(module, found) : nullptr;
    const char* data = loaded != nullptr ? static_cast<const char*>(::LockResource(loaded)) : nullptr;
    return data != nullptr ? std::string(data, ::SizeofResource(module, found)) : std::string();
}

class BuiltInstaller : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(nullptr, module_ = LoadBuiltInstaller()); }
    void TearDown() override { ::FreeLibrary(module_); }
    HMODULE module_ = nullptr;
};

TEST_F(BuiltInstaller, HoldsOnlyItsOwnResourcesAllInUsEnglish) {
    // No string table (6), menu (4) or accelerator (9): every text is a literal of the code.
    EXPECT_EQ((std::vector<std::wstring>{L"3/1/1033", L"5/103/1033", L"5/104/1033", L"5/105/1033", L"5/106/1033",
                                         L"5/107/1033", L"10/102/1033", L"14/101/1033", L"16/1/1033", L"24/1/1033"}),
              ListResources(module_));
}

TEST_F(BuiltInstaller, ManifestDeclaresWhatTheSystemReadsFromIt) {
    const std::string manifest = ResourceBytes(module_, RT_MANIFEST, 1);
    // Each element, with every attribute it must carry, in the order they must come.
    const std::vector<std::vector<std::string>> elements = {
        {"<assemblyIdentity ", "type=\"win32\"", "name=\"Kelvorin.Setup\"", "version=\"1.0.0.0\"",
         "processorArchitecture=\"*\""},
        {"<description>", ">Kelvorin App Pack</"},
        {"<assemblyIdentity ", "type=\"win32\"", "name=\"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"",
         "processorArchitecture=\"*\"", "publicKeyToken=\"6595b64144ccf1df\"", "language=\"*\""},
        {"<dpiAwareness ", "xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\"", ">PerMonitorV2</"},
        {"<supportedOS ", "Id=\"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}\""},
        {"<supportedOS ", "Id=\"{1f676c76-80e1-4239-95bb-83d0f6d0da78}\""},
        {"<supportedOS ", "Id=\"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}\""},
        {"<supportedOS ", "Id=\"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}\""},
        {"<supportedOS ", "Id=\"{e2011457-1546-43c5-a5fe-008deee3d3f0}\""},
        {"<requestedExecutionLevel ", "level=\"requireAdministrator\"", "uiAccess=\"false\""},
    };
    size_t at = 0;
    for (const std::vector<std::string>& element : elements) {
        at = manifest.find(element[0], at);
        ASSERT_NE(std::string::npos, at) << element[0] << element.back() << " missing or out of order";
        const std::string tag = manifest.substr(at, std::min(manifest.find("/>", at), manifest.find("</", at)) + 2 - at);
        for (const std::string& attribute : element) {
            EXPECT_NE(std::string::npos, tag.find(attribute)) << attribute << " not in " << tag;
        }
        at += element[0].size();
    }
    EXPECT_EQ(std::string::npos, manifest.find("<dpiAware>"));
    EXPECT_EQ(std::string::npos, manifest.find("<dpiAware "));
}

TEST_F(BuiltInstaller, VersionBlockNamesThePack) {
    std::string block = ResourceBytes(module_, RT_VERSION, 1);
    ASSERT_FALSE(block.empty());
    void* value = nullptr;
    UINT size = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", &value, &size));
    const VS_FIXEDFILEINFO& fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
    EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
    const DWORD version23_8 = MAKELONG(8, 23);
    EXPECT_EQ((std::vector<DWORD>{version23_8, 0, version23_8, 0, 0x3F, 0, VOS_NT_WINDOWS32, VFT_APP, 0}),
              (std::vector<DWORD>{fixed.dwFileVersionMS, fixed.dwFileVersionLS, fixed.dwProductVersionMS,
                                  fixed.dwProductVersionLS, fixed.dwFileFlagsMask, fixed.dwFileFlags, fixed.dwFileOS,
                                  fixed.dwFileType, fixed.dwFileSubtype}));

    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", &value, &size));
    ASSERT_EQ(4u, size);
    EXPECT_EQ(MAKELONG(0x0409, 1200), *static_cast<DWORD*>(value));

    const std::vector<std::pair<std::wstring, std::wstring>> strings = {
        {L"CompanyName", L"Kelvorin"},
        {L"FileDescription", L"Kelvorin App Pack (32-bit)"},
        {L"FileVersion", L"23.8.0.0"},
        {L"ProductName", L"Kelvorin App Pack (32-bit)"},
        {L"ProductVersion", L"23.8.0.0"},
    };
    for (const auto& [name, expected] : strings) {
        std::wstring path = L"\\StringFileInfo\\040904b0\\" + name;
        ASSERT_TRUE(::VerQueryValueW(block.data(), path.c_str(), &value, &size)) << path;
        EXPECT_EQ(expected, static_cast<const wchar_t*>(value)) << path;
    }
}

}  // namespace
