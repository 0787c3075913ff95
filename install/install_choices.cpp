#include "install/install_choices.h"

#include "common/run_log.h"
#include "install/replaced_installation.h"
#include "wizard/space_figures.h"

void BeginInstallation(SetupState& setup, uint32_t components) {
    // Named here, since the wizard's Browse may have changed the folder since the start.
    WriteLogText(setup.Log, L"Install folder: ", setup.InstallFolder);
    WriteLogText(setup.Log, L"Start-menu folder: ", setup.StartMenuFolder);
    if (IsMovingInstallation(setup)) {
        WriteLogText(setup.Log, L"The installation in this folder goes once this one is in place: ",
                     setup.Installed.Folder);
    }
    setup.ChosenComponents = components;
    setup.BytesRequired = RequiredBytes(setup.PayloadDirectory, components);
    ClearJournal(setup.Journal);
    setup.State = Installing;
}
