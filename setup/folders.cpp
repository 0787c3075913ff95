#include "setup/folders.h"

#include "setup/setup_state.h"

uint32_t InitDefaultPaths() {
    return CurrentSetup->LoadPayload() == 0 ? 1 : 0;
}
