// The product's Program Manager items: made from the targets table once the
// files are copied, deleted with the product group on removal. Failures of
// Program Manager are not reported and never stop the setup.
#pragma once
#include "engine/journal/UndoLog.h"
#include "engine/profile/ProfileTables.h"

#include <windows.h>

#include <string>

class ProgmanClient;

// What the item routines need besides the targets.
struct ProgramItemsSettings {
    std::string GroupName;         // the product group (ProductTitle)
    std::string HomeDirectory;     // InstallPath: where the release notes are
    std::string IconDirectory;     // destination 0: IconFile is relative to it
    std::string ReleaseNotesTitle; // string 34
    HWND MainWindow = nullptr;     // brought to the top and repainted at the end
    // The product group is new (no earlier installation): a failed run
    // deletes it whole; else only the items it added go.
    bool GroupIsNew = false;
};

extern const char kStartUpGroup[];     // "StartUp"
extern const char kOldManagerItem[];   // "Vigilor Manager", removed from both groups
extern const char kReleaseNotesFile[]; // "Korvi95.WRI"

// Removes the old manager item from StartUp and the product group, adds the
// release notes and one item per installed target (a Title starting with "@"
// loses it in the table and also goes into StartUp), then ends the client.
void CreateProgramItems(ProgmanClient& client, TargetTable& targets, const ProgramItemsSettings& settings);

// Deletes the item of every installed target and then the product group;
// StartUp is left alone. Ends the client.
void RemoveProgramItems(ProgmanClient& client, const TargetTable& targets, const ProgramItemsSettings& settings);

// The same for the running setup: targets, group name, home directory,
// destination 0 and main window of the running setup, a client of Program Manager.
void CreateProgramItems();
void RemoveProgramItems();

// How a rollback takes back Program Manager groups and items, and the
// product libraries' calls (which it can only log), with the install log.
undojournal::Handlers ProductUndoHandlers();
