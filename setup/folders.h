#pragma once

#include <cstdint>

// Loads the payload, then works out the install, browse and Start-menu folders. 1 on success, 0 on failure.
uint32_t InitDefaultPaths();

// Works out the install, browse and Start-menu folders alone, as often as asked. 1 on success.
uint32_t ProposeFolders();
