#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Deletes the components' programs from the installation's folder, those in use at the next restart.
RemovalOutcome RemoveComponentPrograms(const Installation& installation);
