#include "removal/component_programs.h"

#include "removal/file_removal.h"

RemovalOutcome RemoveComponentPrograms(const Installation& installation) {
    RemovalOutcome outcome = Removed;
    for (uint32_t component = 0; component < ComponentCount; ++component) {
        wchar_t program[PathCapacity];
        if (ComposeComponentPath(installation, component, program) != 0) {
            outcome = WorseOutcome(outcome, RemoveFileNowOrAtRestart(program));
        }
    }
    return outcome;
}
