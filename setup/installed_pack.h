#pragma once

#include "common/paths.h"
#include "setup/version_number.h"

#include <cstdint>

// The installation of the pack this run finds on the machine, as the last installation recorded it
// beside AppPath: its folder, its version and its components.

enum InstalledRelation : uint32_t {
    NothingInstalled = 0,
    EarlierInstalled = 1,  // an upgrade
    SameInstalled = 2,     // a reinstallation, which writes every chosen program again
    NewerInstalled = 3,    // refused: going back means removing the newer one first
};

// "65535.65535.65535.65535" and its terminator.
constexpr uint32_t VersionTextCapacity = 24;
// Every component's name, separated by commas, and the terminator.
constexpr uint32_t ComponentNamesCapacity = 96;

struct InstalledPack {
    InstalledRelation Relation;
    uint32_t Components;                   // bit n: component n
    wchar_t Version[VersionTextCapacity];  // as recorded; empty for an installation made without a record
    wchar_t Folder[PathCapacity];          // ending in a backslash
};

// How an installed version stands to this one. An installation without a version it can be compared
// by (none recorded, or not in the version's form) was made by an earlier release.
InstalledRelation RelateInstalledVersion(const wchar_t* recorded, VersionNumber thisVersion);

// The names of the components, in table order, separated by commas, as /components takes them. 1 when
// the whole text fit the capacity.
uint32_t ComposeComponentNames(uint32_t components, wchar_t* out, uint32_t capacity);

// The components named in such a text, read by the rules of /components; 0 when it is not one.
uint32_t ReadComponentNames(const wchar_t* names);

// The components whose programs stand in the folder (ending in a backslash).
uint32_t ComponentsInFolder(const wchar_t* folder);

// Reads what is installed. An installation is found when AppPath names a full path and either a
// version is recorded or a program of the pack stands in that folder; without a record of its
// components, those whose programs stand there are the ones installed.
void FindInstalledPack(InstalledPack* installed);
