#include "common/paths.h"
#include "pack/uninstaller/removal_folder.h"
#include "tests/support/scratch_folder.h"

#include <gtest/gtest.h>

#include <sddl.h>

#include <string>

namespace {

const wchar_t* const SelfSid = L"S-1-5-21-1-2-3-1000";

// The judgement on a security descriptor given in the platform's text form, its owner and access list
// read as the folder check reads them. Wine keeps no security descriptor of a file (it derives one from
// the Unix permissions), so a folder others may write to exists here only as such a descriptor. Without
// its list, the descriptor's owner alone is judged, as for a folder that has no access list at all.
bool Judge(const wchar_t* security, bool withoutList = false) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    PSID self = nullptr;
    PSID owner = nullptr;
    PACL acl = nullptr;
    BOOL present = FALSE;
    BOOL defaulted = FALSE;
    bool taken = false;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(security, SDDL_REVISION_1, &descriptor, nullptr) &&
        ::ConvertStringSidToSidW(SelfSid, &self) &&
        ::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted) &&
        ::GetSecurityDescriptorDacl(descriptor, &present, &acl, &defaulted)) {
        taken = OnlyTrustedMayWrite(owner, present && !withoutList ? acl : nullptr, self);
    } else {
        ADD_FAILURE() << "unreadable: " << security;
    }
    ::LocalFree(self);
    ::LocalFree(descriptor);
    return taken;
}

// The copy starts only from a folder no user can write to: the one made for it passes, and one that
// lets users add files, change its security, or has no access list at all does not.
TEST(RemovalFolder, OnlyAFolderNoUserCanWriteToIsTaken) {
    ScratchFolder scratch;
    wchar_t made[PathCapacity];
    ASSERT_EQ(1u, MakeRemovalFolder(scratch.Path().c_str(), made));
    const std::wstring path = made;
    EXPECT_EQ(0u, path.rfind(scratch.Path() + L"Kvu", 0)) << made;
    EXPECT_EQ(L'\\', path.back());
    EXPECT_TRUE(IsAdministratorsOnlyFolder(made));
    wchar_t second[PathCapacity];
    ASSERT_EQ(1u, MakeRemovalFolder(scratch.Path().c_str(), second));
    EXPECT_STRNE(made, second) << "a folder that exists is never taken again";
    EXPECT_FALSE(IsAdministratorsOnlyFolder((scratch / L"missing").c_str()));

    struct Case {
        const wchar_t* Security;
        bool Taken;
    } cases[] = {
        {L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)", true},
        {L"O:S-1-5-21-1-2-3-1000D:(A;OICI;FA;;;SY)(A;OICI;FA;;;S-1-5-21-1-2-3-1000)", true},
        {L"O:SYD:P(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)(D;OICI;FA;;;WD)", true},
        {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICI;0x1200ab;;;BU)", false},   // users may add files
        {L"O:BAD:P(A;OICI;FA;;;BA)(A;OICIIO;GA;;;BU)", false},       // and what is made inside is theirs
        {L"O:BAD:P(A;OICI;FA;;;BA)(A;;WD;;;WD)", false},             // anyone may change its security
        {L"O:BUD:P(A;OICI;FA;;;BA)", false},                         // a user owns it
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.Taken, Judge(c.Security)) << c.Security;
    }
    EXPECT_FALSE(Judge(L"O:BAD:P(A;OICI;FA;;;BA)", true)) << "no list: everyone may do anything";
}

}  // namespace
