#include "product/Components.h"

#include "engine/base/TextCase.h"
#include "engine/profile/ProfileQueries.h"

const ComponentRule kSelectableComponents[4] = {
    {"Main", &SetupData::InstallManager, kComponentManager},
    {"Realtime", &SetupData::InstallRealtime, kComponentRealtime},
    {"Netware", &SetupData::NetwareSupport, kComponentNetware},
    {"DadOVO", &SetupData::InstallAutoDownload, kComponentAutoDownload},
};

namespace {

const char* const kFixedGroups[] = {"Public", "Engine", "CommonStuff", "Uninstall"};

const ComponentRule* RuleFor(const Group& group)
{
    for (const ComponentRule& rule : kSelectableComponents)
        if (EqualNoCase(group.Name, rule.name)) return &rule;
    return nullptr;
}

} // namespace

bool IsAlwaysSelected(const Group& group)
{
    for (const char* name : kFixedGroups)
        if (EqualNoCase(group.Name, name)) return true;
    return false;
}

void ApplySetupType(GroupTable& groups, int type)
{
    for (auto& entry : groups) {
        Group& g = entry.second;
        switch (type) {
        case kSelectFlag1: g.Selected = g.Flag1; break;
        case kSelectFlag2: g.Selected = g.Flag2; break;
        case kSelectOptional: g.Selected = g.Optional; break;
        case kSelectAll: g.Selected = 1; break;
        default: g.Selected = 0; break;
        }
    }
}

void ApplyComponentChoices(SetupData& data, GroupTable& groups)
{
    data.ComponentMask = 0;
    for (const ComponentRule& rule : kSelectableComponents) {
        const bool chosen = data.*rule.flag != 0;
        if (chosen) data.ComponentMask |= rule.bit;
        SelectGroup(groups, rule.name, chosen ? 1 : 0);
    }
    if (data.InstallUninstall != 0) data.ComponentMask |= kComponentUninstall;
    SelectGroup(groups, "Uninstall", 1);
}

std::vector<Group*> OfferedComponents(GroupTable& groups, int32_t mask)
{
    std::vector<Group*> offered;
    for (auto& entry : groups) {
        Group& g = entry.second;
        if (g.Optional == 0) continue;
        if (mask == 0) {
            g.Checked = 1;
            continue;
        }
        const ComponentRule* rule = RuleFor(g);
        if (!rule) continue;
        g.Checked = (mask & rule->bit) != 0 ? 1 : 0;
        offered.push_back(&g);
    }
    return offered;
}

bool AnyComponentChecked(const GroupTable& groups)
{
    for (const auto& entry : groups)
        if (entry.second.Optional != 0 && entry.second.Checked != 0) return true;
    return false;
}

bool StoreCheckedComponents(SetupData& data, GroupTable& groups)
{
    data.ComponentMask = 0;
    for (const ComponentRule& rule : kSelectableComponents) data.*rule.flag = 0;
    bool any = false;
    for (auto& entry : groups) {
        Group& g = entry.second;
        if (g.Optional == 0) {
            if (IsAlwaysSelected(g)) g.Selected = 1;
            continue;
        }
        if (g.Checked != 0) {
            g.Selected = 1;
            any = true;
            if (const ComponentRule* rule = RuleFor(g)) {
                data.*rule->flag = 1;
                data.ComponentMask |= rule->bit;
            }
        } else {
            g.Selected = 0;
        }
        if (IsAlwaysSelected(g)) g.Selected = 1;
    }
    // The uninstaller is no list item: its bit stays as the setup-type page set
    // it, or a custom setup would never register the removal.
    if (data.InstallUninstall != 0) data.ComponentMask |= kComponentUninstall;
    return any;
}
