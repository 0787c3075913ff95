#pragma once

#include <string>

// Reads a link back the way the shell does: loads it into a ShellLink object and asks for its target.
// Empty when the link cannot be loaded. Needs COM started on the calling thread.
std::wstring ResolveLink(const std::wstring& link);
