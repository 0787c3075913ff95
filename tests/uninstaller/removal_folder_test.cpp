#include "common/paths.h"
#include "pack/uninstaller/removal_folder.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <string>

namespace {

// A folder made with the security descriptor given in the platform's text form.
bool MakeFolder(const std::wstring& path, const wchar_t* security) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(security, SDDL_REVISION_1, &descriptor, nullptr)) {
        return false;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    const bool made = ::CreateDirectoryW(path.c_str(), &attributes) != FALSE;
    ::LocalFree(descriptor);
    return made;
}

// The copy starts only from a folder no user can write to: the one made for it passes, and a folder
// that lets users add files, change its security, or has no access list at all does not.
TEST(RemovalFolder, OnlyAFolderNoUserCanWriteToIsTaken) {
    ScratchFolder scratch;
    wchar_t made[PathCapacity];
    ASSERT_EQ(1u, MakeRemovalFolder(scratch.Path().c_str(), made));
    EXPECT_EQ(0u, std::wstring(made).rfind(scratch.Path() + L"Kvu", 0)) << made;
    EXPECT_EQ(L'\\', made[std::wstring(made).size() - 1]);
    EXPECT_TRUE(IsAdministratorsOnlyFolder(made));
    wchar_t second[PathCapacity];
    ASSERT_EQ(1u, MakeRemovalFolder(scratch.Path().c_str(), second));
    EXPECT_STRNE(made, second) << "a folder that exists is never taken again";

    struct Case {
        const wchar_t* Name;
        const wchar_t* Security;
        bool Taken;
    } cases[] = {
        {L"users-read", L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)", true},
        {L"users-deny", L"O:BAD:P(D;OICI;FA;;;BU)(A;OICI;FA;;;BA)", true},
        {L"users-add", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;0x1200ab;;;BU)", false},
        {L"users-inherit", L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;GA;;;BU)", false},
        {L"everyone-dac", L"O:BAD:P(A;OICI;FA;;;BA)(A;;WD;;;WD)", false},
        {L"no-list", L"O:BAD:NO_ACCESS_CONTROL", false},
    };
    for (const Case& c : cases) {
        const std::wstring folder = scratch / c.Name;
        ASSERT_TRUE(MakeFolder(folder, c.Security)) << c.Name;
        EXPECT_EQ(c.Taken, IsAdministratorsOnlyFolder(folder.c_str())) << c.Name;
    }
    EXPECT_FALSE(IsAdministratorsOnlyFolder((scratch / L"missing").c_str()));
}

}  // namespace
