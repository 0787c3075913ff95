#include "install/install_choices.h"

#include "wizard/space_figures.h"

void BeginInstallation(SetupState& setup, uint32_t components) {
    setup.ChosenComponents = components;
    setup.BytesRequired = RequiredBytes(setup.PayloadDirectory, components);
    setup.State = Installing;
}
