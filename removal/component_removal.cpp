#include "removal/component_removal.h"

#include "removal/component_programs.h"
#include "removal/component_registrations.h"
#include "removal/start_menu_links.h"

// The link goes first and the program last: a link never leads to a program that is gone while the
// removal runs.
RemovalOutcome RemoveComponent(const Installation& installation, uint32_t component) {
    RemovalOutcome outcome = RemoveStartMenuLink(installation, component);
    outcome = WorseOutcome(outcome, RemoveComponentRegistrations(installation, component));
    return WorseOutcome(outcome, RemoveComponentProgram(installation, component));
}
