#include "pack/uninstaller/product_keys.h"

#include "common/same_path.h"
#include "install/registrations.h"
#include "common/step_strings.h"
#include "removal/registry_keys.h"
#include "removal/text.h"

namespace {

const RegistrationValue* FindUninstallCommandValue();

}  // namespace

RemovalOutcome RemoveUninstallEntry(const Installation& installation) {
    const RegistrationValue* command = FindUninstallCommandValue();
    wchar_t keyPath[TextCapacity];
    wchar_t expected[WorkingStringCapacity];
    wchar_t written[TextCapacity];
    if (command != nullptr && ComposeKeyPath(UninstallEntryKey, KeyPartCount(UninstallEntryKey), keyPath) != 0 &&
        ComposeUninstallCommand(expected, WorkingStringCapacity, installation.Program) != 0 &&
        ReadKeyText(keyPath, command->Name, written, TextCapacity) != 0 && SameCommandPath(written, expected) &&
        DeleteKeyTree(keyPath) == 0) {
        return LeftBehind;
    }
    return Removed;
}

RemovalOutcome RemoveSavedInstallFolder(const Installation& installation) {
    const RegistryKey& key = SavedInstallFolder.Key;
    wchar_t keyPath[TextCapacity];
    wchar_t saved[TextCapacity];
    if (ComposeKeyPath(key, KeyPartCount(key), keyPath) == 0) {
        return Removed;
    }
    // The record goes with AppPath, and also when AppPath is gone: it describes no other installation then.
    const bool hasSavedFolder = ReadKeyText(keyPath, SavedInstallFolder.Value.Name, saved, TextCapacity) != 0;
    if (hasSavedFolder && !SamePath(saved, installation.Folder)) {
        return Removed;
    }
    // The record of created folders belongs to the saved folder and goes with it.
    uint32_t deleted = DeleteKeyValue(keyPath, SavedInstallFolder.Value.Name);
    deleted &= DeleteKeyValue(keyPath, CreatedParentFolder.Value.Name);
    for (const RegistrationValue& value : InstallationRecordValues) {
        deleted &= DeleteKeyValue(keyPath, value.Name);
    }
    if (deleted == 0) {
        return LeftBehind;
    }
    // Also when AppPath was already gone: an empty key is all that is left of the pack then.
    static_cast<void>(DeleteKeyWhenEmpty(keyPath));
    return Removed;
}

namespace {

const RegistrationValue* FindUninstallCommandValue() {
    for (const RegistrationValue& value : UninstallEntryValues) {
        if (value.Source == UninstallCommandData) {
            return &value;
        }
    }
    return nullptr;
}

}  // namespace
