#include "removal/component_programs.h"

#include "removal/file_removal.h"

RemovalOutcome RemoveComponentProgram(const Installation& installation, uint32_t component) {
    wchar_t program[PathCapacity];
    return ComposeComponentPath(installation, component, program) != 0 ? RemoveFileNowOrAtRestart(program) : Removed;
}
