// What is on screen: the whole screen as a picture, read pixel by pixel or
// saved as a BMP file; a page's picture once it has settled; the boxes of the
// component list, crossed or not.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace walk {

constexpr DWORD kSettleStepMs = 60;
constexpr DWORD kSettleLimitMs = 2500; // a page that never stops moving

// The whole screen as a bottom-up 24-bit picture.
struct Shot {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> pixels;

    bool Take();
    COLORREF At(int x, int y) const;
    bool Save(const std::string& path) const;
};

// Shots of the screen once the window is on it, until kSettledShots in a row
// are the same (nothing moves any more) or the time is up. Only a shot taken
// while the window was shown counts; false when there is none. A page that
// works by itself may go at any moment: it is looked at more often.
bool SettledShot(HWND window, Shot& shot, const Shot* before, DWORD stepMs = kSettleStepMs);

// Whether the box (in the list's client coordinates) before a title of the
// component list is crossed on the shot.
bool BoxCrossed(const Shot& shot, HWND list, const RECT& box);

} // namespace walk
