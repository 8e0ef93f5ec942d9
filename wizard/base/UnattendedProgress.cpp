#include "wizard/base/UnattendedProgress.h"

#include "framework/Dialog.h"
#include "resources/ids.h"
#include "wizard/base/Wizard.h"

#include <commctrl.h>

#include <memory>

namespace {

class UnattendedProgressDialog : public fw::Dialog {
public:
    UnattendedProgressDialog() : fw::Dialog(IDD_UNATTENDED_PROGRESS) {}

protected:
    bool OnInitDialog() override
    {
        SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETRANGE, 0, MAKELPARAM(0, 100));
        SendDlgItemMessageA(Handle(), IDC_PROGRESS, PBM_SETPOS, 0, 0);
        return true;
    }
};

std::unique_ptr<UnattendedProgressDialog> g_progress;

} // namespace

void EnsureUnattendedProgress()
{
    if (!g_progress) g_progress = std::make_unique<UnattendedProgressDialog>();
}

void ShowUnattendedProgress()
{
    EnsureUnattendedProgress();
    if (g_progress->Handle()) return;
    g_progress->CreateModeless(nullptr);
    SetWindowPos(g_progress->Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    ShowWindow(g_progress->Handle(), SW_SHOW);
    UpdateWindow(g_progress->Handle());
}

void SetUnattendedProgress(int percent)
{
    if (g_progress && g_progress->Handle())
        SendDlgItemMessageA(g_progress->Handle(), IDC_PROGRESS, PBM_SETPOS, static_cast<WPARAM>(percent), 0);
}

int UnattendedProgressPosition()
{
    if (!g_progress || !g_progress->Handle()) return -1;
    return static_cast<int>(SendDlgItemMessageA(g_progress->Handle(), IDC_PROGRESS, PBM_GETPOS, 0, 0));
}

void DestroyUnattendedProgress() { g_progress.reset(); }
