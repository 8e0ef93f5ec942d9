#include "product/Billboards.h"

#include "engine/Media.h"
#include "engine/base/Placement.h"
#include "engine/SetupContext.h"
#include "wizard/base/MainWindow.h"
#include "wizard/base/Wizard.h"
#include "framework/Dialog.h"
#include "product/BillboardIndex.h"
#include "resources/ids.h"

#include <windows.h>

#include <memory>
#include <string>

namespace {

struct BillboardInfo {
    int dialog;
    int bitmap;
    const char* sound;
};

const BillboardInfo kBillboards[kBillboardCount] = {
    {IDD_BILLBOARD_0, IDB_BILLBOARD_0, "BBOARD2.WAV"},
    {IDD_BILLBOARD_1, IDB_BILLBOARD_1, "BBOARD1.WAV"},
    {IDD_BILLBOARD_2, IDB_BILLBOARD_2, "BBOARD2.WAV"},
    {IDD_BILLBOARD_3, IDB_BILLBOARD_3, "BBOARD2.WAV"},
};

class Billboard : public fw::Dialog {
public:
    explicit Billboard(const BillboardInfo& info) : fw::Dialog(info.dialog), info_(info) {}
    ~Billboard() override
    {
        Destroy();
        if (bitmap_) DeleteObject(bitmap_);
    }

protected:
    bool OnInitDialog() override
    {
        HWND h = Handle();
        RECT r;
        GetWindowRect(h, &r);
        int sw = GetSystemMetrics(SM_CXSCREEN);
        int shh = GetSystemMetrics(SM_CYSCREEN);
        Placement p = PlaceByFractions(sw, shh, r.right - r.left, r.bottom - r.top, 1, 2, 1, 3);
        SetWindowPos(h, nullptr, p.left, p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        const SetupContext* setup = SetupContext::Current();
        if (setup && setup->UnattendedMode)
            SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

        bitmap_ = static_cast<HBITMAP>(
            LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(info_.bitmap), IMAGE_BITMAP, 0, 0, 0));
        HWND picture = Item(IDC_PICTURE);
        if (bitmap_ && picture) {
            SendMessageA(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap_));
            BITMAP bm;
            GetObjectA(bitmap_, sizeof bm, &bm);
            RECT pr;
            GetWindowRect(picture, &pr);
            int dw = bm.bmWidth - (pr.right - pr.left);
            int dh = bm.bmHeight - (pr.bottom - pr.top);
            SetWindowPos(picture, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
            // Grow the dialog by half the change on each side, keeping its centre.
            GetWindowRect(h, &r);
            SetWindowPos(h, nullptr, r.left - dw / 2, r.top - dh / 2, (r.right - r.left) + dw, (r.bottom - r.top) + dh,
                         SWP_NOZORDER | SWP_NOACTIVATE);
        }
        // Shown once sized: each change to a mapped window is another round
        // trip to the display.
        ShowWindow(h, SW_SHOWNOACTIVATE);
        PlayMediaSound(info_.sound, false);
        return false; // the copy page keeps the focus
    }

private:
    BillboardInfo info_;
    HBITMAP bitmap_ = nullptr;
};

std::unique_ptr<Billboard> g_shown;
int g_index = -1;
uint64_t g_total = 0;
int g_changes = 0;

} // namespace

void BillboardStart(uint64_t totalBytes)
{
    g_total = totalBytes;
    g_changes = 0;
    BillboardStep(0);
}

void BillboardStep(uint64_t byteCount)
{
    int index = BillboardIndex(byteCount, g_total);
    if (index == g_index && g_shown) return;
    auto next = std::make_unique<Billboard>(kBillboards[index]);
    MainWindow* main = WizardMainWindow();
    try {
        next->CreateModeless(main ? main->Handle() : nullptr);
    } catch (...) {
        return; // keep the one shown now
    }
    g_shown = std::move(next);
    g_index = index;
    ++g_changes;
    UpdateWindow(g_shown->Handle());
    if (main && main->Handle()) {
        InvalidateRect(main->Handle(), nullptr, TRUE);
        UpdateWindow(main->Handle());
    }
}

void BillboardClose()
{
    g_shown.reset();
    g_index = -1;
}

int ShownBillboard() { return g_shown ? g_index : -1; }
int BillboardChanges() { return g_changes; }
