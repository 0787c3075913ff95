#pragma once

#include "pack/uninstaller/installation.h"
#include "pack/uninstaller/removal_outcome.h"

// Deletes the components' programs from the installation's folder, those in use at the next restart.
RemovalOutcome RemoveComponentPrograms(const Installation& installation);
