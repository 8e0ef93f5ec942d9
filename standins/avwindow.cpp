// A test window of the running product: a top-level window titled
// "Brantoke AntiVirus <name>" that closes, or refuses to, on request.
//
//   avwindow.exe <name> [refuse] [minimized] [hang] [ready=<event name>]
//
// With "hang" it stops answering at the first WM_QUERYENDSESSION.
//
// It records in avwindow-<name>.txt beside itself what it received:
//   "query <wParam> <lParam>"      WM_QUERYENDSESSION (answered TRUE unless refusing)
//   "close <wParam> <lParam> <terminate-event set|clear> <minimized|normal>"
//   "destroyed"                    the window went away
// and sets the "ready" event once the window exists.
#include "standins/StandinRecord.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

std::string gRecord;
bool gRefuse = false;
bool gHang = false;

// Held open for the program's life, as the product's programs do: the setup
// only sets and resets it, and closes its own handle each time.
HANDLE gTermination = nullptr;

bool TerminationEventSet() { return gTermination && WaitForSingleObject(gTermination, 0) == WAIT_OBJECT_0; }

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    char text[128];
    switch (message) {
    case WM_QUERYENDSESSION:
        std::snprintf(text, sizeof text, "query %u %ld", static_cast<unsigned>(wParam), static_cast<long>(lParam));
        RecordLine(gRecord, text);
        if (gHang) Sleep(INFINITE);
        return gRefuse ? FALSE : TRUE;
    case WM_CLOSE:
        std::snprintf(text, sizeof text, "close %u %ld %s %s", static_cast<unsigned>(wParam), static_cast<long>(lParam),
                      TerminationEventSet() ? "set" : "clear", IsIconic(hwnd) ? "minimized" : "normal");
        RecordLine(gRecord, text);
        if (!gRefuse) DestroyWindow(hwnd);
        return 0;
    case WM_DESTROY:
        RecordLine(gRecord, "destroyed");
        PostQuitMessage(0);
        return 0;
    default: return DefWindowProcA(hwnd, message, wParam, lParam);
    }
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) return 2;
    std::string name = argv[1];
    gRecord = "avwindow-" + name + ".txt";
    bool minimized = false;
    std::string ready;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "refuse") == 0) gRefuse = true;
        if (std::strcmp(argv[i], "minimized") == 0) minimized = true;
        if (std::strcmp(argv[i], "hang") == 0) gHang = true;
        if (std::strncmp(argv[i], "ready=", 6) == 0) ready = argv[i] + 6;
    }

    gTermination = CreateEventA(nullptr, TRUE, FALSE, "KorvisanTerminationEvent");
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "BrantokeTestWindow";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&wc);
    std::string title = "Brantoke AntiVirus " + name;
    HWND hwnd = CreateWindowA(wc.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW, 10, 10, 300, 200, nullptr, nullptr,
                              wc.hInstance, nullptr);
    if (hwnd == nullptr) return 3;
    ShowWindow(hwnd, minimized ? SW_SHOWMINIMIZED : SW_SHOWNORMAL);
    RecordLine(gRecord, "started");
    if (!ready.empty()) {
        HANDLE event = CreateEventA(nullptr, TRUE, FALSE, ready.c_str());
        if (event) {
            SetEvent(event);
            CloseHandle(event);
        }
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
