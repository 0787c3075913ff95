#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// The components' links live in the maker's folder in the common Programs folder. A link that leads to
// another folder's program belongs to another installation and stays; one that cannot be read is taken,
// as nothing else would have put it under the pack's name.

// Deletes the component's link while it leads to this installation's program.
RemovalOutcome RemoveStartMenuLink(const Installation& installation, uint32_t component);

// Deletes the links an installation cut short left in the maker's folder under temporary names, then
// the folder once it is empty (earlier: how the links went, see RemoveFolderWhenEmpty).
RemovalOutcome RemoveStartMenuFolder(RemovalOutcome earlier);
