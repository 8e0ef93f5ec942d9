// setupwalk: walks setup.exe through an interactive installation the way a
// person at the machine would. It starts setup, waits for each page to show,
// fills in what a person types, ticks and chooses, presses the page's button
// and answers the prompts a person sees; it stops at the restart offer without
// restarting and reports setup's exit code. It works only through setup's
// windows as anyone can see and use them (window texts and geometry, the
// screen's pixels, clicks and typed text), never through setup's memory.
//
//   setupwalk [/shots:DIR] [/shoot:ID,...] [/name:TEXT] [/company:TEXT]
//             [/home:DIR] [/components:TITLE,...] [/scannow:0|1]
//             [/browsers:0|1] [/timeout:SECONDS] SETUP.EXE [SETUP ARGUMENTS...]
//
// With /shots each page is saved as DIR\NN-ID.bmp (NN its place in the walk)
// once its picture has settled; /shoot limits that to the pages named. The
// folder windows Program Manager opens over setup are closed, as a person
// would. Every wait is bounded; a walk that cannot go on names the page it
// stopped at and ends setup. Exit code 0: the walk reached its end and setup
// ended with 0 or 3010; 1: it did not; 2: a bad command line.
#include "resources/ids.h"
#include "tools/setupwalk/WalkRules.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kPollMs = 10;
constexpr DWORD kSettleStepMs = 60;
constexpr int kSettledShots = 3;          // equal shots in a row
constexpr DWORD kSettleLimitMs = 2500;    // a page that never stops moving
constexpr DWORD kAnswerTimeoutMs = 10000; // for one message to setup
constexpr DWORD kExitTimeoutMs = 60000;   // from the restart offer to setup's end
constexpr DWORD kUnknownLimitMs = 2000;   // for a window to become one the walk knows

DWORD g_start = 0;
DWORD g_setupProcess = 0;

double Elapsed() { return (GetTickCount() - g_start) / 1000.0; }

void Say(const char* format, ...)
{
    std::printf("walk %6.1f s: ", Elapsed());
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

// ---- What is on screen ----------------------------------------------------

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

// The whole screen as a bottom-up 24-bit picture.
struct Shot {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<uint8_t> pixels;

    bool Take()
    {
        HDC screen = GetDC(nullptr);
        if (!screen) return false;
        width = GetSystemMetrics(SM_CXSCREEN);
        height = GetSystemMetrics(SM_CYSCREEN);
        stride = (width * 3 + 3) & ~3;
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 24;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HDC memory = CreateCompatibleDC(screen);
        bool ok = dib && memory;
        if (ok) {
            HGDIOBJ old = SelectObject(memory, dib);
            ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != FALSE;
            GdiFlush();
            if (ok) {
                const uint8_t* begin = static_cast<const uint8_t*>(bits);
                pixels.assign(begin, begin + static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
            }
            SelectObject(memory, old);
        }
        if (memory) DeleteDC(memory);
        if (dib) DeleteObject(dib);
        ReleaseDC(nullptr, screen);
        return ok;
    }

    COLORREF At(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height) return CLR_INVALID;
        const uint8_t* p = &pixels[static_cast<std::size_t>(height - 1 - y) * stride + static_cast<std::size_t>(x) * 3];
        return RGB(p[2], p[1], p[0]);
    }

    bool Save(const std::string& path) const
    {
        FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) return false;
        const std::vector<uint8_t> header = walk::BmpHeader(width, height);
        bool ok = std::fwrite(header.data(), 1, header.size(), file) == header.size() &&
            std::fwrite(pixels.data(), 1, pixels.size(), file) == pixels.size();
        return std::fclose(file) == 0 && ok;
    }
};

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

// Program Manager opens a window on each program group setup makes; a
// person closes it to see setup again.
bool CloseFolderWindows()
{
    bool closed = false;
    EnumWindows(CloseFolderWindow, reinterpret_cast<LPARAM>(&closed));
    return closed;
}

