#pragma once

#include <string>
#include <vector>

// A listing of everything a program can leave on the machine, to tell whether a removal took back
// exactly what an installation wrote: every folder and file (with its size) in both Program Files
// folders, ProgramData, the public profile, the user's local application data and temporary folder
// (Wine links the user's other shell folders to the host's home), and every key and value (with its
// data) under HKLM\Software in the 32-bit view but for COM's class and interface registrations.
std::vector<std::wstring> MachineSnapshot();

// The lines found in only one of the two, marked "-" (gone) or "+" (new), one per line.
std::wstring SnapshotDifference(const std::vector<std::wstring>& before, const std::vector<std::wstring>& after);
