#include "product/ProgramItems.h"

#include "config/log/InstallLog.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/base/TextCase.h"
#include "engine/profile/Destinations.h"
#include "framework/Text.h"
#include "product/ProgmanClient.h"
#include "product/ProgmanCommands.h"
#include "resources/ids.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"

#include <algorithm>
#include <string>
#include <vector>

const char kStartUpGroup[] = "StartUp";
const char kOldManagerItem[] = "Vigilor Manager";
const char kReleaseNotesFile[] = "Korvi95.WRI";

namespace {

constexpr int kCommonGroup = 1;

void Finish(ProgmanClient& client, HWND mainWindow)
{
    client.Disconnect();
    if (mainWindow) {
        BringWindowToTop(mainWindow);
        UpdateWindow(mainWindow);
    }
    client.End();
}

void AddTargetItem(ProgmanClient& client, const std::string& group, const ProgramItemsSettings& settings,
                   const Target& target, const std::string& command, const std::string& iconPath)
{
    if (group != settings.GroupName || !settings.GroupIsNew) undojournal::RecordItem(group, target.Title);
    client.ReplaceItem(target.Title);
    client.AddItem(command, target.Title, iconPath, target.IconIndex, -1, -1, std::string(), target.HotKey,
                   target.Minimized);
}

ProgramItemsSettings SettingsOfRunningSetup()
{
    const SetupContext* setup = SetupContext::Current();
    ProgramItemsSettings settings;
    settings.GroupName = setup->ProductTitle;
    settings.HomeDirectory = setup->HomeDirectory();
    settings.IconDirectory = DestinationPath(setup->DestinationTable, 0);
    settings.ReleaseNotesTitle = fw::LoadText(IDS_RELEASE_NOTES);
    MainWindow* main = WizardMainWindow();
    settings.MainWindow = main ? main->Handle() : nullptr;
    settings.GroupIsNew = setup->ExistingInstall == 0;
    return settings;
}

} // namespace

void CreateProgramItems(ProgmanClient& client, TargetTable& targets, const ProgramItemsSettings& settings)
{
    client.Connect();
    client.CreateGroup(kStartUpGroup, kCommonGroup);
    client.DeleteItem(kOldManagerItem);
    if (settings.GroupIsNew) undojournal::RecordGroup(settings.GroupName, true);
    client.CreateGroup(settings.GroupName, kCommonGroup);
    client.DeleteItem(kOldManagerItem);

    if (!settings.GroupIsNew) undojournal::RecordItem(settings.GroupName, settings.ReleaseNotesTitle);
    std::string notes = progman::ReleaseNotesCommandLine(settings.HomeDirectory, kReleaseNotesFile);
    client.ReplaceItem(settings.ReleaseNotesTitle);
    client.AddItem(notes, settings.ReleaseNotesTitle, std::string(), 0, -1, -1, std::string(), 0, 0);
    ProcessPendingMessages();

    for (auto& entry : targets) {
        Target& target = entry.second;
        bool startUp = !target.Title.empty() && target.Title[0] == '@';
        if (startUp) target.Title.erase(0, 1); // the install record keeps the short title
        if (target.Path.Empty()) continue;
        std::string command = progman::ItemCommandLine(target.Path.Text(), target.Arguments);
        std::string iconPath =
            target.IconFile.empty() ? std::string() : progman::JoinPath(settings.IconDirectory, target.IconFile);
        if (startUp) {
            client.CreateGroup(kStartUpGroup, kCommonGroup);
            AddTargetItem(client, kStartUpGroup, settings, target, command, iconPath);
        }
        client.CreateGroup(settings.GroupName, kCommonGroup);
        AddTargetItem(client, settings.GroupName, settings, target, command, iconPath);
        ProcessPendingMessages();
    }
    Finish(client, settings.MainWindow);
}

void RemoveProgramItems(ProgmanClient& client, const TargetTable& targets, const ProgramItemsSettings& settings)
{
    client.Connect();
    client.CreateGroup(settings.GroupName, kCommonGroup);
    for (const auto& entry : targets) {
        if (entry.second.Path.Empty()) continue;
        client.DeleteItem(entry.second.Title);
        ProcessPendingMessages();
    }
    client.DeleteGroup(settings.GroupName, kCommonGroup);
    Finish(client, settings.MainWindow);
}

void CreateProgramItems()
{
    SetupContext* setup = SetupContext::Current();
    if (!setup) return;
    ProgmanClient client;
    CreateProgramItems(client, setup->TargetTable, SettingsOfRunningSetup());
}

void RemoveProgramItems()
{
    const SetupContext* setup = SetupContext::Current();
    if (!setup) return;
    ProgmanClient client;
    RemoveProgramItems(client, setup->TargetTable, SettingsOfRunningSetup());
}

undojournal::Handlers ProductUndoHandlers()
{
    undojournal::Handlers handlers;
    handlers.deleteGroup = [](const std::string& group, bool common) {
        ProgmanClient client;
        client.Connect();
        bool done = client.DeleteGroup(group, common ? kCommonGroup : 0);
        // A run killed right before it created the group left none to delete.
        std::vector<std::string> groups;
        if (!done && client.GroupNames(groups))
            done = std::none_of(groups.begin(), groups.end(),
                                [&](const std::string& name) { return EqualNoCase(name, group); });
        client.End();
        return done;
    };
    handlers.deleteItem = [](const std::string& group, const std::string& item) {
        ProgmanClient client;
        client.Connect();
        const bool done = client.CreateGroup(group, kCommonGroup) && client.DeleteItem(item);
        client.End();
        return done;
    };
    // What a product library did (a rescue diskette written) is beyond setup.
    handlers.undoCall = [](const std::string&, const std::string&) { return false; };
    handlers.log = [](const std::string& line) { LogMessage("%s", line.c_str()); };
    return handlers;
}
