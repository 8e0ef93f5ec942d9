// The walk's reading of setup's windows and of its own command line.
#include "resources/ids.h"
#include "tools/setupwalk/WalkRules.h"

#include <gtest/gtest.h>

using walk::Control;
using walk::Kind;
using walk::WindowView;

namespace {

// Pages as the walk sees them: the controls their templates give them (the
// frame, picture and buttons every wizard page has, plus their own).
WindowView Page(std::vector<Control> own)
{
    WindowView v;
    v.controls = {{IDC_PICTURE, "Button", ""}, {IDC_FRAME, "Static", ""}, {1, "Button", "&Next>"}};
    v.controls.insert(v.controls.end(), own.begin(), own.end());
    return v;
}

} // namespace

TEST(WalkRules, TellsEachPageByWhatItShows)
{
    struct Case {
        WindowView view;
        int page;
    };
    const Case cases[] = {
        {Page({{-1 & 0xFFFF, "Static", "Welcome to Brantoke AntiVirus for Windows 95."}}), IDD_WELCOME},
        {Page({{IDC_USER_NAME, "Edit", ""}, {IDC_COMPANY_NAME, "Edit", ""}}), IDD_USER_INFO},
        {Page({{IDC_EXPRESS, "Button", "&Express Setup"}, {IDC_CUSTOM, "Button", "&Custom Setup"}}), IDD_SETUP_TYPE},
        {Page({{IDC_COMPONENT_LIST, "ListBox", ""}}), IDD_COMPONENTS},
        {Page({{IDC_HOME_DIRECTORY, "Edit", "C:\\KORAV"}, {IDC_BROWSE, "Button", "&Browse..."}}), IDD_SELECT_DIRECTORY},
        // 1022 is the Navigator box here and the scan box on page 115.
        {Page({{IDC_NAVIGATOR, "Button", ""}, {IDC_RUN_AUTO_DOWNLOAD, "Button", ""}}), IDD_INTERNET_OPTIONS},
        {{"",
          {{0xFFFF, "Static", "Brantoke AntiVirus for Windows 95 Installation is complete."},
           {IDC_SCAN_NOW, "Button", "Scan My Computer Now"}}},
         IDD_COMPLETE},
        // 1054 is the backup's activity line and the memory scan's status.
        {{"", {{IDC_BACKUP_DESTINATION, "Static", ""}, {IDC_BACKUP_ACTIVITY, "Static", "Done"}}}, IDD_BACKUP},
        {{"Memory Scan", {{IDC_SCAN_STATUS, "Static", ""}, {IDC_PROGRESS, "msctls_progress32", ""}}}, IDD_MEMORY_SCAN},
        {{"", {{0xFFFF, "Static", "Setup is stopping Brantoke AntiVirus applications..."}}}, IDD_STOPPING_PRODUCT},
        {{"", {{0xFFFF, "Static", "Reading Setup information. Please wait."}}}, IDD_READING_SETUP},
        {Page({{0xFFFF, "Static", "All required information has been collected."}}), IDD_SUMMARY},
        {{"", {{IDC_GAUGE, "Static", ""}, {2, "Button", "Cancel"}}}, IDD_COPY_PROGRESS},
        {{"", {{0xFFFF, "Static", "Configuring registry ..."}}}, IDD_CONFIGURING},
        {{"", {{IDC_DONT_RESTART, "Button", ""}, {IDC_RESTART_NOW, "Button", ""}}}, IDD_RESTART},
        {{"", {{0xFFFF, "Static", "... has NOT been properly installed. ..."}, {1, "Button", "OK"}}},
         IDD_NOT_INSTALLED},
    };
    for (const Case& c : cases) {
        walk::Identity id = walk::Identify(c.view);
        EXPECT_EQ(id.kind, Kind::Page) << c.page;
        EXPECT_EQ(id.page, c.page);
    }
}

TEST(WalkRules, TellsPromptsBillboardsAndStrangers)
{
    const WindowView box = {
        "Brantoke AntiVirus for Windows 95 Setup",
        {{0x440, "Static", ""}, {100, "Static", "Please specify a user name"}, {1, "Button", "OK"}}};
    EXPECT_EQ(walk::Identify(box).kind, Kind::Prompt);
    EXPECT_EQ(walk::PromptText(box), "Please specify a user name");
    EXPECT_EQ(walk::Identify({"", {{IDC_PICTURE, "Static", ""}}}).kind, Kind::Billboard);
    EXPECT_EQ(walk::Identify({"Something", {{0xFFFF, "Static", "hello"}}}).kind, Kind::Other);
}

TEST(WalkRules, AnswersOnlyThePromptsItExpects)
{
    struct Case {
        const char* text;
        int answer;
    };
    const Case cases[] = {
        {"Brantoke AntiVirus for Windows 95 installation not complete. Do you really want to exit Setup?", 7},
        {"The space needed for the options you selected is approximately  900 bytes. The drive C:  ONLY HAS 10 bytes "
         "available. Would you like to continue anyway?",
         6},
        {"Please specify a user name", 0},
        {"Error Scanning Memory!\nWould you like to continue Setup now?", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(walk::AnswerFor(c.text), c.answer) << c.text;
}

TEST(WalkRules, ReadsItsCommandLine)
{
    walk::Options o;
    std::string error;
    ASSERT_TRUE(
        walk::ParseOptions({"/shots:C:\\pages", "/shoot:102,1568", "/name:Bo Li", "/components:Manager,Auto Download",
                            "/scannow:1", "/timeout:30", "D:\\DISK01\\setup.exe", "/M:C:\\S.MIF", "/x"},
                           o, error))
        << error;
    EXPECT_EQ(o.shotDirectory, "C:\\pages");
    EXPECT_EQ(o.shotPages, (std::vector<int>{102, 1568}));
    EXPECT_EQ(o.name, "Bo Li");
    EXPECT_EQ(o.components, (std::vector<std::string>{"Manager", "Auto Download"}));
    EXPECT_TRUE(o.componentsGiven);
    EXPECT_TRUE(o.scanNow);
    EXPECT_EQ(o.pageTimeoutSeconds, 30);
    EXPECT_EQ(o.setup, "D:\\DISK01\\setup.exe");
    EXPECT_EQ(o.arguments, (std::vector<std::string>{"/M:C:\\S.MIF", "/x"}));

    for (const char* bad : {"/shoot:12x", "/shoot:", "/timeout:0", "/scannow:yes", "/colour:red", "/name"}) {
        walk::Options other;
        EXPECT_FALSE(walk::ParseOptions({bad, "setup.exe"}, other, error)) << bad;
    }
    walk::Options none;
    EXPECT_FALSE(walk::ParseOptions({"/name:x"}, none, error));
    EXPECT_EQ(error, "no setup program given");
}

TEST(WalkRules, NamesShotsAndWritesTheirHeader)
{
    EXPECT_EQ(walk::ShotFileName(3, 1568), "03-1568.bmp");
    const std::vector<uint8_t> h = walk::BmpHeader(5, 2); // rows of 15 bytes padded to 16
    ASSERT_EQ(h.size(), 54u);
    EXPECT_EQ(h[0], 'B');
    EXPECT_EQ(h[2], 54 + 32); // file size
    EXPECT_EQ(h[18], 5);
    EXPECT_EQ(h[22], 2);
    EXPECT_EQ(h[28], 24);
    EXPECT_EQ(h[34], 32); // image size
}
