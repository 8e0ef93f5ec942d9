#include "engine/CommandLine.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, SwitchNamesAndValues)
{
    CommandLine line("/D:A:\\DISK1 /DA:\\DISK2 /Tx /U / /Isetup.iss word other");
    ASSERT_TRUE(line.Has("D"));
    EXPECT_EQ(*line.Find("D"), "A:\\DISK1");
    // Without the colon right after the letter, the name runs to the first colon.
    ASSERT_TRUE(line.Has("DA"));
    EXPECT_EQ(*line.Find("DA"), "\\DISK2");
    EXPECT_EQ(*line.Find("T"), "x");
    EXPECT_EQ(*line.Find("U"), "");
    EXPECT_EQ(*line.Find("I"), "setup.iss");
    EXPECT_EQ(*line.Find("#0"), "word");
    EXPECT_EQ(*line.Find("#1"), "other");
    EXPECT_FALSE(line.Has("")); // a lone "/" is ignored
    EXPECT_EQ(line.Values().size(), 7u);
}

TEST(CommandLine, NamesAreCaseSensitiveAndLaterWins)
{
    CommandLine line("/ia.iss /Ib.iss /Ic.iss  \t /d:x");
    EXPECT_EQ(*line.Find("i"), "a.iss");
    EXPECT_EQ(*line.Find("I"), "c.iss");
    EXPECT_FALSE(line.Has("D"));
    EXPECT_EQ(*line.Find("d"), "x");
}

TEST(CommandLine, EmptyAndBlankLines)
{
    EXPECT_TRUE(CommandLine("").Values().empty());
    EXPECT_TRUE(CommandLine("   \t ").Values().empty());
}

TEST(Switches, MediaDirectoryOnlyFromD)
{
    EXPECT_EQ(ReadSwitches(CommandLine("/D:A:\\DISK1"), "C:\\").MediaDirectory.value(), "A:\\DISK1");
    EXPECT_FALSE(ReadSwitches(CommandLine("/DA:\\DISK1"), "C:\\").MediaDirectory.has_value());
}

TEST(Switches, UnattendedFileMadeAbsolute)
{
    EXPECT_EQ(ReadSwitches(CommandLine("/Isetup.iss"), "C:\\").UnattendedFile, "C:\\setup.iss");
    EXPECT_EQ(ReadSwitches(CommandLine("/Isetup.iss"), "C:\\TEMP").UnattendedFile, "C:\\TEMP\\setup.iss");
    EXPECT_EQ(ReadSwitches(CommandLine("/I:C:\\x\\y.iss"), "C:\\TEMP").UnattendedFile, "C:\\x\\y.iss");
    SwitchSettings named = ReadSwitches(CommandLine("/IC:\\x\\y.iss"), "C:\\TEMP");
    EXPECT_FALSE(named.UnattendedMode);
    EXPECT_TRUE(named.UnattendedFile.empty());
    SwitchSettings m = ReadSwitches(CommandLine("/Mstatus.mif /B /U"), "D:\\WORK");
    EXPECT_EQ(m.StatusFile, "D:\\WORK\\status.mif");
    EXPECT_TRUE(m.BatchMode);
    EXPECT_TRUE(m.RemovalMode);
    EXPECT_FALSE(m.UnattendedMode);
}

TEST(Switches, ValuesThatDoNotFitTheirFieldAreRefused)
{
    std::string longName(600, 'a');
    SwitchSettings s = ReadSwitches(CommandLine("/I" + longName + " /M" + longName), "C:\\");
    EXPECT_TRUE(s.UnattendedMode); // still unattended: the run must not wait for a person
    EXPECT_TRUE(s.UnattendedFile.empty());
    EXPECT_TRUE(s.UnattendedFileRefused);
    EXPECT_TRUE(s.StatusFile.empty());
    EXPECT_TRUE(s.StatusFileRefused);

    // 511 characters fit (the field keeps its terminator); 512 do not.
    std::string fits(508, 'b');
    EXPECT_EQ(ReadSwitches(CommandLine("/I" + fits), "C:\\").UnattendedFile.size(), 511u);
    EXPECT_TRUE(ReadSwitches(CommandLine("/I" + fits + "c"), "C:\\").UnattendedFileRefused);
    // The current directory counts at most 256 characters.
    std::string deep = "C:\\" + std::string(400, 'd');
    EXPECT_EQ(MakeSwitchPathAbsolute("x", deep).size(), 256u + 2u);
}

TEST(Switches, EmptyValuesNameNoFile)
{
    for (const char* line : {"/I: /M:", "/I /M"}) {
        SwitchSettings s = ReadSwitches(CommandLine(line), "C:\\TEMP");
        EXPECT_TRUE(s.UnattendedMode) << line;
        EXPECT_TRUE(s.UnattendedFileRefused) << line; // not the current directory
        EXPECT_EQ(s.StatusFile, "") << line;          // the default status file
        EXPECT_FALSE(s.StatusFileRefused) << line;
    }
}

TEST(Switches, ThreadId)
{
    EXPECT_EQ(ReadSwitches(CommandLine("/T1234"), "C:\\").NotifyThreadId, 1234u);
    EXPECT_EQ(ReadSwitches(CommandLine("/T:77"), "C:\\").NotifyThreadId, 77u);
    EXPECT_EQ(ReadSwitches(CommandLine("/Tabc"), "C:\\").NotifyThreadId, 0u);
    EXPECT_EQ(ParseThreadId("12ab"), 12u);
    EXPECT_EQ(ParseThreadId("4294967295"), 4294967295u);
    EXPECT_EQ(ParseThreadId("4294967296"), 0u);
    EXPECT_EQ(ParseThreadId("99999999999999999999999"), 0u);
    EXPECT_EQ(ParseThreadId("-5"), 0u);
    EXPECT_EQ(ParseThreadId(""), 0u);
}

TEST(Switches, PositionalWordHasNoEffect)
{
    SwitchSettings s = ReadSwitches(CommandLine("hello"), "C:\\");
    EXPECT_FALSE(s.MediaDirectory.has_value());
    EXPECT_FALSE(s.RemovalMode || s.UnattendedMode || s.BatchMode);
    EXPECT_EQ(s.NotifyThreadId, 0u);
}

} // namespace
