#include "removal/kept_removals.h"

namespace {

const RemovalKeeper* Keeper = nullptr;

}  // namespace

void KeepRemovalsWith(const RemovalKeeper* keeper) {
    Keeper = keeper;
}

const RemovalKeeper* CurrentRemovalKeeper() {
    return Keeper;
}
