#include "install/install_choices.h"

#include "setup/run_log.h"
#include "wizard/space_figures.h"

void BeginInstallation(SetupState& setup, uint32_t components) {
    // Named here, since the wizard's Browse may have changed the folder since the start.
    WriteLogText(setup.Log, L"Install folder: ", setup.InstallFolder);
    WriteLogText(setup.Log, L"Start-menu folder: ", setup.StartMenuFolder);
    setup.ChosenComponents = components;
    setup.BytesRequired = RequiredBytes(setup.PayloadDirectory, components);
    ClearJournal(setup.Journal);
    setup.RestartCount = 0;
    setup.State = Installing;
}