bool Neutral(COLORREF c) { return c != CLR_INVALID && GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

bool SameRegion(const Shot& a, const Shot& b, const RECT& r)
{
    if (a.width != b.width || a.height != b.height) return false;
    const int left = std::max<int>(r.left, 0), right = std::min<int>(r.right, a.width);
    if (right <= left) return true;
    for (int y = std::max<int>(r.top, 0); y < std::min<int>(r.bottom, a.height); ++y) {
        const std::size_t at =
            static_cast<std::size_t>(a.height - 1 - y) * a.stride + static_cast<std::size_t>(left) * 3;
        if (std::memcmp(&a.pixels[at], &b.pixels[at], static_cast<std::size_t>(right - left) * 3) != 0) return false;
    }
    return true;
}

// Whether a window of another program lies over the page: the window at its
// centre and near its corners belongs to someone else.
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

// Whether the window's picture has reached the screen: its frame's grey
// corners stand out from the blue backdrop, and where it is the screen has
// changed since the page before was shot (Wine puts a window's painting on
// screen when its program next looks at its messages, which a page's work may
// not do for a while).
bool OnScreen(const Shot& shot, HWND window, const Shot* before)
{
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    for (POINT p : {POINT{r.left + 1, r.top + 1}, POINT{r.right - 2, r.top + 1}, POINT{r.left + 1, r.bottom - 2},
                    POINT{r.right - 2, r.bottom - 2}})
        if (!Neutral(shot.At(p.x, p.y))) return false;
    return !before || before->pixels.empty() || !SameRegion(shot, *before, r);
}

// Shots of the screen once the window is on it, until kSettledShots in a row
// are the same (nothing moves any more) or the time is up. Only a shot taken
// while the window was shown counts; false when there is none. A page that
// works by itself may go at any moment: it is looked at more often.
bool SettledShot(HWND window, Shot& shot, const Shot* before, DWORD stepMs = kSettleStepMs)
{
    const DWORD start = GetTickCount();
    bool have = false;
    int same = 0;
    for (;;) {
        // A page may hide itself for a while and show again; gone is gone.
        if (!IsWindow(window)) return have;
        // A folder window closed over the page changes the picture: settle again.
        if (CloseFolderWindows()) same = 0;
        // A shot takes a while; whether the page was still there when it was
        // taken shows on the shot itself.
        Shot current;
        if (IsWindowVisible(window) && !Covered(window) && current.Take() && OnScreen(current, window, before) &&
            !Covered(window)) {
            same = have && current.pixels == shot.pixels ? same + 1 : 1;
            shot = std::move(current);
            have = true;
            if (same >= kSettledShots && !CloseFolderWindows()) return true;
            if (same >= kSettledShots) same = 0;
        }
        if (GetTickCount() - start > kSettleLimitMs) return have;
        Sleep(stepMs);
    }
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

struct Seen {
    HWND window = nullptr;
    walk::Identity identity;
    walk::WindowView view;
};

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

// What setup asks of a person now: the enabled prompt or modal dialog over a
// page, else the page. A page under a prompt is disabled; billboards do not
// count.
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

// ---- What a person does ---------------------------------------------------

bool Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR* result = nullptr)
{
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, kAnswerTimeoutMs,
                               result ? result : &ignored) != 0;
}

// A button that leads on: posted, since what it starts may run long or open
// a prompt of its own.
bool Press(HWND page, int id)
{
    HWND button = GetDlgItem(page, id);
    return button && IsWindowEnabled(button) && PostMessageA(button, BM_CLICK, 0, 0);
}

// A radio button or check box: clicked, and back when the page has seen it.
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

// ---- The component list of page 127 -----------------------------------------

// The list draws a box before each title, crossed when the component is
// chosen: read from the screen, as a person sees it.
struct ListItem {
    std::string title;
    RECT box; // in list client coordinates
};

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

bool BoxCrossed(const Shot& shot, HWND list, const RECT& box)
{
    POINT origin = {box.left, box.top};
    ClientToScreen(list, &origin);
    const int size = box.bottom - box.top;
    const COLORREF inside = shot.At(origin.x + 2, origin.y + 1); // off both diagonals
    const int cx = origin.x + size / 2;
    const int cy = origin.y + size / 2;
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx)
            if (shot.At(cx + dx, cy + dy) != inside) return true;
    return false;
}

