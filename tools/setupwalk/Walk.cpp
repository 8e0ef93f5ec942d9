#include "tools/setupwalk/Walk.h"

#include "resources/ids.h"
#include "tools/setupwalk/Log.h"
#include "tools/setupwalk/Screen.h"
#include "tools/setupwalk/SetupWindows.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace walk {

namespace {

constexpr DWORD kExitTimeoutMs = 60000; // from the last page to setup's end
constexpr DWORD kUnknownLimitMs = 2000; // for a window to become one the walk knows

// ---- The component list of page 127 -----------------------------------------

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
    SetSetupProcess(setup_.dwProcessId);
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
        // OK comes back once the run is taken back.
        if (!AwaitEnabled(page, IDOK, static_cast<DWORD>(o_.pageTimeoutSeconds) * 1000u))
            return Fail("page %d did not finish taking the run back", id);
        if (o_.cancelled) {
            Shoot(page, id);
            return Press(page, IDOK) ? Step::Done : Fail("cannot press OK on %d", id);
        }
        [[fallthrough]];
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
                    Fail("setup did not end within %lu s of its last page", limit / 1000);
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
    if (o_.cancelled) {
        if (walk::Contains(pages_, IDD_NOT_INSTALLED) && code == 1602) return 0;
        Say("FAILED: the cancelled run did not end on page 116 with 1602");
        return 1;
    }
    if (!walk::Contains(pages_, IDD_COMPLETE)) {
        Say("FAILED: setup ended before the installation was complete");
        return 1;
    }
    return code == 0 || code == 3010 ? 0 : 1;
}

} // namespace

int RunWalk(const Options& options)
{
    Walk walk(options);
    return walk.Run();
}

} // namespace walk
