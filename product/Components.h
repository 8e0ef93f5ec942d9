// The product's components: which profile groups the user can choose, the
// setup-data flag and ComponentMask bit each one drives, and the rules by
// which the setup-type and components pages select groups. Platform-free.
#pragma once
#include "engine/base/SetupData.h"
#include "engine/profile/ProfileTables.h"

#include <cstdint>
#include <vector>

// A user-selectable component: group name, its flag in SetupData, its bit.
struct ComponentRule {
    const char* name;
    int32_t SetupData::*flag;
    int32_t bit;
};

// In the order the setup-type page applies them.
extern const ComponentRule kSelectableComponents[4];

// Groups selected whatever the user chose.
bool IsAlwaysSelected(const Group& group);

// The setup types the groups' Selected fields are set for.
enum SetupTypeSelection : int {
    kSelectNone = 0,     // Selected := 0
    kSelectFlag1 = 1,    // Selected := Flag1 (the groups of setup type 1)
    kSelectFlag2 = 2,    // Selected := Flag2 (the groups of setup type 2, the express set)
    kSelectOptional = 3, // Selected := Optional (what the custom list offers)
    kSelectAll = 4,      // Selected := 1
};

void ApplySetupType(GroupTable& groups, int type);

// The setup-type page: ComponentMask from the component flags (Uninstall
// included), the groups of those names selected accordingly. The uninstaller
// group is selected whenever it exists: removal needs it in every setup type.
void ApplyComponentChoices(SetupData& data, GroupTable& groups);

// The components page's list: the optional groups with a selectable name,
// checked by the mask. With an empty mask nothing is listed and every
// optional group is checked.
std::vector<Group*> OfferedComponents(GroupTable& groups, int32_t mask);

// Whether the components page has an optional group checked.
bool AnyComponentChecked(const GroupTable& groups);

// The components page's Next: the checked optional groups selected and their
// flags and bits set, the fixed groups selected (listed or not: they are
// always installed). False when none was checked.
bool StoreCheckedComponents(SetupData& data, GroupTable& groups);
