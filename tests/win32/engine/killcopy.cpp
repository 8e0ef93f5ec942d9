// Installs every group of install media into the directory HOME and,
// inside the first member, tells the test it is there and waits to be killed:
//   killcopy MEDIA_DISK01 HOME READY-EVENT
// Exits 3 when the run ends before that (the member was too small).
#include "engine/CopyEngine.h"
#include "app/SetupApp.h"
#include "engine/profile/Destinations.h"
#include "wizard/OpeningPages.h"

#include <windows.h>

#include <string>

namespace {

struct StallingView : CopyView {
    HANDLE ready = nullptr;
    HANDLE never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int steps = 0;

    void ShowItem(const std::string&) override {}
    void SetGaugeRange(int64_t, int64_t) override {}
    void ShowProgress(int64_t, const std::string&, uint64_t) override
    {
        if (++steps != 3) return;
        SetEvent(ready);
        WaitForSingleObject(never, INFINITE); // until the test kills the process
    }
    bool TakeCancelRequest() override { return false; }
    bool ConfirmLeave() override { return false; }
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) return 1;
    std::string media = argv[1];
    SetupApp app;
    if (!app.PrepareSetup("/D:" + media, "C:\\")) return 1;
    app.ProfilePath.Set(media + "\\SETUP.INI");
    ReadInstallProfile(app);
    SetDestinationPath(app.DestinationTable, 0, std::string(argv[2]) + "\\");
    ResolveDestinations(app.DestinationTable);
    for (auto& g : app.GroupTable) g.second.Selected = 1;
    app.WriteRecord = 0;
    StallingView view;
    view.ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[3]);
    if (!view.ready) return 1;
    CopyEngine engine(app, view);
    engine.Begin();
    engine.InstallItems();
    return 3;
}