bool Wanted(const walk::Options& o, const std::string& title)
{
    for (const std::string& c : o.components)
        if (lstrcmpiA(c.c_str(), title.c_str()) == 0) return true;
    return false;
}

bool ChooseComponents(HWND page, const walk::Options& o, std::string& error)
{
    HWND list = GetDlgItem(page, IDC_COMPONENT_LIST);
    std::vector<ListItem> items = ComponentItems(list);
    if (items.empty()) {
        error = "the component list is empty";
        return false;
    }
    std::string titles;
    for (const ListItem& item : items) titles += " \"" + item.title + "\"";
    for (const std::string& c : o.components) {
        bool listed = false;
        for (const ListItem& item : items) listed = listed || lstrcmpiA(item.title.c_str(), c.c_str()) == 0;
        if (!listed) {
            error = "the component list has no \"" + c + "\" (it lists" + titles + ")";
            return false;
        }
    }
    Shot shot;
    if (!SettledShot(page, shot, nullptr)) {
        error = "the page cannot be seen";
        return false;
    }
    for (const ListItem& item : items) {
        if (BoxCrossed(shot, list, item.box) == Wanted(o, item.title)) continue;
        const LPARAM at = MAKELPARAM((item.box.left + item.box.right) / 2, (item.box.top + item.box.bottom) / 2);
        Send(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
        Send(list, WM_LBUTTONUP, 0, at);
    }
    // The list repaints the boxes when setup gets round to it.
    const DWORD start = GetTickCount();
    for (;;) {
        std::string chosen, wrong;
        if (SettledShot(page, shot, nullptr)) {
            for (const ListItem& item : items) {
                const bool crossed = BoxCrossed(shot, list, item.box);
                if (crossed != Wanted(o, item.title)) wrong = item.title;
                if (crossed) chosen += (chosen.empty() ? "" : ", ") + item.title;
            }
            if (wrong.empty()) {
                Say("     components chosen: %s", chosen.c_str());
                return true;
            }
        }
        if (GetTickCount() - start > kSettleLimitMs) {
            error = wrong.empty() ? "the page cannot be seen" : "the box of \"" + wrong + "\" did not change";
            return false;
        }
        Sleep(kSettleStepMs);
    }
}

// ---- The walk -----------------------------------------------------------------

enum class Step { Next, Done, Failed };

class Walk {
public:
    explicit Walk(const walk::Options& options) : o_(options) {}

    int Run();

private:
    bool Start();
    Step OnPage(const Seen& page);
    Step OnPrompt(const Seen& prompt);
    Step Fail(const char* format, ...);
    void Shoot(HWND window, int page, bool byItself = false);
    void SaveFailureShot();

    const walk::Options& o_;
    PROCESS_INFORMATION setup_ = {};
    int order_ = 0;
    std::vector<int> pages_;
    Shot last_; // of the page before
};

bool Walk::Start()
{
    std::string line = "\"" + o_.setup + "\"";
    for (const std::string& a : o_.arguments) line += a.find(' ') == std::string::npos ? " " + a : " \"" + a + "\"";
    std::string directory = o_.setup;
    const std::size_t slash = directory.find_last_of("\\/");
    directory = slash == std::string::npos ? std::string() : directory.substr(0, slash);
    std::vector<char> commandLine(line.begin(), line.end());
    commandLine.push_back('\0');
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(o_.setup.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &si, &setup_)) {
        std::printf("walk: cannot start %s (error %lu)\n", o_.setup.c_str(), GetLastError());
        return false;
    }
    g_setupProcess = setup_.dwProcessId;
    Say("started %s", line.c_str());
    return true;
}

Step Walk::Fail(const char* format, ...)
{
    char text[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof text, format, args);
    va_end(args);
    Say("FAILED: %s", text);
    SaveFailureShot();
    return Step::Failed;
}

void Walk::SaveFailureShot()
{
    if (o_.shotDirectory.empty()) return;
    Shot shot;
    if (shot.Take()) shot.Save(o_.shotDirectory + "\\failure.bmp");
}

