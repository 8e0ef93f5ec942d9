// Small helpers used across the program's pages.
#pragma once
#include <windows.h>

#include <string>

// Removes and dispatches every pending message of the thread. A quit message
// is posted again with its exit code and ends the call at once.
void ProcessPendingMessages();

// Waits for the object while dispatching the thread's messages, so that a
// program waited for can send to our windows without both blocking. After a
// quit message only sent messages are handled; the quit is posted again.
void WaitDispatching(HANDLE object);

// While it lives, a drive without its medium (an empty floppy or CD drive)
// fails the call instead of showing the system's "not ready" box, which
// Windows 95 shows for every probe. Media and drive probes hold one.
class QuietDriveProbe {
public:
    QuietDriveProbe() : previous_(SetErrorMode(SEM_FAILCRITICALERRORS))
    {
        SetErrorMode(previous_ | SEM_FAILCRITICALERRORS);
    }
    ~QuietDriveProbe() { SetErrorMode(previous_); }
    QuietDriveProbe(const QuietDriveProbe&) = delete;
    QuietDriveProbe& operator=(const QuietDriveProbe&) = delete;

private:
    UINT previous_;
};

// Places a window by fractions of its owner's size (or the screen's).
void PlaceWindow(HWND window, HWND owner, int a, int b, int c, int d);

// Text of a child control from a printf format.
void SetItemTextF(HWND dialog, int id, const char* format, ...);

// Font of a child control.
void SetItemFont(HWND dialog, int id, HFONT font);

// A font from a face name and a size in points (display's pixels per inch / 72).
HFONT MakeFont(const char* face, int points, bool bold);
