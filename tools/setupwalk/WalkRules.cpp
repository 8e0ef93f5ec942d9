#include "tools/setupwalk/WalkRules.h"

#include "resources/ids.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>

namespace walk {

namespace {

constexpr int kIdOk = 1;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

bool Has(const WindowView& view, int id)
{
    for (const Control& c : view.controls)
        if (c.id == id) return true;
    return false;
}

bool Shows(const WindowView& view, const char* text)
{
    for (const Control& c : view.controls)
        if (c.text.find(text) != std::string::npos) return true;
    return false;
}

bool IsClass(const Control& c, const char* name)
{
    const std::string& a = c.className;
    std::size_t i = 0;
    for (; i < a.size() && name[i] != '\0'; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(name[i])))
            return false;
    return i == a.size() && name[i] == '\0';
}

// Pages told apart by a control only they have; earlier rows win where ids
// are shared (1054 is the backup's activity and the scan's status, 1022 the
// browsers page's Navigator box and the complete page's scan box).
struct ControlRule {
    int page;
    int control;
};
const ControlRule kByControl[] = {
    {IDD_USER_INFO, IDC_USER_NAME},
    {IDD_SETUP_TYPE, IDC_EXPRESS},
    {IDD_COMPONENTS, IDC_COMPONENT_LIST},
    {IDD_SELECT_DIRECTORY, IDC_HOME_DIRECTORY},
    {IDD_KEEP_CONFIG, IDC_KEEP_CONFIG},
    {IDD_INTERNET_OPTIONS, IDC_RUN_AUTO_DOWNLOAD},
    {IDD_COMPLETE, IDC_SCAN_NOW},
    {IDD_RESTART, IDC_DONT_RESTART},
    {IDD_COPY_PROGRESS, IDC_GAUGE},
    {IDD_BACKUP, IDC_BACKUP_DESTINATION},
    {IDD_MEMORY_SCAN, IDC_SCAN_STATUS},
    {IDD_INSTALL_CONDITIONS, IDC_CONDITIONS_LIST},
    {IDD_DISKETTE_PROMPT, IDC_DISKETTE_TEXT},
    {IDD_ERROR_REPORT, IDC_ERR_MORE},
    {IDD_DIRECTORY_PICKER, IDC_PICK_SUBDIRECTORY},
    {IDD_RESTART_COUNTDOWN, IDC_COUNTDOWN},
};

// Pages with nothing but texts of their own.
struct TextRule {
    int page;
    const char* text;
};
const TextRule kByText[] = {
    {IDD_WELCOME, "Welcome to Brantoke"},
    {IDD_STOPPING_PRODUCT, "Setup is stopping"},
    {IDD_READING_SETUP, "Reading Setup information"},
    {IDD_SUMMARY, "All required information has been collected"},
    {IDD_CONFIGURING, "Configuring registry"},
    {IDD_NOT_INSTALLED, "has NOT been properly installed"},
};

struct PromptRule {
    const char* text;
    int answer;
};
// What a person answers on the prompts this walk can meet: going on where
// setup offers it, never leaving.
const PromptRule kPrompts[] = {
    {"Do you really want to exit Setup?", kIdNo},
    {"Would you like to continue anyway?", kIdYes},
    {"was removed from memory", kIdOk},
};

bool IsMessageBoxButton(const Control& c) { return IsClass(c, "Button") && c.id >= 1 && c.id <= 7; }

} // namespace

Identity Identify(const WindowView& view)
{
    for (const ControlRule& rule : kByControl)
        if (Has(view, rule.control)) return {Kind::Page, rule.page};
    for (const TextRule& rule : kByText)
        if (Shows(view, rule.text)) return {Kind::Page, rule.page};
    if (view.controls.size() == 1 && view.controls[0].id == IDC_PICTURE && IsClass(view.controls[0], "Static"))
        return {Kind::Billboard, 0};
    for (const Control& c : view.controls)
        if (IsMessageBoxButton(c)) return {Kind::Prompt, 0};
    return {Kind::Other, 0};
}

