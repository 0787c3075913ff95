#include "setup/setup_state.h"

#include "common/component_table.h"

SetupState* CurrentSetup = nullptr;

SetupState::SetupState(HINSTANCE instance) {
    // Every field starts at zero; only these four have another first value.
    ::ZeroMemory(static_cast<void*>(this), sizeof(*this));
    Instance = instance;
    Payload.ElementSize = 1;
    for (uint32_t i = 0; i <= ComponentCount; ++i) {
        ComponentTable[i] = ComponentNames[i];
    }
    ChosenComponents = AllComponents;  // as the wizard starts
}

SetupState::~SetupState() {
    Payload.ReleasePayloadBuffer();
}
