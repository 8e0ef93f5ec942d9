/* A stand-in Program Manager for the start-when-absent case:
 *   ddestub SERVICE LOGFILE
 * Serves SERVICE (topic SERVICE), appends every execute text to LOGFILE as
 * a line, and ends when its conversation ends. */
#include <windows.h>

#include <ddeml.h>
#include <stdio.h>
#include <stdlib.h>

static DWORD instance;
static HSZ service;
static const char* logPath;

static HDDEDATA CALLBACK Callback(UINT type, UINT format, HCONV conv, HSZ hsz1, HSZ hsz2, HDDEDATA data, ULONG_PTR d1,
                                  ULONG_PTR d2)
{
    switch (type) {
    case XTYP_CONNECT:
        return (HDDEDATA)(ULONG_PTR)(DdeCmpStringHandles(hsz1, service) == 0 &&
                                     DdeCmpStringHandles(hsz2, service) == 0);
    case XTYP_EXECUTE: {
        char text[1024] = {0};
        DdeGetData(data, (BYTE*)text, sizeof text - 1, 0);
        FILE* f = fopen(logPath, "ab");
        if (f) {
            fprintf(f, "%s\n", text);
            fclose(f);
        }
        return (HDDEDATA)DDE_FACK;
    }
    case XTYP_DISCONNECT: PostQuitMessage(0); return NULL;
    default: return NULL;
    }
}

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrev, LPSTR cmdLine, int show)
{
    if (__argc != 3) return 1;
    logPath = __argv[2];
    if (DdeInitializeA(&instance, Callback, APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES, 0) !=
        DMLERR_NO_ERROR)
        return 1;
    service = DdeCreateStringHandleA(instance, __argv[1], CP_WINANSI);
    DdeNameService(instance, service, 0, DNS_REGISTER);
    /* Never outlive a test that forgot it. */
    SetTimer(NULL, 0, 60000, NULL);
    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0) {
        if (msg.message == WM_TIMER && msg.hwnd == NULL) break;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    DdeNameService(instance, 0, 0, DNS_UNREGISTER);
    DdeFreeStringHandle(instance, service);
    DdeUninitialize(instance);
    return 0;
}
