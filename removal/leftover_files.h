#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Deletes the temporary files an installation cut short left in the installation's folder, those in
// use at the next restart. Files of any other name are not the pack's and stay.
RemovalOutcome RemoveLeftoverFiles(const Installation& installation);
