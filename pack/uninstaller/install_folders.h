#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Removes the install folder once empty, then each folder above it that the installation created, up
// to the outermost it recorded, each once empty. Where earlier files wait for the restart, the folders
// are handed to it as well, to go after them; a folder that holds someone else's files stays.
RemovalOutcome RemoveInstallFolders(const Installation& installation, RemovalOutcome earlier);
