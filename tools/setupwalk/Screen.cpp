#include "tools/setupwalk/Screen.h"

#include "tools/setupwalk/SetupWindows.h"
#include "tools/setupwalk/WalkRules.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <utility>

namespace walk {

namespace {

constexpr int kSettledShots = 3; // equal shots in a row

bool Neutral(COLORREF c) { return c != CLR_INVALID && GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

bool SameRegion(const Shot& a, const Shot& b, const RECT& r)
{
    if (a.width != b.width || a.height != b.height) return false;
    const int left = std::max<int>(r.left, 0), right = std::min<int>(r.right, a.width);
    if (right <= left) return true;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, a.height); ++y) {
        const std::size_t at =
            static_cast<std::size_t>(a.height - 1 - y) * a.stride + static_cast<std::size_t>(left) * 3;
        if (std::memcmp(&a.pixels[at], &b.pixels[at], static_cast<std::size_t>(right - left) * 3) != 0) return false;
    }
    return true;
}

// Whether the window's picture has reached the screen: its frame's grey
// corners stand out from the blue backdrop, and where it is the screen has
// changed since the page before was shot (Wine puts a window's painting on
// screen when its program next looks at its messages, which a page's work may
// not do for a while).
bool OnScreen(const Shot& shot, HWND window, const Shot* before)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    for (POINT p : {POINT{r.left + 1, r.top + 1}, POINT{r.right - 2, r.top + 1}, POINT{r.left + 1, r.bottom - 2},
                    POINT{r.right - 2, r.bottom - 2}})
        if (!Neutral(shot.At(p.x, p.y))) return false;
    return !before || before->pixels.empty() || !SameRegion(shot, *before, r);
}

} // namespace

bool Shot::Take()
{
    HDC screen = GetDC(nullptr);
    if (!screen) return false;
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    stride = (width * 3 + 3) & ~3;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    bool ok = dib && memory;
    if (ok) {
        HGDIOBJ old = SelectObject(memory, dib);
        ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        if (ok) {
            const uint8_t* begin = static_cast<const uint8_t*>(bits);
            pixels.assign(begin, begin + static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
        }
        SelectObject(memory, old);
    }
    if (memory) DeleteDC(memory);
    if (dib) DeleteObject(dib);
    ReleaseDC(nullptr, screen);
    return ok;
}

COLORREF Shot::At(int x, int y) const
{
    if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
    const uint8_t* p = &pixels[static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * 3];
    return RGB(p[2], p[1], p[0]);
}

bool Shot::Save(const std::string& path) const
{
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const std::vector<uint8_t> header = walk::BmpHeader(width, height);
    bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
        std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
    return std::fclose(file) == 0 && ok;
}

bool SettledShot(HWND window, Shot& shot, const Shot* before, DWORD stepMs)
{
    const DWORD start = GetTickCount();
    bool have = false;
    int same = 0;
    for (;;) {
        // A page may hide itself for a while and show again; gone is gone.
        if (!IsWindow(window)) return have;
        // A folder window closed over the page changes the picture: settle again.
        if (CloseFolderWindows()) same = 0;
        // A shot takes a while; whether the page was still there when it was
        // taken shows on the shot itself.
        Shot current;
        if (IsWindowVisible(window) && !Covered(window) && current.Take() && OnScreen(current, window, before) &&
            !Covered(window)) {
            same = have && current.pixels == shot.pixels ? same + 1 : 1;
            shot = std::move(current);
            have = true;
            if (same >= kSettledShots && !CloseFolderWindows()) return true;
            if (same >= kSettledShots) same = 0;
        }
        if (GetTickCount() - start > kSettleLimitMs) return have;
        Sleep(stepMs);
    }
}

bool BoxCrossed(const Shot& shot, HWND list, const RECT& box)
{
    POINT origin = {box.left, box.top};
    ClientToScreen(list, &origin);
    const int size = box.bottom - box.top;
    const COLORREF inside = shot.At(origin.x + 2, origin.y + 1); // off both diagonals
    const int cx = origin.x + size / 2;
    const int cy = origin.y + size / 2;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (shot.At(cx + dx, cy + dy) != inside) return true;
    return false;
}

} // namespace walk
