#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The files a maker's pack folder must hold, in payload order: license.txt, then the eight programs.
constexpr uint32_t PackFolderFileCount = 9;

struct PackFolderScan {
    std::string Files[PackFolderFileCount];  // full paths; empty when the folder has no such file
    std::vector<std::string> Faults;          // each "<path>: <reason>"
    std::vector<std::string> Ignored;         // files the pack does not carry
};

// "license.txt", then "Ostrel.exe" ... "Pebbrack.exe".
std::string PackFolderFileName(uint32_t index);

// Windows compares file names without regard to case; the pack's names are plain ASCII.
bool SameFileName(const std::string& left, const std::string& right);

// Finds each file by its name as Windows would. Refused: a missing file, two files that Windows
// would take for one, and any other .exe, which is most likely a misspelt program. Files of other
// kinds are listed as ignored.
void ScanPackFolder(const std::string& folder, PackFolderScan* scan);
