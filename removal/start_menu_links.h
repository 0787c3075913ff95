#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Deletes the components' links from the maker's folder in the common Programs folder, then that folder
// once it is empty. A link that leads to another folder's program belongs to another installation and
// stays; one that cannot be read is taken, as nothing else would have put it under the pack's name.
RemovalOutcome RemoveStartMenuLinks(const Installation& installation);
