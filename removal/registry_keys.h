#pragma once

#include "install/registrations.h"

#include <cstdint>

// Keys under HKEY_LOCAL_MACHINE, in the 32-bit view the installer wrote them to.

// "Software" and the first partCount parts of the key, joined by backslashes; 0 when it does not fit.
uint32_t ComposeKeyPath(const RegistryKey& key, uint32_t partCount, wchar_t* out);
uint32_t KeyPartCount(const RegistryKey& key);

bool KeyExists(const wchar_t* keyPath);
// 1 when the value is a string that fits the buffer; it is then terminated.
uint32_t ReadKeyText(const wchar_t* keyPath, const wchar_t* valueName, wchar_t* out, uint32_t capacity);
// Each of these gives 1 when what it deletes is gone afterwards, also when it was gone before; 0 with
// the reason as the last error.
uint32_t DeleteKeyValue(const wchar_t* keyPath, const wchar_t* valueName);
// The key with all its values and subkeys.
uint32_t DeleteKeyTree(const wchar_t* keyPath);
// The key, only when it holds neither values nor subkeys: 1 also when it stays for what it holds.
uint32_t DeleteKeyWhenEmpty(const wchar_t* keyPath);
