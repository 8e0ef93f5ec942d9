#include "engine/SetupContext.h"

#include "config/log/InstallLog.h"
#include "engine/base/FixedText.h"
#include "engine/profile/Destinations.h"

namespace {
SetupContext* g_current = nullptr;
}

SetupContext::SetupContext() { g_current = this; }

SetupContext::~SetupContext()
{
    ReleaseOwned();
    if (g_current == this) g_current = nullptr;
}

SetupContext* SetupContext::Current() { return g_current; }

void SetupContext::SetHomeDirectory(const std::string& directory)
{
    SetDestinationPath(DestinationTable, 0, directory);
    ResolveDestinations(DestinationTable);
    if (Data) CopyText(Data->InstallPath, directory);
}

std::string SetupContext::HomeDirectory() const
{
    return Data ? std::string(TextOf(Data->InstallPath)) : std::string();
}

void SetupContext::NoteSkippedItem(const std::string& item, const std::string& reason)
{
    LogMessage("Not installed: %s (%s)", item.c_str(), reason.c_str());
    if (skippedItems_.empty()) firstSkipReason_ = reason;
    skippedItems_.push_back(item);
}

void SetupContext::ReleaseOwned()
{
    DestinationTable.clear();
    GroupTable.clear();
    TargetTable.clear();
    ArchiveList.clear();
    DisketteTable.clear();
    ProfilePath = PathName();
    SourcePath = PathName();
    RecordPath = PathName();
    delete Data;
    Data = nullptr;
}
