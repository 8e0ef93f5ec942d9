#include "engine/base/PathName.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

TEST(PathName, SplitsNetworkPaths)
{
    PathName p("\\\\srv\\share\\dir\\f.txt");
    EXPECT_EQ(p.Drive(), "\\\\srv\\share");
    EXPECT_EQ(p.DirectoryOnly(), "\\dir");
    EXPECT_EQ(p.Name(), "f");
    EXPECT_EQ(p.Extension(), "txt");
    EXPECT_EQ(p.Directory(), "\\\\srv\\share\\dir");
    EXPECT_TRUE(p.IsNetwork());
    EXPECT_EQ(p.Text(), "\\\\srv\\share\\dir\\f.txt");

    PathName share("\\\\srv\\share");
    EXPECT_EQ(share.Drive(), "\\\\srv\\share");
    EXPECT_EQ(share.DirectoryOnly(), "");
    EXPECT_EQ(share.Text(), "\\\\srv\\share");
}

TEST(PathName, SplitsDrivePaths)
{
    PathName root("C:\\");
    EXPECT_EQ(root.Drive(), "C");
    EXPECT_EQ(root.DirectoryOnly(), "\\");
    EXPECT_EQ(root.Directory(), "C:\\");
    EXPECT_EQ(root.FileName(), "");

    PathName p("C:\\SETUP\\SETUP.EXE");
    p.SetExtension("ini");
    EXPECT_EQ(p.Text(), "C:\\SETUP\\SETUP.ini");
    EXPECT_EQ(p.Directory(), "C:\\SETUP");

    PathName rel("dir\\name");
    EXPECT_EQ(rel.Drive(), "");
    EXPECT_EQ(rel.Directory(), ""); // no drive, no Directory
    EXPECT_EQ(rel.FileName(), "name");
    EXPECT_EQ(rel.Extension(), "");

    PathName dotted("C:\\a.b\\c.tar.gz");
    EXPECT_EQ(dotted.Name(), "c.tar");
    EXPECT_EQ(dotted.Extension(), "gz");
    EXPECT_EQ(dotted.DirectoryOnly(), "\\a.b");
}

TEST(PathName, ReplacesOnePart)
{
    PathName p("C:\\SETUP\\SETUP.EXE");
    p.SetDirectory("A:\\DISK1");
    EXPECT_EQ(p.Text(), "A:\\DISK1\\SETUP.EXE");
    p.SetDrive('B');
    EXPECT_EQ(p.Text(), "B:\\DISK1\\SETUP.EXE");
    p.SetDirectoryKeepDrive("OTHER");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\SETUP.EXE");
    p.SetName("INSTALL");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\INSTALL.EXE");
    p.SetFileName("readme.txt");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\readme.txt");
    EXPECT_EQ(p.Extension(), "txt");
    p.SetFileName("");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\");
    EXPECT_EQ(p.FileName(), "");
    p.AppendDirectory("\\sub");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\sub\\");
    p.AppendDirectory("deeper\\");
    p.SetFileName("f.dat");
    EXPECT_EQ(p.Text(), "B:\\OTHER\\sub\\deeper\\f.dat");
    p.ClearDirectoryAndFile();
    EXPECT_EQ(p.Text(), "B:\\");
}

TEST(PathName, DirectoryOfNetworkShareRoot)
{
    PathName p("\\\\srv\\share\\");
    EXPECT_EQ(p.Directory(), "\\\\srv\\share\\");
    p.SetFileName("setup.ini");
    EXPECT_EQ(p.Text(), "\\\\srv\\share\\setup.ini");
}

TEST(PathName, RandomHexNameKeepsEightCharacters)
{
    static int next = 0;
    next = 0x1234;
    auto seq = [] { return next++; };
    static decltype(+seq) fn = +seq;
    EXPECT_EQ(RandomHexName(fn), "12341235");
    auto big = [] { return 0x7fff; };
    EXPECT_EQ(RandomHexName(+big), "7fff7fff");
}

} // namespace

TEST(PathName, RandomNamesAreRecognisedExactly)
{
    EXPECT_TRUE(IsRandomFileName("C:\\AV\\0a1b2c3d.exe"));
    EXPECT_TRUE(IsRandomFileName("C:\\AV\\0A1B2C3D"));
    EXPECT_TRUE(IsRandomFileName("C:\\AV\\deadbeef.html"));
    EXPECT_FALSE(IsRandomFileName("C:\\AV\\korvi95.exe"));
    EXPECT_FALSE(IsRandomFileName("C:\\AV\\0a1b2c3.exe"));     // seven digits
    EXPECT_FALSE(IsRandomFileName("C:\\AV\\0a1b2c3dx.exe"));   // a longer name
    EXPECT_FALSE(IsRandomFileName("C:\\AV\\0a1b2c3d.tar.gz")); // the random name keeps one extension
    EXPECT_FALSE(IsRandomFileName("C:\\AV\\0a1b2c3d."));
    // What the generator makes, the recogniser knows, whatever the numbers.
    int (*const generators[])() = {[] { return 0; }, [] { return 0x7fffffff; }, &std::rand};
    for (int (*random)() : generators) EXPECT_TRUE(IsRandomFileName("C:\\AV\\" + RandomHexName(random) + ".dll"));
}

namespace {

// Shift-JIS lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool ShiftJisLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
bool NoLead(unsigned char) { return false; }

TEST(PathName, TrailingBackslashIsAddedUnlessTheLastCharacterIsOne)
{
    struct Case {
        const char* in;
        bool (*lead)(unsigned char);
        const char* out;
    };
    const Case cases[] = {
        {"C:\\TEMP", &NoLead, "C:\\TEMP\\"},
        {"C:\\TEMP\\", &NoLead, "C:\\TEMP\\"},
        {"", &NoLead, "\\"},
        // "\x95\x5C" is one double-byte character whose second byte is 0x5C.
        {"C:\\\x95\x5C", &ShiftJisLead, "C:\\\x95\x5C\\"},
        {"C:\\\x95\x5C", &NoLead, "C:\\\x95\x5C"},
        // A double-byte character, then a real backslash.
        {"C:\\\x95\x5C\\", &ShiftJisLead, "C:\\\x95\x5C\\"},
        // A lead byte that ends the text has no trail byte.
        {"C:\\\x95", &ShiftJisLead, "C:\\\x95\\"},
        // Byte pairs are counted from the start: 0x81 0x81 is one character.
        {"\x81\x81\x5C", &ShiftJisLead, "\x81\x81\x5C"},
    };
    for (const Case& c : cases) EXPECT_EQ(WithTrailingBackslash(c.in, c.lead), c.out) << c.in;
}

} // namespace
