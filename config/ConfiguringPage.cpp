#include "config/ConfiguringPage.h"

#include "config/AutoDownload.h"
#include "config/ConfigProblem.h"
#include "config/ConfigWriters.h"
#include "config/ProductSettings.h"
#include "config/Registry.h"
#include "config/log/RunOutcome.h"
#include "config/StartupIntegration.h"
#include "engine/Media.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "resources/ids.h"
#include "wizard/base/Wizard.h"

namespace {

bool HasManager(const ConfigContext& c) { return (c.Data->ComponentMask & (kComponentManager | kComponentBit2)) != 0; }

bool HasMainProgram(const ConfigContext& c) { return (c.Data->ComponentMask & kComponentManager) != 0; }
bool HasRealtime(const ConfigContext& c) { return (c.Data->ComponentMask & kComponentRealtime) != 0; }
bool HasAutoDownload(const ConfigContext& c) { return (c.Data->ComponentMask & kComponentAutoDownload) != 0; }

void CleanLoaders(const ConfigContext&) { CleanIniLoaders(); }
void EditStartupBatch(const ConfigContext& c) { EditAutoexec(*c.Data); }
void RegisterDriver(const ConfigContext& c)
{
    RegisterRealtime(*c.Data);
    NoteRestartPending(); // the driver is loaded at the next start of Windows
}
void ScheduleDownloads(const ConfigContext& c) { WriteAutoDownloadSchedule(*c.Data); }

void WriteNetwareSupport(const ConfigContext& c)
{
    LONG status = CfgWriteDword(kProductKey, nullptr, "NetwareSupport", static_cast<DWORD>(c.Data->NetwareSupport));
    if (status != ERROR_SUCCESS) ConfigProblem("Cannot write registry value %s\\NetwareSupport", kProductKey);
}

struct ConfigStep {
    bool (*applies)(const ConfigContext&); // null: always
    void (*run)(const ConfigContext&);
};

// The configuration, in order. Each step goes on after its own failures
// and notes them (ConfigProblem).
const ConfigStep kSteps[] = {
    {nullptr, &RegisterUninstall},
    {nullptr, &WriteProductSettings}, // also the shell extension and KORVISAN.INI
    {&HasManager, &RegisterBrowserIntegration},
    {&HasManager, &WriteNetwareSupport},
    {nullptr, &CopyStartJob},
    {nullptr, &CleanLoaders},
    {&HasMainProgram, &EditStartupBatch},
    {&HasRealtime, &RegisterDriver},
    {nullptr, &RemoveOldUninstallRunOnce},
    {&HasAutoDownload, &ScheduleDownloads},
};

} // namespace

void ConfiguringPage::InitPage() { RepaintMainWindow(); }

WizardPage::Work ConfiguringPage::RunWork()
{
    const SetupContext& app = Setup();
    ConfigContext ctx;
    if (RegConnectRegistryA(nullptr, HKEY_LOCAL_MACHINE, &ctx.TargetRegistry) != ERROR_SUCCESS) {
        FailSetup("Cannot connect to the registry");
        return Work::Stay;
    }
    ctx.Data = app.Data;
    ctx.StartJob = FindMediaFile("start.job");
    ctx.IntegrateNavigator = app.IntegrateNavigator != 0;
    ctx.IntegrateExplorer = app.IntegrateExplorer != 0;
    TakeConfigProblem(); // only this page's count
    for (const ConfigStep& step : kSteps) {
        // Between steps the page answers; a confirmed Cancel stops here and
        // page 116 takes back what the steps before did.
        ProcessPendingMessages();
        if (app.StopRequested()) break;
        if (!step.applies || step.applies(ctx)) step.run(ctx);
        // Interactive, a step's failures are logged and the page goes on.
        // Unattended, no one would ever see them: the run ends on the first.
        const std::string problem = TakeConfigProblem();
        if (app.UnattendedMode && !problem.empty()) {
            FailSetup("Cannot configure the product: " + problem);
            break;
        }
    }
    RegCloseKey(ctx.TargetRegistry);
    return app.StopRequested() ? Work::Stay : Work::Next;
}
