#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Deletes the component's program from the installation's folder, at the next restart when it is in use.
RemovalOutcome RemoveComponentProgram(const Installation& installation, uint32_t component);
