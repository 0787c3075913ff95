#pragma once

#include <windows.h>

#include <cstdint>

// The folder of the uninstaller's copy that finishes a removal. The copy runs with administrator
// rights, often the system account's, whose temporary folder every user may write to: in a folder that
// only administrators and the system can write, no user can swap the copy or plant a DLL beside it.

// Makes a new folder in the base folder (with its backslash, a MAX_PATH buffer) with a security
// descriptor that lets only administrators and the system write to it or change it; its path, with a
// trailing backslash, in folder (PathCapacity characters). 0 when none could be made.
uint32_t MakeRemovalFolder(const wchar_t* base, wchar_t* folder);

// The temporary folder, with its backslash, in a MAX_PATH + 1 buffer; 0 when it cannot be read.
uint32_t ReadTemporaryFolder(wchar_t* folder);

// True when the folder is a plain folder that only the administrators, the system and the account this
// program runs as (an administrator, or the system) own and may write: its access list lets no one
// else add, delete or change anything in it, nor its security.
bool IsAdministratorsOnlyFolder(const wchar_t* folder);

// The judgement on a folder's owner and access list, self being the running account. A missing list
// lets everyone do everything; a kind of grant it does not know counts against the folder.
bool OnlyTrustedMayWrite(PSID owner, const ACL* acl, PSID self);
