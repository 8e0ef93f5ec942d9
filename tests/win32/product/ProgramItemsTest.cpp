// The Program Manager items against Wine's own DDE server: the texts sent,
// and the Start Menu folders and shortcuts that appear and disappear.
#include "app/SetupApp.h"
#include "product/ProgmanClient.h"
#include "product/ProgramItems.h"
#include "tests/win32/support/WinTest.h"

#include <shlobj.h>
#include <shobjidl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using wintest::Exists;
using wintest::ProgramsFolder;

using wintest::ModuleDirectory;

struct Shortcut {
    bool loaded = false;
    std::string path, description, icon, arguments;
    int iconIndex = -1;
    WORD hotKey = 0;
};

Shortcut ReadShortcut(const std::string& file)
{
    Shortcut s;
    IShellLinkA* link = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&link))))
        return s;
    IPersistFile* persist = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
        wchar_t wide[MAX_PATH + 1] = {};
        MultiByteToWideChar(CP_ACP, 0, file.c_str(), -1, wide, MAX_PATH);
        if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
            s.loaded = true;
            char buf[MAX_PATH + 1] = {};
            link->GetPath(buf, MAX_PATH, nullptr, 0);
            s.path = buf;
            buf[0] = 0;
            link->GetDescription(buf, MAX_PATH);
            s.description = buf;
            buf[0] = 0;
            link->GetIconLocation(buf, MAX_PATH, &s.iconIndex);
            s.icon = buf;
            buf[0] = 0;
            link->GetArguments(buf, MAX_PATH);
            s.arguments = buf;
            link->GetHotkey(&s.hotKey);
        }
        persist->Release();
    }
    link->Release();
    return s;
}

// A command text and whether the server took it.
struct Sent {
    std::string text;
    bool accepted;
};

void Record(ProgmanClient& client, std::vector<Sent>& sent)
{
    client.SetObserver([&sent](const std::string& text, bool accepted) { sent.push_back({text, accepted}); });
}

std::vector<std::string> Texts(const std::vector<Sent>& sent)
{
    std::vector<std::string> texts;
    for (const Sent& s : sent) texts.push_back(s.text);
    return texts;
}

bool AcceptedText(const std::vector<Sent>& sent, const std::string& text)
{
    for (const Sent& s : sent)
        if (s.text == text) return s.accepted;
    ADD_FAILURE() << "not sent: " << text;
    return false;
}

Target MakeTarget(const std::string& title, const std::string& path, const std::string& arguments = "")
{
    Target t;
    t.Title = title;
    t.Arguments = arguments;
    if (!path.empty()) t.Path.Set(path);
    return t;
}

class ProgramItems : public ::testing::Test {
protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }

    void SetUp() override
    {
        home = "C:\\Program Files\\Korvi Test\\";
        CreateDirectoryA(home.c_str(), nullptr);
        for (const char* f : {"korvi95.exe", "monitor.exe", "korscan.exe", "Korvi95.WRI", "korvi.ico"})
            ASSERT_TRUE(wintest::WriteFileText(home + f, "stand-in"));
        settings.GroupName = "Brantoke AntiVirus for Windows 95";
        settings.HomeDirectory = "C:\\Program Files\\Korvi Test";
        settings.IconDirectory = home;
        settings.ReleaseNotesTitle = "Brantoke AntiVirus for Windows 95 Release Notes";
        group = ProgramsFolder() + settings.GroupName + "\\";
        startUp = ProgramsFolder() + "StartUp\\";
    }

    std::string home, group, startUp;
    ProgramItemsSettings settings;
};

// First in this program, so that it meets a desktop process that has never
// had a group chosen.
TEST_F(ProgramItems, NoItemCommandBeforeAGroupIsChosen)
{
    std::vector<Sent> sent;
    ProgmanClient client;
    Record(client, sent);
    EXPECT_FALSE(client.AddItem(home + "korvi95.exe ", "Early", "", 0, -1, -1, "", -1, 0));
    EXPECT_FALSE(client.DeleteItem("Early"));
    EXPECT_FALSE(client.ReplaceItem("Early"));
    EXPECT_TRUE(client.Connected());
    // The desktop process is still there to take the group and the item.
    EXPECT_TRUE(client.CreateGroup("Korvisan Late Group", 1));
    EXPECT_TRUE(client.AddItem(home + "korvi95.exe ", "Late", "", 0, -1, -1, "", -1, 0));
    EXPECT_TRUE(ReadShortcut(ProgramsFolder() + "Korvisan Late Group\\Late.lnk").loaded);
    EXPECT_TRUE(client.DeleteGroup("Korvisan Late Group", 1));
    EXPECT_EQ(sent.size(), 6u);
}

