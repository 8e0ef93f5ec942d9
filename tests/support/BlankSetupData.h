// A zero-filled setup-data block, as the setup starts with. Platform-free.
#pragma once
#include "engine/base/SetupData.h"

#include <cstring>
#include <memory>

inline std::unique_ptr<SetupData> BlankSetupData()
{
    auto d = std::make_unique<SetupData>();
    std::memset(d.get(), 0, sizeof(SetupData));
    return d;
}
