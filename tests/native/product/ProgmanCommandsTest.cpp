// The Program Manager command texts, character for character.
#include "product/ProgmanCommands.h"

#include <gtest/gtest.h>

namespace {

using namespace progman;

TEST(ProgmanCommands, GroupTexts)
{
    EXPECT_EQ(CreateGroupCommand("Brantoke AntiVirus for Windows 95", 1),
              "[CreateGroup (\"Brantoke AntiVirus for Windows 95\",1)]");
    EXPECT_EQ(CreateGroupCommand("StartUp", 1), "[CreateGroup (\"StartUp\",1)]");
    EXPECT_EQ(CreateGroupCommand("G", std::string("C:\\WINDOWS\\G.GRP")),
              "[CreateGroup (\"G\", \"C:\\WINDOWS\\G.GRP\")]");
    EXPECT_EQ(DeleteGroupCommand("G", 1), "[DeleteGroup(\"G\",1)]");
    EXPECT_EQ(DeleteGroupCommand("G", 0), "[DeleteGroup(\"G\",0)]");
}

TEST(ProgmanCommands, ItemTextsAreNotQuoted)
{
    EXPECT_EQ(ReplaceItemCommand("Vigilor Manager"), "[ReplaceItem (Vigilor Manager)]");
    EXPECT_EQ(DeleteItemCommand("Vigilor Manager"), "[DeleteItem (Vigilor Manager)]");
}

TEST(ProgmanCommands, AddItemFieldRules)
{
    // No icon path: the command line stands in; hot key -1: empty field.
    EXPECT_EQ(AddItemCommand("C:\\AV\\korvi95.exe ", "Manager", "", 0, -1, -1, "", -1, 0),
              "[AddItem (C:\\AV\\korvi95.exe ,\"Manager\",C:\\AV\\korvi95.exe ,0,-1,-1,,,0)]");
    EXPECT_EQ(AddItemCommand("C:\\AV\\k.exe ", "K", "C:\\AV\\k.ico", 2, -1, -1, "", 1601, 5),
              "[AddItem (C:\\AV\\k.exe ,\"K\",C:\\AV\\k.ico,2,-1,-1,,1601,1)]");
    // Hot key 0 is written as 0, not left empty.
    EXPECT_EQ(AddItemCommand("C:\\AV\\Korvi95.WRI", "Notes", "", 0, -1, -1, "", 0, 0),
              "[AddItem (C:\\AV\\Korvi95.WRI,\"Notes\",C:\\AV\\Korvi95.WRI,0,-1,-1,,0,0)]");
    EXPECT_EQ(AddItemCommand("a ", "b", "", -3, 10, 20, "C:\\W", -2, -1),
              "[AddItem (a ,\"b\",a ,-3,10,20,C:\\W,-2,1)]");
}

TEST(ProgmanCommands, CommandLines)
{
    EXPECT_EQ(ItemCommandLine("C:\\Program Files\\X\\a.exe", "/q"), "\"C:\\Program Files\\X\\a.exe\" /q");
    EXPECT_EQ(ItemCommandLine("C:\\AV\\a.exe", ""), "C:\\AV\\a.exe ");
    EXPECT_EQ(ItemCommandLine("C:\\A\tB\\a.exe", ""), "\"C:\\A\tB\\a.exe\" ");
    EXPECT_EQ(ReleaseNotesCommandLine("C:\\AV", "Korvi95.WRI"), "C:\\AV\\Korvi95.WRI");
    EXPECT_EQ(ReleaseNotesCommandLine("C:\\AV\\", "Korvi95.WRI"), "C:\\AV\\Korvi95.WRI");
    EXPECT_EQ(ReleaseNotesCommandLine("C:\\Program Files\\AV", "Korvi95.WRI"),
              "\"C:\\Program Files\\AV\\Korvi95.WRI\"");
}

TEST(ProgmanCommands, TextsLongerThanTheBufferAreNotFormed)
{
    std::string name(500, 'n');
    // "[DeleteItem (" + name + ")]" is 515 characters.
    EXPECT_EQ(DeleteItemCommand(name), "");
    std::string fits(511 - std::string("[DeleteItem ()]").size(), 'n');
    EXPECT_EQ(DeleteItemCommand(fits).size(), 511u);
    EXPECT_EQ(AddItemCommand(std::string(300, 'c'), "t", "", 0, -1, -1, "", -1, 0), "");
    EXPECT_EQ(CreateGroupCommand(std::string(600, 'g'), 1), "");
}

} // namespace
