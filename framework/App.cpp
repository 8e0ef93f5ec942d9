#include "framework/App.h"

#include "framework/Dialog.h"

namespace fw {

namespace {
Application* g_app = nullptr;
}

Application::Application() { g_app = this; }

Application::~Application()
{
    if (g_app == this) g_app = nullptr;
}

Application* Application::Current() { return g_app; }

int Application::ExitInstance() { return quitCode_; }

void DispatchOne(MSG& msg)
{
    if (Dialog::PreTranslate(msg)) return;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

int Application::Run()
{
    if (!InitInstance()) {
        quitCode_ = 0;
        return ExitInstance();
    }
    MSG msg;
    for (;;) {
        BOOL r = GetMessageA(&msg, nullptr, 0, 0);
        if (r == 0) {
            quitCode_ = static_cast<int>(msg.wParam);
            break;
        }
        if (r == -1) break;
        DispatchOne(msg);
    }
    return ExitInstance();
}

} // namespace fw
