// The application object: initialisation, the message loop, exit processing.
#pragma once
#include <windows.h>

namespace fw {

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    static Application* Current();

    // InitInstance; the message loop while it returned true; ExitInstance.
    int Run();

    // False ends the program at once (no message loop).
    virtual bool InitInstance() = 0;
    // The base returns the quit message's exit code.
    virtual int ExitInstance();

    // Destroying this window ends the message loop.
    HWND MainWindowHandle = nullptr;

protected:
    int quitCode_ = 0;
};

// Translate and dispatch one message, giving modeless dialogs their keys.
void DispatchOne(MSG& msg);

} // namespace fw
