// The product's presets of the option fields, stored before the install
// settings file is read (which changes only what it names).
#pragma once
#include "engine/base/SetupData.h"

void ApplyProductDefaults(SetupData& data);
