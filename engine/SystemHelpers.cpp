#include "engine/SystemHelpers.h"

#include "engine/base/Placement.h"
#include "framework/App.h"

#include <cstdarg>
#include <cstdio>

void ProcessPendingMessages()
{
    // Asking the queue first is much cheaper under Wine than a peek that
    // finds nothing, and this runs at every 4096 bytes of a copy.
    if (HIWORD(GetQueueStatus(QS_ALLINPUT)) == 0) return;
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE | PM_NOYIELD)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        fw::DispatchOne(msg);
    }
}

void WaitDispatching(HANDLE object)
{
    bool quit = false;
    int exitCode = 0;
    for (;;) {
        DWORD r = MsgWaitForMultipleObjects(1, &object, FALSE, INFINITE, quit ? QS_SENDMESSAGE : QS_ALLINPUT);
        if (r != WAIT_OBJECT_0 + 1) break; // signalled, or a bad handle
        MSG msg;
        if (quit) { // only what other programs send: they must not block on us
            PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            continue;
        }
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                quit = true;
                exitCode = static_cast<int>(msg.wParam);
                break;
            }
            fw::DispatchOne(msg);
        }
    }
    if (quit) PostQuitMessage(exitCode);
}

void PlaceWindow(HWND window, HWND owner, int a, int b, int c, int d)
{
    RECT own;
    if (owner)
        GetWindowRect(owner, &own);
    else
        SetRect(&own, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    RECT r;
    GetWindowRect(window, &r);
    Placement p =
        PlaceByFractions(own.right - own.left, own.bottom - own.top, r.right - r.left, r.bottom - r.top, a, b, c, d);
    SetWindowPos(window, nullptr, own.left + p.left, own.top + p.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SetItemTextF(HWND dialog, int id, const char* format, ...)
{
    char buf[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buf, sizeof buf, format, args);
    va_end(args);
    SetDlgItemTextA(dialog, id, buf);
}

void SetItemFont(HWND dialog, int id, HFONT font)
{
    SendDlgItemMessageA(dialog, id, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HFONT MakeFont(const char* face, int points, bool bold)
{
    HDC dc = GetDC(nullptr);
    int height = -MulDiv(points, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(nullptr, dc);
    return CreateFontA(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face);
}