void Walk::Shoot(HWND window, int page, bool byItself)
{
    // Every page is shot, saved or not: the next one is told on screen by
    // how it differs from this one.
    Shot shot;
    const bool taken = SettledShot(window, shot, &last_, byItself ? kPollMs : kSettleStepMs);
    const bool wanted = !o_.shotDirectory.empty() && (o_.shotPages.empty() || walk::Contains(o_.shotPages, page));
    if (!taken) {
        if (wanted) Say("     page %d went by before it could be shot", page);
        return;
    }
    const std::string path = o_.shotDirectory + "\\" + walk::ShotFileName(order_, page);
    if (wanted && !shot.Save(path)) Say("     cannot write %s", path.c_str());
    last_ = std::move(shot);
}

Step Walk::OnPage(const Seen& seen)
{
    HWND page = seen.window;
    const int id = seen.identity.page;
    ++order_;
    pages_.push_back(id);
    Say("%02d page %d \"%s\"", order_, id, seen.view.caption.c_str());
    // Pages that work by themselves: watched, not touched.
    switch (id) {
    case IDD_STOPPING_PRODUCT:
    case IDD_READING_SETUP:
    case IDD_MEMORY_SCAN:
    case IDD_COPY_PROGRESS:
    case IDD_CONFIGURING:
    case IDD_BACKUP: Shoot(page, id, true); return Step::Next;
    default: break;
    }
    // The page has finished setting itself up once setup answers again.
    Send(page, WM_NULL, 0, 0);
    switch (id) {
    case IDD_WELCOME:
    case IDD_KEEP_CONFIG:
    case IDD_SUMMARY: Shoot(page, id); return Press(page, IDOK) ? Step::Next : Fail("cannot press Next on %d", id);
    case IDD_USER_INFO:
        if (!Type(page, IDC_USER_NAME, o_.name) || !Type(page, IDC_COMPANY_NAME, o_.company))
            return Fail("cannot type the names on page %d", id);
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("Next stays disabled on page %d", id);
    case IDD_SETUP_TYPE:
        if (!Click(page, IDC_CUSTOM) || !Checked(page, IDC_CUSTOM)) return Fail("cannot choose Custom Setup");
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press Next on %d", id);
    case IDD_COMPONENTS: {
        std::string error;
        if (o_.componentsGiven && !ChooseComponents(page, o_, error)) return Fail("page 127: %s", error.c_str());
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press Next on %d", id);
    }
    case IDD_SELECT_DIRECTORY:
        if (!Type(page, IDC_HOME_DIRECTORY, o_.home)) return Fail("cannot type the home directory");
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press Next on %d", id);
    case IDD_INTERNET_OPTIONS:
        for (int box : {IDC_NAVIGATOR, IDC_EXPLORER}) {
            HWND b = GetDlgItem(page, box);
            if (b && IsWindowEnabled(b) && Checked(page, box) != o_.integrateBrowsers) Click(page, box);
        }
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press Next on %d", id);
    case IDD_COMPLETE: {
        HWND box = GetDlgItem(page, IDC_SCAN_NOW);
        if (box && IsWindowEnabled(box) && Checked(page, IDC_SCAN_NOW) != o_.scanNow) Click(page, IDC_SCAN_NOW);
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press OK on %d", id);
    }
    case IDD_RESTART:
        Shoot(page, id);
        if (!Press(page, IDC_DONT_RESTART)) return Fail("cannot press Don't Restart Now");
        Say("     answered the restart offer: Don't Restart Now");
        return Step::Done;
    case IDD_INSTALL_CONDITIONS:
        Shoot(page, id);
        return Press(page, IDOK) ? Step::Next : Fail("cannot press Continue on %d", id);
    case IDD_NOT_INSTALLED:
    case IDD_ERROR_REPORT: {
        Shoot(page, id);
        std::string texts;
        for (const walk::Control& c : seen.view.controls)
            if (!c.text.empty() && c.className == "Static") texts += " | " + c.text;
        Step step = Fail("setup shows page %d:%s", id, texts.c_str());
        Press(page, IDOK);
        return step;
    }
    default: Shoot(page, id); return Fail("the walk does not expect page %d here", id);
    }
}

