// The install profile's loaders, the destination resolution, the settings
// reader, the WININIT.INI editor, the copy journal and the command line over
// arbitrary text: only the exception family may come out, the tables stay
// usable and a journal that is accepted reads back the same.
#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "config/placement/WininitRename.h"
#include "engine/CommandLine.h"
#include "engine/journal/CopyJournal.h"
#include "engine/base/PathName.h"
#include "engine/base/SetupData.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileLoaders.h"
#include "framework/Exceptions.h"
#include "tests/support/MemoryProfile.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

template <typename F> void Guarded(F&& step)
{
    try {
        step();
    } catch (const fw::Exception&) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    MemoryProfile profile(text);

    DestinationTable destinations;
    GroupTable groups;
    TargetTable targets;
    ArchiveList items;
    DisketteTable diskettes;
    Guarded([&] { LoadDestinations(profile, destinations); });
    Guarded([&] {
        ResolveDestinations(destinations);
        for (const auto& d : destinations) (void)DestinationPath(destinations, d.first);
    });
    Guarded([&] { LoadGroups(profile, groups); });
    Guarded([&] { LoadTargets(profile, targets); });
    Guarded([&] { LoadArchiveItems(profile, groups, items); });
    Guarded([&] { LoadDiskettes(profile, diskettes); });
    for (const ArchiveItem& item : items)
        if (item.OwnerGroup != nullptr && groups.find(item.OwnerGroup->Name) == groups.end()) std::abort();

    auto block = std::make_unique<SetupData>();
    std::memset(block.get(), 0, sizeof(SetupData));
    ApplyProductDefaults(*block);
    SettingsHooks hooks;
    hooks.log = [](const std::string&) {};
    hooks.fallbackInstallPath = [] { return std::string("C:\\OLD\\AV"); };
    Guarded([&] { ReadSettingsKeys(*block, profile, hooks); });

    if (size <= kMaxWininitSize) {
        const std::string entry = "C:\\WINDOWS\\SYSTEM\\A.DLL=C:\\WINDOWS\\SYSTEM\\A.TMP";
        std::string edited = AddRenameEntry(text, "C:\\WINDOWS\\SYSTEM\\A.DLL", "C:\\WINDOWS\\SYSTEM\\A.TMP");
        // Only lines are added: the old text is still there around the new entry.
        std::size_t at = edited.find(entry);
        if (at == std::string::npos || edited.size() <= text.size()) std::abort();
    }

    std::vector<JournalEntry> journal;
    if (ParseJournal(text, journal)) {
        std::vector<JournalEntry> again;
        if (!ParseJournal(FormatJournal(journal), again) || FormatJournal(again) != FormatJournal(journal))
            std::abort();
        for (const RecoveryAction& a : PlanRecovery(journal, [](const std::string& p) { return p.size() % 2 == 0; }))
            if (!IsRandomFileName(a.path)) std::abort(); // recovery only ever touches our own names
    }

    CommandLine line(text);
    (void)ReadSwitches(line, "C:\\SETUP");
    return 0;
}
