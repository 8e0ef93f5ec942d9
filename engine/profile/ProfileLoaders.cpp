#include "engine/profile/ProfileLoaders.h"

#include "engine/base/XException.h"
#include "engine/profile/ProfileRecord.h"
#include "engine/profile/ProfileSection.h"

#include <cstdlib>

void LoadDestinations(ProfileStore& store, DestinationTable& table)
{
    ProfileSection section;
    if (!section.Open(store, "destinations")) throw CInstallProfileException(0);
    std::string key, value;
    while (section.Next(key, value)) {
        ProfileRecord record(value);
        int16_t id = ClampTo16(ParseDecimal(key));
        Destination& d = table[id];
        d.Id = id;
        d.Name = record.Text(0);
        d.ParentId = record.Number16(1, -1);
        std::string path = record.Text(2);
        if (!path.empty()) {
            d.Path = PathName();
            d.Path.SetDirectory(path);
        }
    }
}

void LoadGroups(ProfileStore& store, GroupTable& table)
{
    ProfileSection section;
    if (!section.Open(store, "groups")) return;
    std::string key, value;
    while (section.Next(key, value)) {
        ProfileRecord record(value);
        Group& g = table[key];
        g.Name = key;
        g.Title = record.Text(0);
        g.Text2 = record.Text(1);
        g.Flag1 = record.Flag(2);
        g.Flag2 = record.Flag(3);
        g.Optional = record.Flag(4);
        g.Selected = 0;
    }
}

std::string TargetKey(std::string_view fileName)
{
    std::string key(fileName);
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

Target* FindTarget(TargetTable& table, std::string_view fileName)
{
    auto it = table.find(TargetKey(fileName));
    return it == table.end() ? nullptr : &it->second;
}

void LoadTargets(ProfileStore& store, TargetTable& table)
{
    ProfileSection section;
    if (!section.Open(store, "targets")) return;
    std::string key, value;
    while (section.Next(key, value)) {
        ProfileRecord record(value);
        Target& t = table[TargetKey(key)];
        t.Name = key;
        t.IconIndex = record.Number16(0);
        t.HotKey = record.Number16(1, -1);
        t.Minimized = record.Flag(2);
        t.Title = record.Text(3);
        t.Arguments = record.Text(4);
        t.IconFile = record.Text(5);
        std::string path = record.Text(6);
        t.Path = PathName();
        if (!path.empty()) t.Path.Set(path);
    }
}

void InsertArchiveItem(ArchiveList& list, ArchiveItem item)
{
    auto it = list.begin();
    for (; it != list.end(); ++it) {
        if (item.Diskette < it->Diskette) break;
        if (item.Diskette == it->Diskette && it->Continues && !item.Continues) break;
    }
    list.insert(it, std::move(item));
}

void LoadArchiveItems(ProfileStore& store, GroupTable& groups, ArchiveList& list)
{
    for (auto& [name, group] : groups) {
        ProfileSection section;
        if (!section.Open(store, name)) continue;
        std::string key, value;
        while (section.Next(key, value)) {
            ProfileRecord record(value);
            ArchiveItem item;
            item.FileName = key;
            item.Size = record.Number(0);
            item.Kind = record.Number16(1);
            item.FileCount = record.Number16(2);
            int32_t diskette = record.Number(3);
            item.Continues = diskette < 0 ? 1 : 0;
            item.Diskette = ClampTo16(diskette < 0 ? (diskette < -INT16_MAX ? INT16_MAX : -diskette) : diskette);
            item.DestinationId = record.Number16(4, -1);
            item.Text = record.Text(5);
            item.OwnerGroup = &group;
            InsertArchiveItem(list, std::move(item));
        }
    }
}

void LoadDiskettes(ProfileStore& store, DisketteTable& table)
{
    ProfileSection section;
    if (!section.Open(store, "diskettes")) return;
    std::string key, value;
    while (section.Next(key, value)) {
        // Diskette numbers are 16-bit; anything else names no diskette.
        int32_t number = ParseDecimal(key);
        if (number < 0 || number > INT16_MAX) continue;
        ProfileRecord record(value);
        if (table.size() <= static_cast<std::size_t>(number)) table.resize(static_cast<std::size_t>(number) + 1);
        Diskette& d = table[static_cast<std::size_t>(number)];
        d.Label = record.Text(0);
        d.Text2 = record.Text(1);
    }
}
