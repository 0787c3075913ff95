#include "pack/uninstaller/removal_folder.h"

#include "common/bounded_text.h"
#include "common/paths.h"

#include <windows.h>

#include <aclapi.h>
#include <sddl.h>

namespace {

// Owned by the administrators; full access for the system and the administrators only, inherited by
// what is created inside, and nothing inherited from the temporary folder.
constexpr const wchar_t* RemovalFolderSecurity = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
constexpr const wchar_t* RemovalFolderFormat = L"Kvu%05lx.tmp";
constexpr uint32_t NameAttempts = 64;
constexpr uint32_t NameCapacity = 16;
// Every right that adds to, deletes from or changes the folder or what it holds.
constexpr DWORD WritingRights = FILE_ADD_FILE | FILE_ADD_SUBDIRECTORY | FILE_WRITE_EA | FILE_DELETE_CHILD |
                                FILE_WRITE_ATTRIBUTES | DELETE | WRITE_DAC | WRITE_OWNER | GENERIC_WRITE |
                                GENERIC_ALL;

constexpr uint32_t TokenUserBytes = sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE;

bool IsTrusted(PSID sid, PSID self);

}  // namespace

uint32_t ReadTemporaryFolder(wchar_t* folder) {
    DWORD length = ::GetTempPathW(MAX_PATH + 1, folder);
    return length != 0 && length <= MAX_PATH ? 1 : 0;
}

uint32_t MakeRemovalFolder(const wchar_t* base, wchar_t* folder) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(RemovalFolderSecurity, SDDL_REVISION_1, &descriptor,
                                                               nullptr) == FALSE) {
        return 0;
    }
    SECURITY_ATTRIBUTES attributes = {sizeof(attributes), descriptor, FALSE};
    uint32_t made = 0;
    const DWORD start = ::GetTickCount();
    // A name already taken, by anyone, is passed over: only a folder made here is used.
    for (uint32_t attempt = 0; attempt < NameAttempts && made == 0; ++attempt) {
        wchar_t name[NameCapacity];
        ::wsprintfW(name, RemovalFolderFormat, static_cast<unsigned long>((start + attempt) & 0xFFFFF));
        if (!CopyText(folder, PathCapacity - 1, base) || !AppendText(folder, PathCapacity - 1, name)) {
            break;
        }
        if (::CreateDirectoryW(folder, &attributes) != FALSE) {
            made = 1;
        } else if (::GetLastError() != ERROR_ALREADY_EXISTS) {
            break;
        }
    }
    static_cast<void>(::LocalFree(descriptor));
    if (made != 0) {
        EnsureTrailingSeparator(folder);
    }
    return made;
}

bool IsAdministratorsOnlyFolder(const wchar_t* folder) {
    // Not followed if it is a link: the folder itself is examined.
    HANDLE handle = ::CreateFileW(folder, READ_CONTROL | FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    // The account this program runs as: an administrator's or the system's, and the folder's owner where
    // the platform makes the creator the owner.
    HANDLE token = nullptr;
    union {
        TOKEN_USER User;
        uint8_t Bytes[TokenUserBytes];
    } self;
    DWORD selfBytes = 0;
    PSID selfSid = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) != FALSE) {
        if (::GetTokenInformation(token, TokenUser, &self, sizeof(self), &selfBytes) != FALSE) {
            selfSid = self.User.User.Sid;
        }
        static_cast<void>(::CloseHandle(token));
    }
    BY_HANDLE_FILE_INFORMATION information;
    PSID owner = nullptr;
    PACL acl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    const DWORD kind = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT;
    bool safe = ::GetFileInformationByHandle(handle, &information) != FALSE &&
                (information.dwFileAttributes & kind) == FILE_ATTRIBUTE_DIRECTORY &&
                ::GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                                  &owner, nullptr, &acl, nullptr, &descriptor) == ERROR_SUCCESS &&
                OnlyTrustedMayWrite(owner, acl, selfSid);
    if (descriptor != nullptr) {
        static_cast<void>(::LocalFree(descriptor));
    }
    static_cast<void>(::CloseHandle(handle));
    return safe;
}

// Inherit-only entries count too: the copy's file inherits them.
bool OnlyTrustedMayWrite(PSID owner, const ACL* acl, PSID self) {
    if (!IsTrusted(owner, self) || acl == nullptr) {
        return false;
    }
    for (DWORD index = 0; index < acl->AceCount; ++index) {
        void* entry = nullptr;
        if (::GetAce(const_cast<ACL*>(acl), index, &entry) == FALSE) {
            return false;
        }
        const ACE_HEADER* header = static_cast<const ACE_HEADER*>(entry);
        if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
            continue;  // taking rights away never opens the folder
        }
        if (header->AceType != ACCESS_ALLOWED_ACE_TYPE) {
            return false;
        }
        const ACCESS_ALLOWED_ACE* allowed = static_cast<const ACCESS_ALLOWED_ACE*>(entry);
        PSID grantee = const_cast<DWORD*>(&allowed->SidStart);
        if ((allowed->Mask & WritingRights) != 0 && !IsTrusted(grantee, self)) {
            return false;
        }
    }
    return true;
}

namespace {

bool IsTrusted(PSID sid, PSID self) {
    return sid != nullptr &&
           (::IsWellKnownSid(sid, WinBuiltinAdministratorsSid) || ::IsWellKnownSid(sid, WinLocalSystemSid) ||
            (self != nullptr && ::EqualSid(sid, self) != FALSE));
}

}  // namespace
