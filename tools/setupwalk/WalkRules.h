// What the walk knows about setup's windows, free of Win32 so that it can be
// tested natively: which page a dialog on screen is (from its controls and
// texts, as a person would tell), which prompts the walk answers and how, and
// the walk's command line.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace walk {

// One child window of a dialog as it can be seen from outside.
struct Control {
    int id = 0;
    std::string className; // "Button", "Static", "Edit", ...
    std::string text;
};

struct WindowView {
    std::string caption;
    std::vector<Control> controls;
};

enum class Kind {
    Page,      // a page or dialog template of setup, id in Identity::page
    Prompt,    // a message box: answered from the prompt table
    Billboard, // a picture shown beside the copy page
    Other,
};

struct Identity {
    Kind kind = Kind::Other;
    int page = 0;
};

Identity Identify(const WindowView& view);

// All static texts of a message box, joined by blanks.
std::string PromptText(const WindowView& view);

// The button the walk presses on a prompt with this text, or 0 when the walk
// does not expect it (the walk then stops and names it).
int AnswerFor(const std::string& promptText);

struct Options {
    std::string setup;                  // setup.exe to start
    std::vector<std::string> arguments; // passed on to setup.exe
    std::string shotDirectory;          // empty: no screenshots
    std::vector<int> shotPages;         // empty: every page
    std::string name = "Ann User";
    std::string company = "Sample Company";
    std::string home = "C:\\KORAV";
    std::vector<std::string> components; // list titles to have checked
    bool componentsGiven = false;        // otherwise the page's own choice stays
    bool scanNow = false;                // "Scan My Computer Now" on page 115
    bool integrateBrowsers = true;       // check the browsers page 1557 offers
    bool cancelled = false;              // the run is cancelled: it ends on page 116 with 1602
    int pageTimeoutSeconds = 120;
};

// Parses "/name:value" options up to the setup program; what follows it goes
// to setup. False with a message in error on a bad or missing argument.
bool ParseOptions(const std::vector<std::string>& args, Options& options, std::string& error);

// "07-1556.bmp": the page's place in the walk (from 1) and its id.
std::string ShotFileName(int order, int page);

bool Contains(const std::vector<int>& list, int value);

// The BMP file header and info header of a bottom-up 24-bit picture.
std::vector<uint8_t> BmpHeader(int width, int height);

} // namespace walk
