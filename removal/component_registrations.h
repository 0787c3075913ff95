#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// Removes what the installer registered for the component (verbs, file types, document classes), key
// by key from the installer's own table, but only the keys that still lead to this installation's
// program: a file type that another program has taken over since stays as it is.
// LeftBehind when a key that leads here could not be deleted.
RemovalOutcome RemoveComponentRegistrations(const Installation& installation, uint32_t component);
