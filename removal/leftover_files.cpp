#include "removal/leftover_files.h"

#include "common/temporary_name.h"
#include "removal/file_removal.h"

namespace {

void RemoveLeftover(const wchar_t* path, void* context);

}  // namespace

RemovalOutcome RemoveLeftoverFiles(const Installation& installation) {
    return RemoveLeftoverFilesIn(installation.Folder);
}

RemovalOutcome RemoveLeftoverFilesIn(const wchar_t* folder) {
    RemovalOutcome outcome = Removed;
    VisitTemporaryFiles(folder, RemoveLeftover, &outcome);
    return outcome;
}

namespace {

void RemoveLeftover(const wchar_t* path, void* context) {
    RemovalOutcome* outcome = static_cast<RemovalOutcome*>(context);
    *outcome = WorseOutcome(*outcome, RemoveFileNowOrAtRestart(path));
}

}  // namespace