Step Walk::OnPrompt(const Seen& seen)
{
    const std::string text = walk::PromptText(seen.view);
    const int answer = walk::AnswerFor(text);
    if (answer == 0) return Fail("unexpected prompt \"%s\": %s", seen.view.caption.c_str(), text.c_str());
    Send(seen.window, WM_NULL, 0, 0);
    if (!Press(seen.window, answer)) return Fail("the prompt \"%s\" has no button %d", text.c_str(), answer);
    Say("     prompt \"%s\" answered with button %d", text.c_str(), answer);
    return Step::Next;
}

int Walk::Run()
{
    if (!o_.shotDirectory.empty()) CreateDirectoryA(o_.shotDirectory.c_str(), nullptr);
    if (!Start()) return 1;
    std::vector<HWND> handled; // a page under a prompt is not new again
    HWND unknown = nullptr;
    DWORD unknownSince = 0;
    DWORD since = GetTickCount();
    bool done = false;
    bool failed = false;
    const DWORD timeoutMs = static_cast<DWORD>(o_.pageTimeoutSeconds) * 1000u;
    while (!failed && WaitForSingleObject(setup_.hProcess, 0) == WAIT_TIMEOUT) {
        CloseFolderWindows();
        Seen seen = CurrentWindow(setup_.dwProcessId);
        const bool seenBefore = std::find(handled.begin(), handled.end(), seen.window) != handled.end();
        // A window not known yet may be a page still making its controls.
        if (seen.window && !seenBefore && seen.identity.kind == walk::Kind::Other) {
            if (seen.window != unknown) {
                unknown = seen.window;
                unknownSince = GetTickCount();
            }
            if (GetTickCount() - unknownSince > kUnknownLimitMs) {
                Fail("setup shows a window the walk does not know: \"%s\"", seen.view.caption.c_str());
                failed = true;
                break;
            }
            Sleep(kPollMs);
            continue;
        }
        if (!seen.window || seenBefore) {
            const DWORD limit = done ? kExitTimeoutMs : timeoutMs;
            if (GetTickCount() - since > limit) {
                if (done)
                    Fail("setup did not end within %lu s of the restart offer", limit / 1000);
                else
                    Fail("waited %lu s for what follows page %d", limit / 1000, pages_.empty() ? 0 : pages_.back());
                failed = true;
                break;
            }
            Sleep(kPollMs);
            continue;
        }
        handled.push_back(seen.window);
        since = GetTickCount();
        Step step = Step::Next;
        switch (seen.identity.kind) {
        case walk::Kind::Page: step = OnPage(seen); break;
        case walk::Kind::Prompt: step = OnPrompt(seen); break;
        default: break;
        }
        if (step == Step::Failed) failed = true;
        if (step == Step::Done) done = true;
    }
    std::string list;
    for (int p : pages_) list += " " + std::to_string(p);
    Say("pages:%s", list.c_str());
    if (failed) {
        // Nobody is left to answer it: closed, so that whoever waits for it is not held.
        if (WaitForSingleObject(setup_.hProcess, 0) == WAIT_TIMEOUT) {
            TerminateProcess(setup_.hProcess, 1);
            Say("ended setup.exe");
        }
        return 1;
    }
    DWORD code = 0;
    GetExitCodeProcess(setup_.hProcess, &code);
    Say("setup.exe ended with exit code %lu", code);
    CloseHandle(setup_.hThread);
    CloseHandle(setup_.hProcess);
    if (!walk::Contains(pages_, IDD_COMPLETE)) {
        Say("FAILED: setup ended before the installation was complete");
        return 1;
    }
    return code == 0 || code == 3010 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    g_start = GetTickCount();
    std::vector<std::string> args(argv + 1, argv + argc);
    walk::Options options;
    std::string error;
    if (!walk::ParseOptions(args, options, error)) {
        std::fprintf(stderr, "setupwalk: %s\n", error.c_str());
        return 2;
    }
    Walk walk(options);
    return walk.Run();
}
