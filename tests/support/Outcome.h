// What a piece of code raised, as "<engine class> <cause>" ("none" when it
// returned): lets failure tables be asserted in one line. Platform-free.
#pragma once
#include "engine/base/XException.h"

#include <functional>
#include <string>

inline std::string Outcome(const std::function<void()>& f)
{
    try {
        f();
    } catch (...) {
        auto e = ConvertCurrentException();
        return std::string(e->ClassName()) + " " + std::to_string(e->Cause());
    }
    return "none";
}
