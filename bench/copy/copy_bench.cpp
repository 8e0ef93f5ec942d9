// Install throughput of the copy engine under Wine: copy_bench MEDIA_DISK01 OUTDIR [ui|noui]
// Installs every group of the media's profile into OUTDIR and prints the
// bytes, the seconds and MB/s. "ui" runs it with the real copy page (gauge,
// texts, billboards, message pumping); "noui" with a view that draws nothing.
#include "engine/CopyEngine.h"
#include "engine/SetupApp.h"
#include "engine/profile/Destinations.h"
#include "engine/profile/ProfileFileWin32.h"
#include "engine/profile/ProfileLoaders.h"
#include "wizard/OpeningPages.h"
#include "product/Billboards.h"
#include "product/CopyPage.h"
#include "resources/ids.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

struct NullView : CopyView {
    void ShowItem(const std::string&) override {}
    void SetGaugeRange(int64_t, int64_t) override {}
    void ShowProgress(int64_t, const std::string&, uint64_t) override {}
    bool TakeCancelRequest() override { return false; }
    bool ConfirmLeave() override { return false; }
};

// The real page and its controls, without its own run.
struct BenchPage : CopyPage {
    BenchPage() : CopyPage(IDD_COPY_PROGRESS, IDD_CONFIGURING) {}
    int32_t RunWork() override { return 0; }
};

double Now()
{
    LARGE_INTEGER f, c;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&c);
    return double(c.QuadPart) / double(f.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: copy_bench MEDIA_DISK01 OUTDIR [ui|noui]\n");
        return 2;
    }
    std::string media = argv[1], out = argv[2];
    bool ui = argc < 4 || std::string(argv[3]) == "ui";
    SetupApp app;
    if (!app.PrepareSetup("/D:" + media, "C:\\")) return 1;
    app.ProfilePath.Set(media + "\\SETUP.INI");
    ReadInstallProfile(app);
    CreateDirectoryA(out.c_str(), nullptr);
    SetDestinationPath(app.DestinationTable, 0, out + "\\");
    ResolveDestinations(app.DestinationTable);
    for (auto& g : app.GroupTable) g.second.Selected = 1;
    app.WriteRecord = 0;

    NullView none;
    BenchPage* page = nullptr;
    if (ui) {
        if (!app.StartWizard()) return 1;
        page = new BenchPage; // deletes itself with its window
        page->CreateModeless(app.MainWindowHandle);
    }
    CopyView& view = ui ? static_cast<CopyView&>(*page) : none;
    CopyEngine engine(app, view);
    double start = Now();
    engine.Begin();
    if (ui) BillboardStart(engine.SelectedBytes());
    bool ok = engine.InstallItems();
    double seconds = Now() - start;
    if (ui) BillboardClose();
    uint64_t bytes = engine.DoneBytes;
    std::printf("%s %s: %llu bytes in %.3f s, %.1f MB/s\n", ok ? "ok" : "FAILED", ui ? "ui" : "noui",
                static_cast<unsigned long long>(bytes), seconds, seconds > 0 ? bytes / seconds / 1e6 : 0.0);
    std::fflush(stdout);
    if (page) page->Destroy();
    if (app.MainWindowHandle) DestroyWindow(app.MainWindowHandle);
    return ok ? 0 : 1;
}
