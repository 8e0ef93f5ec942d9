// The engine's progress bar: a filled bar with the percentage in its middle,
// the text over the filled part drawn in inverse colours. Created in place of
// a placeholder control (page 108: control 1010).
#pragma once
#include "framework/Window.h"

#include <cstdint>

class Gauge : public fw::Window {
public:
    Gauge(int64_t min, int64_t max, int64_t position) : Min(min), Max(max), Pos(position) {}

    // Takes the placeholder's rectangle and id; the placeholder is destroyed.
    bool Create(DWORD style, HWND parent, int placeholderId);
    // Pos := value within Min..Max; invalidates (and paints at once when asked)
    // only when what is shown changes.
    void SetPos(int64_t value, bool redrawNow);
    int Percent() const;

    int64_t Min;
    int64_t Max;
    int64_t Pos;
    bool Vertical = false;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc);
    int shownPercent_ = -1;
    int shownFill_ = -1;
    int length_ = -1; // client width (height when vertical), read again after WM_SIZE
};
