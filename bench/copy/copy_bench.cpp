// Install throughput of the copy engine under Wine:
//   copy_bench MEDIA_DISK01 OUTDIR [ui|page|noui [COMMONDIR]]
// Installs every group of the media's profile into OUTDIR (destination 3,
// the common files, into COMMONDIR as the directory page would) and prints the
// bytes, the seconds and MB/s. "ui" runs it with the real copy page (gauge,
// texts, billboards, message pumping); "page" the same without billboards;
// "noui" with a view that draws nothing.
#include "engine/CopyEngine.h"
#include "app/SetupApp.h"
#include "engine/SystemHelpers.h"
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

// The real page and its controls, without its own run; with or without
// the billboards.
struct BenchPage : CopyPage {
    explicit BenchPage(bool billboards) : CopyPage(IDD_COPY_PROGRESS), billboards_(billboards) {}
    Work RunWork() override { return Work::Stay; }
    void ShowProgress(int64_t position, const std::string& text, uint64_t bytes) override
    {
        if (billboards_)
            CopyPage::ShowProgress(position, text, bytes);
        else
            ShowGaugeAndText(position, text);
    }
    bool billboards_;
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
        std::fprintf(stderr, "usage: copy_bench MEDIA_DISK01 OUTDIR [ui|page|noui [COMMONDIR]]\n");
        return 2;
    }
    std::string media = argv[1], out = argv[2];
    std::string mode = argc < 4 ? "ui" : argv[3];
    bool ui = mode == "ui" || mode == "page";
    bool billboards = mode == "ui";
    SetupApp app;
    if (!app.PrepareSetup("/D:" + media, "C:\\")) return 1;
    app.ProfilePath.Set(media + "\\SETUP.INI");
    ReadInstallProfile(app);
    CreateDirectoryA(out.c_str(), nullptr);
    SetDestinationPath(app.DestinationTable, 0, out + "\\");
    if (argc > 4) SetDestinationPath(app.DestinationTable, 3, std::string(argv[4]) + "\\");
    ResolveDestinations(app.DestinationTable);
    for (auto& g : app.GroupTable) g.second.Selected = 1;
    app.WriteRecord = 0;

    NullView none;
    BenchPage* page = nullptr;
    if (ui) {
        if (!app.StartWizard()) return 1;
        page = new BenchPage(billboards); // deletes itself with its window
        page->CreateModeless(app.MainWindowHandle);
    }
    // The windows' first paints and the display's answers to their mapping
    // are not the copy's: let them finish before the clock starts.
    while (MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT) != WAIT_TIMEOUT) ProcessPendingMessages();
    CopyView& view = ui ? static_cast<CopyView&>(*page) : none;
    CopyEngine engine(app, view);
    double start = Now();
    engine.Begin();
    if (billboards) BillboardStart(engine.SelectedBytes());
    bool ok = engine.InstallItems();
    if (billboards) BillboardClose();
    double seconds = Now() - start;
    uint64_t bytes = engine.DoneBytes;
    std::printf("%s %s: %llu bytes in %.3f s, %.1f MB/s\n", ok ? "ok" : "FAILED", mode.c_str(),
                static_cast<unsigned long long>(bytes), seconds, seconds > 0 ? bytes / seconds / 1e6 : 0.0);
    std::fflush(stdout);
    if (page) page->Destroy();
    if (app.MainWindowHandle) DestroyWindow(app.MainWindowHandle);
    return ok ? 0 : 1;
}
