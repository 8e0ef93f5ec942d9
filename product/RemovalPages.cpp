#include "product/RemovalPages.h"

#include "config/placement/FilePlacement.h"
#include "config/log/InstallLog.h"
#include "config/ProductSettings.h"
#include "engine/base/FixedText.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/SystemRegistry.h"
#include "engine/base/TextCase.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileSection.h"
#include "product/CopyPage.h"
#include "product/ProgramItems.h"
#include "product/Removal.h"
#include "resources/ids.h"

const char kCompletionProgram[] = "_kwdinst.exe";

bool RemovalConfirmPage::ConfirmCancel() { return true; }

namespace {

// The name the installation registers under Uninstall (string 22 names an
// older one; both go).
const char kUninstallEntry[] = "Brantoke AntiVirus";

bool IsCompletionProgram(const std::string& path)
{
    std::size_t slash = path.find_last_of('\\');
    return EqualNoCase(path.substr(slash == std::string::npos ? 0 : slash + 1), kCompletionProgram);
}

void DeleteInstalledFile(const std::string& path)
{
    // Read-only members are installed read-only; they go all the same.
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return;
    if (attributes & FILE_ATTRIBUTE_READONLY) SetFileAttributesA(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
    // In use (a running program): it goes when Windows starts next. Asked
    // first, as Windows 95 would delete it from under the program.
    const bool held = PathName(path).HeldOpen();
    if (!held && (DeleteFileA(path.c_str()) || GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES)) return;
    if (DeleteAtRestart(path))
        LogMessage("Removal: %s is in use, deleted at the next start of Windows", path.c_str());
    else
        LogMessage("Removal: cannot delete %s", path.c_str());
}

} // namespace

WizardPage::Work RemovalFilesPage::RunWork()
{
    SetupContext& app = Setup();
    PrivateProfileFile record(app.ProfilePath.Text());
    for (const auto& [groupName, group] : app.GroupTable) {
        ProfileSection section;
        if (!section.Open(record, groupName)) continue;
        std::string name, value;
        while (section.Next(name, value)) {
            ProcessPendingMessages();
            // A confirmed Cancel stops here; page 116 is on its way.
            if (app.StopRequested()) return Work::Stay;
            RemovalFile file;
            if (!PlanRemovalFile(app.DestinationTable, name, value, file)) {
                LogMessage("Removal skipped the record entry %s in %s", name.c_str(), groupName.c_str());
                continue;
            }
            SetItemText(IDC_REMOVING_FILE, file.path);
            if (file.shared) {
                SharedDllCount count(file.path);
                count.Decrement();
                if (count.IsUsed() || IsCompletionProgram(file.path)) continue;
            }
            DeleteInstalledFile(file.path);
        }
    }
    // What setup put into the home directory outside the archives: the copy
    // page's direct copies, the configuration's scan job and working
    // directories (only while empty).
    auto home = app.DestinationTable.find(0);
    if (home != app.DestinationTable.end() && !home->second.Path.Drive().empty()) {
        const std::string dir = home->second.Path.DirectoryWithSlash();
        for (const char* name : kDirectCopyFiles) DeleteInstalledFile(dir + name);
        DeleteInstalledFile(dir + "start.job");
        for (const std::string& working : WorkingDirectories(home->second.Path.Directory()))
            RemoveDirectoryA(working.c_str());
    }
    RemoveProgramItems();
    for (const std::string& directory : RemovalDirectories(app.DestinationTable)) RemoveDirectoryA(directory.c_str());
    return Work::Next;
}

WizardPage::Work RemovalUnregisterPage::RunWork()
{
    const SetupContext& app = Setup();
    PathName mainProgram;
    auto home = app.DestinationTable.find(0);
    if (home != app.DestinationTable.end() && !app.MainProgramName.empty()) {
        mainProgram = home->second.Path;
        mainProgram.SetFileName(app.MainProgramName);
        DeleteAppPath(mainProgram.Text());
    }
    for (const std::string& name : {std::string(kUninstallEntry), app.UninstallName})
        if (!name.empty()) DeleteUninstallEntry(name);
    return Work::Next;
}