TEST_F(ProgramItems, CreatedThroughWinesServerAndRemovedWithTheGroup)
{
    TargetTable targets;
    targets["KORVI95.EXE"] = MakeTarget("Brantoke Manager", home + "korvi95.exe");
    Target monitor = MakeTarget("@Monitor", home + "monitor.exe");
    monitor.IconFile = "korvi.ico";
    monitor.IconIndex = 2;
    monitor.HotKey = 1601;
    monitor.Minimized = 1;
    targets["MONITOR.EXE"] = monitor;
    targets["KORSCAN.EXE"] = MakeTarget("Scanner", home + "korscan.exe", "/q");
    targets["NOTINST.EXE"] = MakeTarget("@Not Installed", "");

    // An old manager item in both groups, to be removed.
    CreateDirectoryA(startUp.c_str(), nullptr);
    CreateDirectoryA(group.c_str(), nullptr);
    ASSERT_TRUE(wintest::WriteFileText(startUp + "Vigilor Manager.lnk", "old"));
    ASSERT_TRUE(wintest::WriteFileText(group + "Vigilor Manager.lnk", "old"));

    std::vector<Sent> sent;
    {
        ProgmanClient client;
        Record(client, sent);
        CreateProgramItems(client, targets, settings);
        EXPECT_FALSE(client.Connected());
        EXPECT_EQ(client.StartAttempts(), 0); // Wine's desktop answers at once
    }
    const std::string q = "\"C:\\Program Files\\Korvi Test\\";
    const std::string notes = q + "Korvi95.WRI\"";
    const std::string manager = q + "korvi95.exe\" ";
    const std::string mon = q + "monitor.exe\" ";
    const std::string scan = q + "korscan.exe\" /q";
    const std::string icon = "C:\\Program Files\\Korvi Test\\korvi.ico";
    const std::vector<std::string> expected = {
        "[CreateGroup (\"StartUp\",1)]",
        "[DeleteItem (Vigilor Manager)]",
        "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]",
        "[DeleteItem (Vigilor Manager)]",
        "[ReplaceItem (Brantoke AntiVirus for Windows 95 Release Notes)]",
        "[AddItem (" + notes + ",\"Brantoke AntiVirus for Windows 95 Release Notes\"," + notes + ",0,-1,-1,,0,0)]",
        "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]",
        "[ReplaceItem (Scanner)]",
        "[AddItem (" + scan + ",\"Scanner\"," + scan + ",0,-1,-1,,,0)]",
        "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]",
        "[ReplaceItem (Brantoke Manager)]",
        "[AddItem (" + manager + ",\"Brantoke Manager\"," + manager + ",0,-1,-1,,,0)]",
        "[CreateGroup (\"StartUp\",1)]",
        "[ReplaceItem (Monitor)]",
        "[AddItem (" + mon + ",\"Monitor\"," + icon + ",2,-1,-1,,1601,1)]",
        "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]",
        "[ReplaceItem (Monitor)]",
        "[AddItem (" + mon + ",\"Monitor\"," + icon + ",2,-1,-1,,1601,1)]",
    };
    EXPECT_EQ(Texts(sent), expected);

    // The table keeps the titles without "@", for the install record.
    EXPECT_EQ(targets["MONITOR.EXE"].Title, "Monitor");
    EXPECT_EQ(targets["NOTINST.EXE"].Title, "Not Installed");

    // What Wine made of it.
    EXPECT_TRUE(AcceptedText(sent, expected[0]));
    EXPECT_TRUE(AcceptedText(sent, expected[1]));
    EXPECT_FALSE(Exists(startUp + "Vigilor Manager.lnk"));
    EXPECT_FALSE(Exists(group + "Vigilor Manager.lnk"));

    Shortcut n = ReadShortcut(group + "Brantoke AntiVirus for Windows 95 Release Notes.lnk");
    ASSERT_TRUE(n.loaded);
    EXPECT_EQ(n.path, home + "Korvi95.WRI");

    Shortcut m = ReadShortcut(group + "Brantoke Manager.lnk");
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.path, home + "korvi95.exe"); // the quoted path with a blank
    EXPECT_EQ(m.description, "Brantoke Manager");
    EXPECT_EQ(m.hotKey, 0); // hot key -1: an empty field

    for (const std::string& folder : {group, startUp}) {
        SCOPED_TRACE(folder);
        Shortcut s = ReadShortcut(folder + "Monitor.lnk");
        ASSERT_TRUE(s.loaded);
        EXPECT_EQ(s.path, home + "monitor.exe");
        EXPECT_EQ(s.icon, icon);
        EXPECT_EQ(s.iconIndex, 2);
        EXPECT_EQ(s.hotKey, 1601);
        // (Wine 8.0 shows it normally: it does not take 1 as "minimised".)
    }

    // Wine's parser stops at the blank after a quoted path: an item with
    // arguments gets no shortcut there.
    EXPECT_FALSE(AcceptedText(sent, "[AddItem (" + scan + ",\"Scanner\"," + scan + ",0,-1,-1,,,0)]"));
    EXPECT_FALSE(Exists(group + "Scanner.lnk"));
    EXPECT_FALSE(Exists(group + "Not Installed.lnk"));
    EXPECT_FALSE(Exists(startUp + "Not Installed.lnk"));

    sent.clear();
    {
        ProgmanClient client;
        Record(client, sent);
        RemoveProgramItems(client, targets, settings);
    }
    EXPECT_EQ(Texts(sent),
              (std::vector<std::string>{
                  "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]",
                  "[DeleteItem (Scanner)]",
                  "[DeleteItem (Brantoke Manager)]",
                  "[DeleteItem (Monitor)]",
                  "[DeleteGroup(\"Brantoke AntiVirus for Windows 95\",1)]",
              }));
    EXPECT_TRUE(AcceptedText(sent, "[DeleteGroup(\"Brantoke AntiVirus for Windows 95\",1)]"));
    EXPECT_FALSE(Exists(group));
    EXPECT_TRUE(Exists(startUp + "Monitor.lnk")); // StartUp is not touched
}

