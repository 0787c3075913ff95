#include "setup/installed_pack.h"

#include "common/bounded_text.h"
#include "install/registrations.h"
#include "common/step_strings.h"
#include "removal/installation.h"
#include "removal/registry_keys.h"
#include "common/command_line.h"
#include "common/component_table.h"

#include <windows.h>

namespace {

constexpr const wchar_t* ComponentsSwitchText = L"/components=";
constexpr uint32_t SwitchTextCapacity = 16 + ComponentNamesCapacity;

}  // namespace

InstalledRelation RelateInstalledVersion(const wchar_t* recorded, VersionNumber thisVersion) {
    VersionNumber installed = 0;
    if (!ParseVersionText(recorded, &installed) || installed < thisVersion) {
        return EarlierInstalled;
    }
    return installed == thisVersion ? SameInstalled : NewerInstalled;
}

uint32_t ComposeComponentNames(uint32_t components, wchar_t* out, uint32_t capacity) {
    uint32_t fits = CopyText(out, capacity, L"");
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        if ((components & (1u << component)) == 0) {
            continue;
        }
        if (BoundedLength(out, capacity) != 0) {
            fits &= AppendText(out, capacity, L",");
        }
        fits &= AppendText(out, capacity, ComponentNames[component]);
    }
    return fits;
}

uint32_t ReadComponentNames(const wchar_t* names) {
    // The command line's own reading, so that the record holds exactly what /components accepts.
    wchar_t argument[SwitchTextCapacity];
    CommandLine parsed;
    if ((CopyText(argument, SwitchTextCapacity, ComponentsSwitchText) &
         AppendText(argument, SwitchTextCapacity, names)) == 0) {
        return 0;
    }
    const wchar_t* arguments[1] = {argument};
    ParseArguments(arguments, 1, ComponentsSwitch, &parsed);
    return parsed.Problem == NoProblem ? parsed.Components : 0;
}

void FindInstalledPack(InstalledPack* installed) {
    ::ZeroMemory(installed, sizeof(*installed));
    wchar_t keyPath[TextCapacity];
    wchar_t names[ComponentNamesCapacity];
    const RegistryKey& key = SavedInstallFolder.Key;
    // Room for the separator that a folder saved without one is given.
    if (ComposeKeyPath(key, KeyPartCount(key), keyPath) == 0 ||
        ReadKeyText(keyPath, SavedInstallFolder.Value.Name, installed->Folder, PathCapacity - 1) == 0 ||
        !IsFullPath(installed->Folder)) {
        installed->Folder[0] = L'\0';
        return;
    }
    EnsureTrailingSeparator(installed->Folder);
    const RegistrationValue& version = InstallationRecordValues[0];
    const RegistrationValue& components = InstallationRecordValues[1];
    const bool recorded = ReadKeyText(keyPath, version.Name, installed->Version, VersionTextCapacity) != 0;
    if (!recorded) {
        installed->Version[0] = L'\0';
    }
    if (ReadKeyText(keyPath, components.Name, names, ComponentNamesCapacity) != 0) {
        installed->Components = ReadComponentNames(names);
    }
    if (installed->Components == 0) {
        installed->Components = ComponentsInFolder(installed->Folder);
    }
    if (installed->Components == 0 && recorded) {
        installed->Components = AllComponents;
    }
    installed->Relation =
        installed->Components != 0 ? RelateInstalledVersion(installed->Version, ThisVersion) : NothingInstalled;
}

uint32_t ComponentsInFolder(const wchar_t* folder) {
    uint32_t components = 0;
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        wchar_t program[PathCapacity];
        if ((CopyText(program, PathCapacity, folder) &
             AppendFileName(program, PathCapacity, ComponentNames[component], L".exe")) != 0 &&
            ::GetFileAttributesW(program) != INVALID_FILE_ATTRIBUTES) {
            components |= 1u << component;
        }
    }
    return components;
}
