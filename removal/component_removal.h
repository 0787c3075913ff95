#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// What an installation wrote for one component: its link, its registrations and its program, each only
// while it still leads to that installation. The uninstaller takes every component back with it; the
// installer takes back those installed before and not chosen again, and those of an earlier
// installation in another folder.
RemovalOutcome RemoveComponent(const Installation& installation, uint32_t component);