TEST_F(ProgramItems, RemovalOfAnEmptyListStillDeletesTheGroup)
{
    settings.GroupName = "Korvisan Empty Group";
    std::vector<Sent> sent;
    TargetTable none;
    ProgmanClient client;
    Record(client, sent);
    RemoveProgramItems(client, none, settings);
    EXPECT_EQ(Texts(sent),
              (std::vector<std::string>{"[CreateGroup (\"Korvisan Empty Group\",1)]",
                                        "[DeleteGroup(\"Korvisan Empty Group\",1)]"}));
    EXPECT_TRUE(sent.size() == 2 && sent[0].accepted && sent[1].accepted);
    EXPECT_FALSE(Exists(ProgramsFolder() + "Korvisan Empty Group"));
}

TEST_F(ProgramItems, RunningSetupUsesItsTitleTablesAndHomeDirectory)
{
    wintest::RecordingAnswerer answerer;
    SetupApp app;
    ASSERT_TRUE(app.PrepareSetup("", "C:\\"));
    strcpy(app.Data->InstallPath, "C:\\Program Files\\Korvi Test");
    app.DestinationTable[0].Path.Set(home);
    Target manager = MakeTarget("Brantoke Manager", home + "korvi95.exe");
    manager.IconFile = "korvi.ico";
    app.TargetTable["KORVI95.EXE"] = manager;

    CreateProgramItems();
    Shortcut m = ReadShortcut(group + "Brantoke Manager.lnk");
    ASSERT_TRUE(m.loaded);
    EXPECT_EQ(m.icon, home + "korvi.ico");
    EXPECT_TRUE(ReadShortcut(group + "Brantoke AntiVirus for Windows 95 Release Notes.lnk").loaded);

    RemoveProgramItems();
    EXPECT_FALSE(Exists(group));
    EXPECT_TRUE(answerer.prompts.empty());
}

TEST(ProgmanClientStart, AbsentServerIsStartedOnceAndTheCommandFollows)
{
    wintest::TempDir dir;
    std::string log = dir.Path() + "stub.log";
    std::string starter = "\"" + ModuleDirectory() + "ddestub.exe\" KORSTUB \"" + log + "\"";
    ProgmanClient client("KORSTUB", starter);
    EXPECT_TRUE(client.CreateGroup("Stub Group", 1));
    EXPECT_EQ(client.StartAttempts(), 1);
    EXPECT_TRUE(client.AddItem("C:\\AV\\a.exe ", "A", "", 0, -1, -1, "", -1, 0));
    EXPECT_TRUE(client.ReplaceItem("A"));
    EXPECT_EQ(client.StartAttempts(), 1); // connected: not started again
    EXPECT_TRUE(client.Disconnect());
    client.End();
    EXPECT_EQ(wintest::ReadFileText(log),
              "[CreateGroup (\"Stub Group\",1)]\n"
              "[AddItem (C:\\AV\\a.exe ,\"A\",C:\\AV\\a.exe ,0,-1,-1,,,0)]\n"
              "[ReplaceItem (A)]\n");
}

TEST(ProgmanClientStart, NobodyAnsweringFailsQuietly)
{
    ProgmanClient client("KORNOBODY", "korno-such-program.exe");
    std::vector<Sent> sent;
    Record(client, sent);
    EXPECT_FALSE(client.CreateGroup("G", 1));
    EXPECT_EQ(client.StartAttempts(), 1);
    EXPECT_FALSE(client.DeleteItem("X")); // no connection step of its own
    EXPECT_EQ(client.StartAttempts(), 1);
    EXPECT_FALSE(client.AddItem("C:\\a.exe ", "X", "", 0, -1, -1, "", -1, 0));
    EXPECT_EQ(client.StartAttempts(), 2); // once per command attempt
    EXPECT_FALSE(client.Connected());
    ASSERT_EQ(sent.size(), 3u);
    EXPECT_EQ(sent[0].text, "[CreateGroup (\"G\",1)]");
    EXPECT_FALSE(sent[0].accepted || sent[1].accepted || sent[2].accepted);
}

} // namespace
