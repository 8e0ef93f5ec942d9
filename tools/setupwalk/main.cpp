// setupwalk: walks setup.exe through an interactive installation the way a
// person at the machine would. It starts setup, waits for each page to show,
// fills in what a person types, ticks and chooses, presses the page's button
// and answers the prompts a person sees; it stops at the restart offer without
// restarting and reports setup's exit code. It works only through setup's
// windows as anyone can see and use them (window texts and geometry, the
// screen's pixels, clicks and typed text), never through setup's memory.
//
//   setupwalk [/shots:DIR] [/shoot:ID,...] [/name:TEXT] [/company:TEXT]
//             [/home:DIR] [/components:TITLE,...] [/scannow:0|1]
//             [/browsers:0|1] [/cancelled:0|1] [/timeout:SECONDS]
//             SETUP.EXE [SETUP ARGUMENTS...]
//
// With /shots each page is saved as DIR\NN-ID.bmp (NN its place in the walk)
// once its picture has settled; /shoot limits that to the pages named. The
// folder windows Program Manager opens over setup are closed, as a person
// would. Every wait is bounded; a walk that cannot go on names the page it
// stopped at and ends setup. With /cancelled:1 the run is one that is
// cancelled on the way (by setup's own test build): page 116 is its end.
// Exit code 0: the walk reached its end and setup ended with 0 or 3010 (or
// 1602 when cancelled); 1: it did not; 2: a bad command line.
#include "tools/setupwalk/Log.h"
#include "tools/setupwalk/Walk.h"
#include "tools/setupwalk/WalkRules.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    walk::StartClock();
    std::vector<std::string> args(argv + 1, argv + argc);
    walk::Options options;
    std::string error;
    if (!walk::ParseOptions(args, options, error)) {
        std::fprintf(stderr, "setupwalk: %s\n", error.c_str());
        return 2;
    }
    return walk::RunWalk(options);
}
