// What one run of setup knows: the setup data block, the five profile tables,
// the three well-known paths, the run flags and the facts the outcome is
// decided from. The application object owns it for the whole run; pages reach
// it through their base, the engine through its callers.
#pragma once
#include "engine/base/PathName.h"
#include "engine/base/SetupData.h"
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <string>
#include <vector>

// The setup types of page 125.
enum SetupTypeId : int32_t { kSetupExpress = 1, kSetupCustom = 2 };

class SetupContext {
public:
    SetupContext();
    virtual ~SetupContext();
    SetupContext(const SetupContext&) = delete;
    SetupContext& operator=(const SetupContext&) = delete;

    // The run's context (null before one is made). For code with no page or
    // caller to hand it down: message boxes, the error dialog, media prompts.
    static SetupContext* Current();

    SetupData* Data = nullptr;
    std::string MainTitle;
    std::string ProductTitle;
    std::string UninstallName;
    std::string MainProgramName;
    int32_t RemovalMode = 0;
    ::DestinationTable DestinationTable;
    ::GroupTable GroupTable;
    ::TargetTable TargetTable;
    ::ArchiveList ArchiveList;
    ::DisketteTable DisketteTable;
    PathName ProfilePath;
    PathName SourcePath;
    PathName RecordPath;
    int32_t WriteRecord = 1;
    // The run failed (page 116 on its way); copy loops stop.
    int32_t SetupFailed = 0;
    uint32_t NotifyThreadId = 0;
    int32_t UnattendedMode = 0;
    int32_t BatchMode = 0;

    // Wizard and page state.
    int32_t SetupType = kSetupExpress;
    int32_t ExistingInstall = 0;
    int32_t IntegrateNavigator = 0;
    int32_t IntegrateExplorer = 0;

    // How the run ends. Cancelled: the user confirmed Cancel (or closed the
    // main window); InstallComplete: the installation was done (page 115).
    int32_t Cancelled = 0;
    int32_t InstallComplete = 0;
    // The /I value was empty or did not fit: the settings file counts as missing.
    int32_t SettingsFileRefused = 0;

    // Work that loops (copy, memory scan, removal) stops when this is true:
    // the run failed or the user cancelled.
    bool StopRequested() const { return SetupFailed != 0 || Cancelled != 0; }

    // The product's home directory: the one place that sets it, keeping the
    // block's InstallPath and destination 0 in step (the destinations below
    // it are resolved again; CInstallProfileException for a damaged one).
    void SetHomeDirectory(const std::string& directory);
    std::string HomeDirectory() const;

    // The reason a failed run reports (the latest one noted).
    void NoteFailure(const std::string& reason) { failureReason_ = reason; }
    const std::string& FailureReason() const { return failureReason_; }
    // An item of the media that was not installed: logged with its reason at
    // once and counted in the outcome. The reason names the item; a failed
    // run without a reason of its own reports the first one.
    void NoteSkippedItem(const std::string& item, const std::string& reason);
    const std::vector<std::string>& SkippedItems() const { return skippedItems_; }
    const std::string& FirstSkipReason() const { return firstSkipReason_; }

    // Makes the outcome final on disk, then asks Windows to restart: the
    // restart may end the process at any moment after (the application
    // object decides the outcome).
    virtual void RestartWindows() = 0;

protected:
    // Frees the block, the tables and the paths.
    void ReleaseOwned();

private:
    std::string failureReason_;
    std::vector<std::string> skippedItems_;
    std::string firstSkipReason_;
};
