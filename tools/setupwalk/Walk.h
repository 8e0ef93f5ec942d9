// The walk through setup's pages: starts setup, waits for each page or prompt
// to show, does on it what a person does (types, ticks, chooses, presses its
// button, answers the prompt), shoots it, and stops at the restart offer.
#pragma once
#include "tools/setupwalk/WalkRules.h"

namespace walk {

// The walk the options describe, to its end: 0 when it reached its end and
// setup ended with 0 or 3010, else 1 (setup then ended by the walk).
int RunWalk(const Options& options);

} // namespace walk
