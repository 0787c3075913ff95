#include "pack_folder.h"

#include "component_table.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

static const char LicenseFileName[] = "license.txt";
static const char ProgramExtension[] = ".exe";

static std::string NarrowName(const wchar_t* name);
static bool HasExtension(const std::string& name, const std::string& extension);
static std::string ExpectedNames();

static std::string NarrowName(const wchar_t* name) {
    std::string narrow;
    for (; *name != 0; ++name) {
        narrow += static_cast<char>(*name);
    }
    return narrow;
}

static bool HasExtension(const std::string& name, const std::string& extension) {
    return name.size() > extension.size() &&
           SameFileName(name.substr(name.size() - extension.size()), extension);
}

static std::string ExpectedNames() {
    std::string names;
    for (uint32_t index = 0; index < PackFolderFileCount; ++index) {
        names += (index == 0 ? "" : ", ") + PackFolderFileName(index);
    }
    return names;
}

std::string PackFolderFileName(uint32_t index) {
    return index == 0 ? std::string(LicenseFileName) : NarrowName(ComponentNames[index - 1]) + ProgramExtension;
}

bool SameFileName(const std::string& left, const std::string& right) {
    if (left.size() != right.size()) {
        return false;
    }
    for (size_t index = 0; index < left.size(); ++index) {
        char a = left[index];
        char b = right[index];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a - 'A' + 'a');
        if (b >= 'A' && b <= 'Z') b = static_cast<char>(b - 'A' + 'a');
        if (a != b) {
            return false;
        }
    }
    return true;
}

void ScanPackFolder(const std::string& folder, PackFolderScan* scan) {
    std::error_code error;
    std::vector<std::filesystem::path> paths;
    std::filesystem::directory_iterator entry(folder, error);
    for (std::filesystem::directory_iterator end; !error && entry != end; entry.increment(error)) {
        paths.push_back(entry->path());
    }
    if (error) {
        scan->Faults.push_back(folder + ": cannot list the pack folder: " + error.message());
        return;
    }
    // The listing's order is the file system's; sorted, the messages are the same on every machine.
    std::sort(paths.begin(), paths.end());
    for (const std::filesystem::path& entry : paths) {
        std::string name = entry.filename().string();
        std::string path = entry.string();
        uint32_t match = PackFolderFileCount;
        for (uint32_t index = 0; index < PackFolderFileCount && match == PackFolderFileCount; ++index) {
            if (SameFileName(name, PackFolderFileName(index))) {
                match = index;
            }
        }
        if (match == PackFolderFileCount) {
            if (HasExtension(name, ProgramExtension)) {
                scan->Faults.push_back(path + ": not one of the pack's programs; the pack folder holds " +
                                       ExpectedNames() + " (the uninstaller is always the project's own)");
            } else {
                scan->Ignored.push_back(path);
            }
        } else if (!std::filesystem::is_regular_file(entry, error)) {
            scan->Faults.push_back(path + ": not a file");
        } else if (!scan->Files[match].empty()) {
            scan->Faults.push_back(path + ": Windows takes it for the same file as " + scan->Files[match]);
        } else {
            scan->Files[match] = path;
        }
    }
    for (uint32_t index = 0; index < PackFolderFileCount; ++index) {
        if (scan->Files[index].empty()) {
            scan->Faults.push_back(folder + "/" + PackFolderFileName(index) + ": missing from the pack folder");
        }
    }
}
