#include "removal/component_registrations.h"

#include "common/same_path.h"
#include "install/registrations.h"
#include "common/step_strings.h"
#include "removal/registry_keys.h"
#include "removal/text.h"

namespace {

constexpr uint32_t MaxRegistrationRows = 8;
static_assert(sizeof(ComponentRegistrations) / sizeof(ComponentRegistrations[0]) == ComponentCount,
              "every component has its table of registrations");

// What this installation wrote for one component's values whose data is not in the table.
struct ExpectedData {
    wchar_t OpenCommand[WorkingStringCapacity];
    wchar_t IconText[WorkingStringCapacity];
};

constexpr uint32_t LargestRegistrationTable() {
    uint32_t largest = 0;
    for (const RegistrationTable& table : ComponentRegistrations) {
        largest = table.Count > largest ? table.Count : largest;
    }
    return largest;
}
static_assert(LargestRegistrationTable() <= MaxRegistrationRows, "a component registers more rows than fit");

uint32_t ComposeExpectedData(const Installation& installation, uint32_t component, ExpectedData* expected);
bool IsWithin(const RegistryKey& key, const RegistryKey& root);
bool IsTopKey(const RegistrationTable& table, uint32_t row);
uint32_t FindTopKeyNamed(const RegistrationTable& table, const wchar_t* name);
bool LeadsHere(const RegistrationTable& table, uint32_t top, const ExpectedData& expected, bool followNames);
bool HoldsText(const RegistrationRow& row, const wchar_t* text, bool (*same)(const wchar_t*, const wchar_t*));
uint32_t DeleteTopKey(const RegistryKey& key);

}  // namespace

RemovalOutcome RemoveComponentRegistrations(const Installation& installation, uint32_t component) {
    const RegistrationTable& table = ComponentRegistrations[component];
    ExpectedData expected;
    if (table.Count == 0 || ComposeExpectedData(installation, component, &expected) == 0) {
        return Removed;
    }
    // Every key is judged before any is deleted, so that a file type is judged by its class as it was.
    bool ours[MaxRegistrationRows] = {};
    for (uint32_t row = 0; row < table.Count; ++row) {
        ours[row] = IsTopKey(table, row) && LeadsHere(table, row, expected, true);
    }
    RemovalOutcome outcome = Removed;
    for (uint32_t row = 0; row < table.Count; ++row) {
        if (ours[row] && DeleteTopKey(table.Rows[row].Key) == 0) {
            outcome = LeftBehind;
        }
    }
    return outcome;
}

namespace {

uint32_t ComposeExpectedData(const Installation& installation, uint32_t component, ExpectedData* expected) {
    wchar_t program[PathCapacity];
    uint32_t fits = ComposeComponentPath(installation, component, program);
    fits &= ComposeOpenCommand(expected->OpenCommand, WorkingStringCapacity, program);
    fits &= ComposeIconText(expected->IconText, WorkingStringCapacity, program);
    return fits;
}

bool IsWithin(const RegistryKey& key, const RegistryKey& root) {
    for (uint32_t i = 0; i < RegistryKeyParts && root.Parts[i] != nullptr; ++i) {
        if (key.Parts[i] == nullptr || !SameText(key.Parts[i], root.Parts[i])) {
            return false;
        }
    }
    return true;
}

// A key the installer created for its own sake, not one that only lies under another of its keys.
bool IsTopKey(const RegistrationTable& table, uint32_t row) {
    const RegistryKey& key = table.Rows[row].Key;
    for (uint32_t other = 0; other < table.Count; ++other) {
        const RegistryKey& candidate = table.Rows[other].Key;
        if (KeyPartCount(candidate) < KeyPartCount(key) && IsWithin(key, candidate)) {
            return false;
        }
    }
    return true;
}

// The top key whose last part is the name, such as the document class a file type names; Count if none.
uint32_t FindTopKeyNamed(const RegistrationTable& table, const wchar_t* name) {
    for (uint32_t row = 0; row < table.Count; ++row) {
        const RegistryKey& key = table.Rows[row].Key;
        if (IsTopKey(table, row) && SameText(key.Parts[KeyPartCount(key) - 1], name)) {
            return row;
        }
    }
    return table.Count;
}

// A key leads here when each command and icon under it names this installation's program, and each
// value naming another of the component's keys (a file type naming its document class) still names it
// while that key, if it exists, leads here too. Descriptions tell nothing; a key that offers nothing to
// tell by is never taken.
bool LeadsHere(const RegistrationTable& table, uint32_t top, const ExpectedData& expected, bool followNames) {
    bool told = false;
    for (uint32_t row = 0; row < table.Count; ++row) {
        const RegistrationRow& entry = table.Rows[row];
        if (!IsWithin(entry.Key, table.Rows[top].Key)) {
            continue;
        }
        if (entry.Value.Source == OpenCommandData || entry.Value.Source == IconTextData) {
            const wchar_t* composed = entry.Value.Source == OpenCommandData ? expected.OpenCommand : expected.IconText;
            if (!HoldsText(entry, composed, SameCommandPath)) {
                return false;
            }
            told = true;
        } else if (entry.Value.Source == FixedText && followNames) {
            uint32_t named = FindTopKeyNamed(table, entry.Value.Text);
            if (named == table.Count) {
                continue;
            }
            wchar_t namedPath[TextCapacity];
            const RegistryKey& namedKey = table.Rows[named].Key;
            if (!HoldsText(entry, entry.Value.Text, SameText) ||
                ComposeKeyPath(namedKey, KeyPartCount(namedKey), namedPath) == 0 ||
                (KeyExists(namedPath) && !LeadsHere(table, named, expected, false))) {
                return false;
            }
            told = true;
        }
    }
    return told;
}

// A command or an icon names its program as the platform compares paths; a name is compared as text.
bool HoldsText(const RegistrationRow& row, const wchar_t* text, bool (*same)(const wchar_t*, const wchar_t*)) {
    wchar_t keyPath[TextCapacity];
    wchar_t data[TextCapacity];
    return ComposeKeyPath(row.Key, KeyPartCount(row.Key), keyPath) != 0 &&
           ReadKeyText(keyPath, row.Value.Name, data, TextCapacity) != 0 && same(data, text);
}

// Deletes the key, then each parent the installer may have had to create for it while nothing else is
// left in it; the first part (Classes) always stays. 1 when the key itself is gone.
uint32_t DeleteTopKey(const RegistryKey& key) {
    wchar_t keyPath[TextCapacity];
    uint32_t partCount = KeyPartCount(key);
    if (ComposeKeyPath(key, partCount, keyPath) == 0 || DeleteKeyTree(keyPath) == 0) {
        return 0;
    }
    for (uint32_t parentParts = partCount - 1; parentParts > 1; --parentParts) {
        if (ComposeKeyPath(key, parentParts, keyPath) == 0 || DeleteKeyWhenEmpty(keyPath) == 0) {
            break;
        }
    }
    return 1;
}

}  // namespace