std::string PromptText(const WindowView& view)
{
    std::string text;
    for (const Control& c : view.controls) {
        if (!IsClass(c, "Static") || c.text.empty()) continue;
        if (!text.empty()) text += ' ';
        text += c.text;
    }
    return text;
}

int AnswerFor(const std::string& promptText)
{
    for (const PromptRule& rule : kPrompts)
        if (promptText.find(rule.text) != std::string::npos) return rule.answer;
    return 0;
}

namespace {

std::vector<std::string> SplitList(const std::string& text)
{
    std::vector<std::string> items;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t comma = text.find(',', start);
        if (comma == std::string::npos) comma = text.size();
        if (comma > start) items.push_back(text.substr(start, comma - start));
        start = comma + 1;
    }
    return items;
}

bool ParseNumber(const std::string& text, int low, int high, int& value)
{
    if (text.empty() || text.size() > 9) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    value = std::atoi(text.c_str());
    return value >= low && value <= high;
}

bool ParseFlag(const std::string& text, bool& flag)
{
    if (text != "0" && text != "1") return false;
    flag = text == "1";
    return true;
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error)
{
    std::size_t i = 0;
    for (; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg.empty() || arg[0] != '/') break;
        const std::size_t colon = arg.find(':');
        const std::string key = arg.substr(1, colon == std::string::npos ? std::string::npos : colon - 1);
        const std::string value = colon == std::string::npos ? std::string() : arg.substr(colon + 1);
        bool ok = colon != std::string::npos;
        if (!ok) {
        } else if (key == "shots") {
            options.shotDirectory = value;
            ok = !value.empty();
        } else if (key == "shoot") {
            options.shotPages.clear();
            for (const std::string& item : SplitList(value)) {
                int page = 0;
                ok = ok && ParseNumber(item, 1, 65535, page);
                options.shotPages.push_back(page);
            }
            ok = ok && !options.shotPages.empty();
        } else if (key == "name") {
            options.name = value;
        } else if (key == "company") {
            options.company = value;
        } else if (key == "home") {
            options.home = value;
        } else if (key == "components") {
            options.components = SplitList(value);
            options.componentsGiven = true;
        } else if (key == "scannow") {
            ok = ParseFlag(value, options.scanNow);
        } else if (key == "browsers") {
            ok = ParseFlag(value, options.integrateBrowsers);
        } else if (key == "cancelled") {
            ok = ParseFlag(value, options.cancelled);
        } else if (key == "timeout") {
            ok = ParseNumber(value, 1, 3600, options.pageTimeoutSeconds);
        } else {
            ok = false;
        }
        if (!ok) {
            error = "bad option " + arg;
            return false;
        }
    }
    if (i == args.size()) {
        error = "no setup program given";
        return false;
    }
    options.setup = args[i];
    options.arguments.assign(args.begin() + static_cast<std::ptrdiff_t>(i) + 1, args.end());
    return true;
}

std::string ShotFileName(int order, int page)
{
    char name[32];
    (void)std::snprintf(name, sizeof name, "%02d-%d.bmp", order, page); // two ints always fit
    return name;
}

bool Contains(const std::vector<int>& list, int value)
{
    for (int item : list)
        if (item == value) return true;
    return false;
}

std::vector<uint8_t> BmpHeader(int width, int height)
{
    const uint32_t stride = (static_cast<uint32_t>(width) * 3u + 3u) & ~3u;
    const uint32_t image = stride * static_cast<uint32_t>(height);
    std::vector<uint8_t> h(54, 0);
    auto put16 = [&](std::size_t at, uint32_t v) {
        h[at] = static_cast<uint8_t>(v);
        h[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](std::size_t at, uint32_t v) {
        put16(at, v & 0xFFFFu);
        put16(at + 2, v >> 16);
    };
    h[0] = 'B';
    h[1] = 'M';
    put32(2, 54 + image); // file size
    put32(10, 54);        // pixel data offset
    put32(14, 40);        // info header size
    put32(18, static_cast<uint32_t>(width));
    put32(22, static_cast<uint32_t>(height)); // positive: bottom-up rows
    put16(26, 1);                             // planes
    put16(28, 24);                            // bits per pixel
    put32(34, image);
    return h;
}

} // namespace walk
