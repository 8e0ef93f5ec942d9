// setup's windows as anyone can see and use them: which one asks something
// of a person now and what it shows (caption, controls and their texts, the
// items of the component list), the clicks and typed text a person gives
// them, and the folder windows of other programs that open over them.
#pragma once
#include "tools/setupwalk/WalkRules.h"

#include <windows.h>

#include <string>
#include <vector>

namespace walk {

// How often the walk looks again at what it waits for.
constexpr DWORD kPollMs = 10;

// The process of the setup walked: its windows are the ones looked for, and
// every other program's window is in the way.
void SetSetupProcess(DWORD process);

// Program Manager opens a window on each program group setup makes; a
// person closes it to see setup again. True when one was closed now.
bool CloseFolderWindows();

// Whether a window of another program lies over the page: the window at its
// centre and near its corners belongs to someone else.
bool Covered(HWND window);

struct Seen {
    HWND window = nullptr;
    walk::Identity identity;
    walk::WindowView view;
};

// What setup asks of a person now: the enabled prompt or modal dialog over a
// page, else the page. A page under a prompt is disabled; billboards do not
// count.
Seen CurrentWindow(DWORD process);

// ---- What a person does ---------------------------------------------------

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr);

// A button that leads on: posted, since what it starts may run long or open
// a prompt of its own.
bool Press(HWND page, int id);

// A button the page disables while it works (page 116 while it takes the
// run back): true once it is enabled, false when limitMs pass first.
bool AwaitEnabled(HWND page, int id, DWORD limitMs);

// A radio button or check box: clicked, and back when the page has seen it.
bool Click(HWND page, int id);

bool Checked(HWND page, int id);

bool Type(HWND page, int id, const std::string& text);

// ---- The component list of page 127 -----------------------------------------

// The list draws a box before each title, crossed when the component is
// chosen: read from the screen, as a person sees it.
struct ListItem {
    std::string title;
    RECT box; // in list client coordinates
};

std::vector<ListItem> ComponentItems(HWND list);

} // namespace walk
