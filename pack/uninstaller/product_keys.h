#pragma once

#include "removal/installation.h"
#include "removal/removal_outcome.h"

// The entry in the list of installed programs, removed only while its UninstallString starts this
// uninstaller: an entry that another installation has written since stays. Both give LeftBehind when
// what is theirs could not be deleted.
RemovalOutcome RemoveUninstallEntry(const Installation& installation);

// AppPath, the installation's record (Version, Components) and the record of created folders, removed
// only while AppPath names this installation's folder, then the maker's key once empty.
RemovalOutcome RemoveSavedInstallFolder(const Installation& installation);
