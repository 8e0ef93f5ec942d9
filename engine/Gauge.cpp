#include "engine/Gauge.h"

#include "engine/GaugeMath.h"

#include <cstdio>

namespace {
const char kGaugeClass[] = "FwGenericWindow";
}

bool Gauge::Create(DWORD style, HWND parent, int placeholderId)
{
    RECT r = {0, 0, 0, 0};
    if (HWND placeholder = GetDlgItem(parent, placeholderId)) {
        GetWindowRect(placeholder, &r);
        MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
        DestroyWindow(placeholder);
    }
    if (!RegisterWindowClass(kGaugeClass, CS_HREDRAW | CS_VREDRAW, nullptr, LoadCursor(nullptr, IDC_ARROW), nullptr))
        return false;
    return fw::Window::Create(0, kGaugeClass, "Gauge", style, r.left, r.top, r.right - r.left, r.bottom - r.top, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(placeholderId)));
}

int Gauge::Percent() const { return GaugePercent(Min, Max, Pos); }

void Gauge::SetPos(int64_t value, bool redrawNow)
{
    Pos = ClampPosition(value, Min, Max);
    if (!Handle()) return;
    if (length_ < 0) {
        RECT client;
        GetClientRect(Handle(), &client);
        length_ = Vertical ? client.bottom : client.right;
    }
    int length = length_;
    int percent = Min == Max ? -2 : Percent();
    int fill = Min == Max ? -2 : GaugeFill(length, percent);
    if (percent == shownPercent_ && fill == shownFill_) return; // nothing visible changes
    InvalidateRect(Handle(), nullptr, FALSE);
    if (redrawNow) UpdateWindow(Handle());
}

void Gauge::Paint(HDC dc)
{
    RECT client;
    GetClientRect(Handle(), &client);
    if (Min == Max) {
        shownPercent_ = shownFill_ = -2;
        return;
    }
    int p = Percent();
    char text[16];
    std::snprintf(text, sizeof text, "%d%%", p);
    int n = static_cast<int>(strlen(text));
    COLORREF bar = GetSysColor(COLOR_HIGHLIGHT);
    COLORREF back = GetSysColor(COLOR_WINDOW);
    SetTextAlign(dc, TA_CENTER | TA_TOP);
    SIZE extent;
    GetTextExtentPoint32A(dc, text, n, &extent);
    int x = client.right / 2;
    int y = (client.bottom - extent.cy) / 2;

    RECT filled = client;
    RECT rest = client;
    int fill;
    if (Vertical) {
        fill = GaugeFill(client.bottom, p);
        filled.bottom = client.top + fill;
        rest.top = filled.bottom;
    } else {
        fill = GaugeFill(client.right, p);
        filled.right = client.left + fill;
        rest.left = filled.right;
    }
    SetTextColor(dc, back);
    SetBkColor(dc, bar);
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &filled, text, static_cast<UINT>(n), nullptr);
    SetTextColor(dc, bar);
    SetBkColor(dc, back);
    ExtTextOutA(dc, x, y, ETO_CLIPPED | ETO_OPAQUE, &rest, text, static_cast<UINT>(n), nullptr);
    shownPercent_ = p;
    shownFill_ = fill;
}

LRESULT Gauge::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(Handle(), &ps);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(GetParent(Handle()), WM_GETFONT, 0, 0));
        HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
        Paint(dc);
        if (old) SelectObject(dc, old);
        EndPaint(Handle(), &ps);
        return 0;
    }
    case WM_ERASEBKGND: return 1;
    case WM_SIZE:
        shownPercent_ = shownFill_ = -1;
        length_ = -1;
        break;
    default: break;
    }
    return fw::Window::WindowProc(message, wParam, lParam);
}
