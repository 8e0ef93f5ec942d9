// A C++ object per Win32 window. The object is attached to its handle before
// the first message arrives (WM_NCCREATE / the creation pointer), and its final
// hook runs only after the outermost message of that window has returned, so
// that an object may delete itself there even when it was destroyed from
// inside one of its own handlers (work that pumps messages).
#pragma once
#include <windows.h>

namespace fw {

class Window {
public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window();

    HWND Handle() const { return hwnd_; }

    static bool RegisterWindowClass(const char* className, UINT style, HICON icon, HCURSOR cursor, HBRUSH background);
    bool Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                int height, HWND parent, HMENU menu);
    void Destroy();

protected:
    // Unhandled messages go to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // After WM_NCDESTROY, once no message of this window is being handled.
    virtual void OnFinalMessage() {}

private:
    static LRESULT CALLBACK StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
    int depth_ = 0;
    bool destroyed_ = false;
};

} // namespace fw
