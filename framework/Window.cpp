#include "framework/Window.h"

namespace fw {

namespace {
const char kWindowProp[] = "fw.Window";
}

Window::~Window()
{
    if (hwnd_ && IsWindow(hwnd_)) {
        RemovePropA(hwnd_, kWindowProp);
        DestroyWindow(hwnd_);
    }
}

bool Window::RegisterWindowClass(const char* className, UINT style, HICON icon, HCURSOR cursor, HBRUSH background)
{
    WNDCLASSA wc = {};
    wc.style = style;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = icon;
    wc.hCursor = cursor;
    wc.hbrBackground = background;
    wc.lpszClassName = className;
    if (RegisterClassA(&wc)) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

bool Window::Create(DWORD exStyle, const char* className, const char* title, DWORD style, int x, int y, int width,
                    int height, HWND parent, HMENU menu)
{
    destroyed_ = false;
    HWND h = CreateWindowExA(exStyle, className, title, style, x, y, width, height, parent, menu,
                             GetModuleHandleA(nullptr), this);
    return h != nullptr;
}

void Window::Destroy()
{
    if (hwnd_) DestroyWindow(hwnd_);
}

LRESULT Window::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    Window* self = static_cast<Window*>(GetPropA(hwnd, kWindowProp));
    if (!self && message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetPropA(hwnd, kWindowProp, self);
    }
    if (!self) return DefWindowProcA(hwnd, message, wParam, lParam);

    ++self->depth_;
    LRESULT result = self->WindowProc(message, wParam, lParam);
    --self->depth_;
    if (message == WM_NCDESTROY) {
        RemovePropA(hwnd, kWindowProp);
        self->hwnd_ = nullptr;
        self->destroyed_ = true;
    }
    if (self->destroyed_ && self->depth_ == 0) {
        self->destroyed_ = false;
        self->OnFinalMessage(); // may delete self
    }
    return result;
}

} // namespace fw
