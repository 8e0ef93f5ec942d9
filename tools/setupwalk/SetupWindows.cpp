#include "tools/setupwalk/SetupWindows.h"

#include "resources/ids.h"
#include "tools/setupwalk/Log.h"

#include <algorithm>

namespace walk {

namespace {

constexpr DWORD kAnswerTimeoutMs = 10000; // for one message to setup

DWORD g_setupProcess = 0;

std::string TextOf(HWND window)
{
    // Read from the window manager: no message to a program that is busy.
    wchar_t wide[1024] = {};
    int n = InternalGetWindowText(window, wide, 1024);
    char text[2048] = {};
    if (n > 0) WideCharToMultiByte(CP_ACP, 0, wide, n, text, sizeof text - 1, nullptr, nullptr);
    return text;
}

std::string ClassOf(HWND window)
{
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

BOOL CALLBACK CloseFolderWindow(HWND window, LPARAM param)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    const std::string name = ClassOf(window);
    if (process == g_setupProcess || !IsWindowVisible(window) ||
        (name != "ExplorerWClass" && name != "ExploreWClass" && name != "CabinetWClass"))
        return TRUE;
    static std::vector<HWND> closed; // asked once; it may take a moment to go
    if (std::find(closed.begin(), closed.end(), window) != closed.end()) return TRUE;
    closed.push_back(window);
    PostMessageA(window, WM_CLOSE, 0, 0);
    *reinterpret_cast<bool*>(param) = true;
    Say("     closed the folder window \"%s\" that opened over setup", TextOf(window).c_str());
    return TRUE;
}

BOOL CALLBACK AddControl(HWND child, LPARAM param)
{
    auto* view = reinterpret_cast<walk::WindowView*>(param);
    walk::Control c;
    c.id = GetDlgCtrlID(child) & 0xFFFF;
    c.className = ClassOf(child);
    c.text = TextOf(child);
    view->controls.push_back(c);
    return TRUE;
}

walk::WindowView ViewOf(HWND window)
{
    walk::WindowView view;
    view.caption = TextOf(window);
    EnumChildWindows(window, AddControl, reinterpret_cast<LPARAM>(&view));
    return view;
}

struct Search {
    DWORD process;
    std::vector<Seen> found;
};

BOOL CALLBACK AddDialog(HWND window, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != search->process || !IsWindowVisible(window) || ClassOf(window) != "#32770") return TRUE;
    Seen seen;
    seen.window = window;
    seen.view = ViewOf(window);
    seen.identity = walk::Identify(seen.view);
    // A prompt is modal: the window it belongs to is disabled. Anything else
    // with buttons is a page still making its controls.
    HWND owner = GetWindow(window, GW_OWNER);
    if (seen.identity.kind == walk::Kind::Prompt && (!owner || IsWindowEnabled(owner)))
        seen.identity.kind = walk::Kind::Other;
    search->found.push_back(seen);
    return TRUE;
}

bool IsModalDialog(int page)
{
    return page == IDD_DISKETTE_PROMPT || page == IDD_ERROR_REPORT || page == IDD_DIRECTORY_PICKER ||
        page == IDD_RESTART_COUNTDOWN;
}

} // namespace

void SetSetupProcess(DWORD process) { g_setupProcess = process; }

bool CloseFolderWindows()
{
    bool closed = false;
    EnumWindows(CloseFolderWindow, reinterpret_cast<LPARAM>(&closed));
    return closed;
}

bool Covered(HWND window)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return true;
    const LONG cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2;
    for (POINT p : {POINT{cx, cy}, POINT{r.left + 4, r.top + 4}, POINT{r.right - 5, r.top + 4},
                    POINT{r.left + 4, r.bottom - 5}, POINT{r.right - 5, r.bottom - 5}}) {
        DWORD process = 0;
        GetWindowThreadProcessId(WindowFromPoint(p), &process);
        if (process != g_setupProcess) return true;
    }
    return false;
}

Seen CurrentWindow(DWORD process)
{
    Search search{process, {}};
    EnumWindows(AddDialog, reinterpret_cast<LPARAM>(&search));
    Seen best;
    int bestRank = 0;
    for (const Seen& s : search.found) {
        if (!IsWindowEnabled(s.window) || s.identity.kind == walk::Kind::Billboard) continue;
        int rank = 1;
        if (s.identity.kind == walk::Kind::Page) rank = IsModalDialog(s.identity.page) ? 3 : 2;
        if (s.identity.kind == walk::Kind::Prompt) rank = 3;
        if (rank > bestRank) {
            best = s;
            bestRank = rank;
        }
    }
    return best;
}

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs,
                               result ? result : &ignored) != 0;
}

bool Press(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    return button && IsWindowEnabled(button) && PostMessageA(button, BM_CLICK, 0, 0);
}

bool AwaitEnabled(HWND page, int id, DWORD limitMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        HWND button = GetDlgItem(page, id);
        if (!button) return false;
        if (IsWindowEnabled(button)) return true;
        if (GetTickCount() - start > limitMs) return false;
        Sleep(kPollMs);
    }
}

bool Click(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    return button && Send(button, BM_CLICK, 0, 0);
}

bool Checked(HWND page, int id)
{
    DWORD_PTR state = 0;
    return Send(GetDlgItem(page, id), BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
}

bool Type(HWND page, int id, const std::string& text)
{
    HWND edit = GetDlgItem(page, id);
    return edit && Send(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<ListItem> ComponentItems(HWND list)
{
    std::vector<ListItem> items;
    DWORD_PTR count = 0;
    if (!Send(list, LB_GETCOUNT, 0, 0, &count) || static_cast<LRESULT>(count) == LB_ERR) return items;
    for (int i = 0; i < static_cast<int>(count); ++i) {
        ListItem item;
        // Asked for in Unicode: Wine hands an ANSI list's text to another
        // process as Unicode whichever way it is asked for.
        DWORD_PTR length = 0;
        wchar_t wide[256] = {};
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_NORMAL, kAnswerTimeoutMs, &length) && length < 256)
            SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide), SMTO_NORMAL, kAnswerTimeoutMs,
                                &ignored);
        char title[512] = {};
        WideCharToMultiByte(CP_ACP, 0, wide, -1, title, sizeof title - 1, nullptr, nullptr);
        item.title = title;
        RECT r = {};
        DWORD_PTR ok = 0;
        Send(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r), &ok);
        // The box: square, 2 pixels inside the item's top, left and bottom.
        item.box = {r.left + 2, r.top + 2, r.left + 2 + (r.bottom - r.top - 4), r.bottom - 2};
        items.push_back(item);
    }
    return items;
}

} // namespace walk
