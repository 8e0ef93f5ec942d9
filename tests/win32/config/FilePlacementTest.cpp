// Placing extracted files: the version rule on real version resources, files
// held by another process, and the replacement at restart carried out by
// Wine's own start-up processing (wineboot -r).
#include "config/placement/FilePlacement.h"
#include "config/log/RunOutcome.h"
#include "config/placement/SystemTextFile.h"
#include "config/placement/WininitRename.h"
#include "engine/base/FileVersion.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace {

using wintest::Exists;
using wintest::SystemDirectory;
using wintest::WindowsDirectory;

using wintest::ModuleDirectory;

std::string Library(const char* name) { return ModuleDirectory() + name; }

std::string Wininit() { return WindowsDirectory() + "WININIT.INI"; }

std::string ShortForm(const std::string& path)
{
    char buf[MAX_PATH + 1] = {};
    DWORD n = GetShortPathNameA(path.c_str(), buf, MAX_PATH);
    return n && n <= MAX_PATH ? std::string(buf, n) : std::string();
}

void Copy(const std::string& from, const std::string& to)
{
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
}

// Last-modification time in seconds since 1970.
void SetDate(const std::string& path, int64_t seconds)
{
    ULARGE_INTEGER t;
    t.QuadPart = static_cast<uint64_t>(seconds) * 10000000ull + 116444736000000000ull;
    FILETIME ft{t.LowPart, t.HighPart};
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE) << path;
    ASSERT_TRUE(SetFileTime(h, nullptr, nullptr, &ft));
    CloseHandle(h);
}

std::array<uint16_t, 4> VersionOf(const std::string& path)
{
    FileVersion v;
    if (!v.Read(path)) return {};
    return v.Parts();
}

const std::array<uint16_t, 4> k950{4, 0, 0, 950};
const std::array<uint16_t, 4> k1111{4, 0, 0, 1111};

// Names of the files in a directory, in order.
std::set<std::string> FilesIn(const std::string& dir)
{
    std::vector<std::string> names = wintest::FileNames(dir);
    return {names.begin(), names.end()};
}

FileEntry Entry(int16_t id, const std::string& destination, const std::string& temp, const std::string& rule)
{
    FileEntry e;
    e.DestinationId = id;
    e.DestinationPath = destination;
    e.TempPath = temp;
    e.Rule = rule;
    return e;
}

using Holder = wintest::FileHolder;

// Runs Wine's start-of-session processing in this prefix, as a restart of
// Windows would.
bool RestartSession()
{
    char command[] = "wineboot.exe -r";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return false;
    bool done = WaitForSingleObject(pi.hProcess, 120000) == WAIT_OBJECT_0;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return done;
}

class Placement : public ::testing::Test {
protected:
    void SetUp() override
    {
        DeleteFileA(Wininit().c_str());
        DeleteFileA((WindowsDirectory() + "wininit.bak").c_str());
    }
    void TearDown() override
    {
        DeleteFileA(Wininit().c_str());
        DeleteFileA((WindowsDirectory() + "wininit.bak").c_str());
    }
    wintest::TempDir dir;
};

TEST_F(Placement, WithoutNewerAReadOnlyCopyIsReplaced)
{
    std::string dest = dir.Path() + "KORVI95.DLL";
    std::string temp = dir.Path() + "1A2B3C4D.DLL";
    Copy(Library("ver401111.dll"), dest);
    Copy(Library("ver40950.dll"), temp);
    SetDate(temp, 1000000000); // older and lower: the rule does not look
    ASSERT_TRUE(SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    FileEntry e = Entry(0, dest, temp, "Older");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 1);
    EXPECT_EQ(e.Replaced, 1);
    EXPECT_EQ(VersionOf(dest), k950);
    EXPECT_EQ(GetFileAttributesA(dest.c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"KORVI95.DLL"});
}

TEST_F(Placement, NoExistingCopyIsPlacedAsANormalFile)
{
    std::string dest = dir.Path() + "new.dll";
    std::string temp = dir.Path() + "0000AAAA.dll";
    Copy(Library("ver40950.dll"), temp);
    SetFileAttributesA(temp.c_str(), FILE_ATTRIBUTE_READONLY);
    FileEntry e = Entry(0, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 1);
    EXPECT_EQ(e.Replaced, 0);
    EXPECT_EQ(VersionOf(dest), k950);
    EXPECT_EQ(GetFileAttributesA(dest.c_str()) & FILE_ATTRIBUTE_READONLY, 0u);
    EXPECT_FALSE(Exists(temp));

    // An entry whose temporary path is the installed file leaves it alone.
    FileEntry self = Entry(0, dest, dest, "Newer");
    PlaceFile(self);
    EXPECT_EQ(VersionOf(dest), k950);
    EXPECT_EQ(self.Placed, 0);
}

// One case of the version rule: existing and new file, their dates, and
// whether the new one is placed.
struct RuleCase {
    const char* existing;
    int64_t existingDate;
    const char* incoming;
    int64_t incomingDate;
    bool replaced;
};

TEST_F(Placement, NewerRuleOnRealVersionResources)
{
    const int64_t early = 900000000, late = 1200000000;
    const RuleCase cases[] = {
        {"ver40950.dll", late, "ver401111.dll", early, true},  // higher build number wins, older date
        {"ver401111.dll", early, "ver40950.dll", late, true},  // not higher: the later date decides
        {"ver401111.dll", late, "ver40950.dll", early, false}, // not higher, earlier date
        {"ver401111.dll", late, "ver401111.dll", late, false}, // same version, same date
        {"ver4000.dll", early, "nover.dll", late, false},      // only the existing copy has a version
        {"nover.dll", late, "ver4000.dll", early, true},       // only the new file has one
        {"nover.dll", early, "nover.dll", late, true},         // neither: dates
        {"nover.dll", late, "nover.dll", late, false},
        {"ver4001.dll", late, "ver5000.dll", early, true}, // the major number decides first
    };
    int n = 0;
    for (const RuleCase& c : cases) {
        SCOPED_TRACE(std::to_string(n) + ": " + c.existing + " <- " + c.incoming);
        std::string dest = dir.Path() + "case" + std::to_string(n) + ".dll";
        std::string temp = dir.Path() + "tmp" + std::to_string(n++) + ".dll";
        Copy(Library(c.existing), dest);
        Copy(Library(c.incoming), temp);
        SetDate(dest, c.existingDate);
        SetDate(temp, c.incomingDate);
        FileEntry e = Entry(0, dest, temp, "Newer");
        EXPECT_EQ(ShouldReplace(e, dest), c.replaced);
        std::string before = wintest::ReadFileText(dest);
        std::string incoming = wintest::ReadFileText(temp);
        PlaceFile(e);
        EXPECT_EQ(e.Placed, c.replaced ? 1 : 0);
        EXPECT_EQ(e.Replaced, c.replaced ? 1 : 0);
        EXPECT_EQ(wintest::ReadFileText(dest), c.replaced ? incoming : before);
        EXPECT_FALSE(Exists(temp)); // placed or deleted
    }
    EXPECT_EQ(FilesIn(dir.Path()).size(), static_cast<size_t>(n));
}

TEST_F(Placement, RuleWordIsCaseSensitive)
{
    std::string dest = dir.Path() + "a.dll";
    std::string temp = dir.Path() + "b.dll";
    Copy(Library("ver401111.dll"), dest);
    Copy(Library("ver40950.dll"), temp);
    SetDate(temp, 900000000);
    EXPECT_TRUE(ShouldReplace(Entry(0, dest, temp, "newer"), dest));
    EXPECT_FALSE(ShouldReplace(Entry(0, dest, temp, "IfNewerOnly"), dest));
}

TEST_F(Placement, SharedFileFoundInTheWindowsDirectoryMovesToTheSystemDirectory)
{
    std::string name = "KORSH" + std::to_string(GetCurrentProcessId() % 1000) + ".DLL";
    std::string old = WindowsDirectory() + name;
    std::string dest = SystemDirectory() + name;
    std::string temp = SystemDirectory() + "5E5E5E5E.DLL";
    Copy(Library("ver40950.dll"), old);
    Copy(Library("ver401111.dll"), temp);
    ASSERT_FALSE(Exists(dest));
    FileEntry e = Entry(-3, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 1);
    EXPECT_EQ(e.Replaced, 1);
    EXPECT_FALSE(Exists(old));
    EXPECT_EQ(VersionOf(dest), k1111);
    EXPECT_FALSE(Exists(temp));
    DeleteFileA(dest.c_str());
}

TEST_F(Placement, SharedFileInBothDirectoriesLeavesOneCopyInTheSystemDirectory)
{
    std::string name = "KORBO" + std::to_string(GetCurrentProcessId() % 1000) + ".DLL";
    std::string windowsCopy = WindowsDirectory() + name;
    std::string dest = SystemDirectory() + name;
    std::string temp = SystemDirectory() + "6F6F6F6F.DLL";
    Copy(Library("ver40950.dll"), windowsCopy);
    Copy(Library("ver4000.dll"), dest);
    Copy(Library("ver401111.dll"), temp);
    FileEntry e = Entry(-3, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 1);
    EXPECT_FALSE(Exists(windowsCopy));
    EXPECT_EQ(VersionOf(dest), k1111);
    EXPECT_FALSE(Exists(temp));
    DeleteFileA(dest.c_str());
}

TEST_F(Placement, NewFileThatCannotBeMovedInLeavesTheOldCopyAsItWas)
{
    std::string dest = dir.Path() + "keep.dll";
    std::string temp = dir.Path() + "gone.dll"; // vanished before placing
    Copy(Library("ver40950.dll"), dest);
    ASSERT_TRUE(SetFileAttributesA(dest.c_str(), FILE_ATTRIBUTE_READONLY));
    std::string before = wintest::ReadFileText(dest);
    FileEntry e = Entry(0, dest, temp, "");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 0);
    EXPECT_EQ(e.Replaced, 1);
    EXPECT_EQ(wintest::ReadFileText(dest), before);
    EXPECT_EQ(GetFileAttributesA(dest.c_str()) & FILE_ATTRIBUTE_READONLY, static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"keep.dll"});
    EXPECT_FALSE(Exists(Wininit()));
}

TEST_F(Placement, LoadedLibraryIsMovedAsideAndReplacedAtOnce)
{
    std::string dest = dir.Path() + "INUSE.DLL";
    std::string temp = dir.Path() + "77777777.DLL";
    Copy(Library("ver40950.dll"), dest);
    Copy(Library("ver401111.dll"), temp);
    Holder holder("load", dest);
    ASSERT_TRUE(holder.Holding());
    ASSERT_FALSE(DeleteFileA(dest.c_str())) << "the loaded library should not be deletable";
    FileEntry e = Entry(0, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 1);
    EXPECT_EQ(e.Replaced, 1);
    EXPECT_EQ(VersionOf(dest), k1111);
    EXPECT_FALSE(Exists(temp));
    // The old copy, still loaded, stays under a new name beside it.
    std::set<std::string> files = FilesIn(dir.Path());
    ASSERT_EQ(files.size(), 2u);
    files.erase("INUSE.DLL");
    EXPECT_EQ(VersionOf(dir.Path() + *files.begin()), k950);
    EXPECT_FALSE(Exists(Wininit()));
}

TEST_F(Placement, FileOpenWithoutSharingIsReplacedAtRestart)
{
    // A long directory and file name: WININIT.INI gets the short forms.
    std::string sub = dir.Path() + "Shared Files Directory\\";
    ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
    std::string dest = sub + "Locked Library.dll";
    std::string temp = sub + "A1B2C3D4.dll";
    Copy(Library("ver40950.dll"), dest);
    Copy(Library("ver401111.dll"), temp);
    SetDate(dest, 900000000);
    SetDate(temp, 1200000000);
    // Entries other programs scheduled earlier, with the same key twice.
    std::string gone1 = dir.Path() + "gone1.tmp", gone2 = dir.Path() + "gone2.tmp";
    ASSERT_TRUE(wintest::WriteFileText(gone1, "1"));
    ASSERT_TRUE(wintest::WriteFileText(gone2, "2"));
    const std::string earlier =
        "[boot]\r\n x = y \r\n\r\n[rename]\r\nNUL=" + ShortForm(gone1) + "\r\nNUL=" + ShortForm(gone2) + "\r\n";
    ASSERT_TRUE(wintest::WriteFileText(Wininit(), earlier));

    Holder holder("open", dest);
    ASSERT_TRUE(holder.Holding());
    FileEntry e = Entry(0, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 0);
    EXPECT_EQ(e.Replaced, 1);
    EXPECT_TRUE(Exists(temp));
    EXPECT_EQ(FilesIn(sub).size(), 2u);
    std::string shortDest = ShortForm(dest), shortTemp = ShortForm(temp);
    ASSERT_FALSE(shortDest.empty());
    EXPECT_NE(shortDest, dest);
    EXPECT_EQ(wintest::ReadFileText(Wininit()), earlier + shortDest + "=" + shortTemp + "\r\n");
    holder.Release();
    EXPECT_EQ(VersionOf(dest), k950); // nothing changed before the restart

    ASSERT_TRUE(RestartSession());
    EXPECT_EQ(VersionOf(dest), k1111);
    EXPECT_FALSE(Exists(temp));
    EXPECT_FALSE(Exists(gone1));
    EXPECT_FALSE(Exists(gone2));
    EXPECT_FALSE(Exists(Wininit())); // processed and set aside
}

TEST_F(Placement, VersionOfACopyInUseIsNotTakenAsMissing)
{
    // A higher version held open without sharing: its version resource
    // cannot be read, and the earlier date of the new file keeps it.
    std::string dest = dir.Path() + "HIGHER.DLL";
    std::string temp = dir.Path() + "9B9B9B9B.DLL";
    Copy(Library("ver401111.dll"), dest);
    Copy(Library("ver40950.dll"), temp);
    SetDate(dest, 1200000000);
    SetDate(temp, 900000000);
    Holder holder("open", dest);
    ASSERT_TRUE(holder.Holding());
    FileEntry e = Entry(0, dest, temp, "Newer");
    PlaceFile(e);
    EXPECT_EQ(e.Placed, 0);
    EXPECT_EQ(e.Replaced, 0);
    EXPECT_FALSE(Exists(temp));
    EXPECT_FALSE(Exists(Wininit()));
    holder.Release();
    EXPECT_EQ(VersionOf(dest), k1111);
}

TEST_F(Placement, SecondCopyOpenWithoutSharingPutsTheFirstBack)
{
    std::string name = "KORLK" + std::to_string(GetCurrentProcessId() % 1000) + ".DLL";
    std::string windowsCopy = WindowsDirectory() + name;
    std::string dest = SystemDirectory() + name;
    std::string temp = SystemDirectory() + "8A8A8A8A.DLL";
    Copy(Library("ver40950.dll"), windowsCopy);
    Copy(Library("ver4000.dll"), dest);
    Copy(Library("ver401111.dll"), temp);
    {
        Holder holder("open", dest);
        ASSERT_TRUE(holder.Holding());
        FileEntry e = Entry(-3, dest, temp, "");
        PlaceFile(e);
        EXPECT_EQ(e.Placed, 0);
        EXPECT_EQ(e.Replaced, 1);
    }
    EXPECT_EQ(VersionOf(windowsCopy), k950);
    EXPECT_EQ(VersionOf(dest), (std::array<uint16_t, 4>{4, 0, 0, 0}));
    EXPECT_TRUE(Exists(temp));
    EXPECT_EQ(wintest::ReadFileText(Wininit()), "[rename]\r\n" + ShortForm(dest) + "=" + ShortForm(temp) + "\r\n");
    for (const std::string& f : {windowsCopy, dest, temp}) DeleteFileA(f.c_str());
}

TEST_F(Placement, ReplaceAtRestartNeedsShortFormsOfBoth)
{
    std::string a = dir.Path() + "a.dll";
    ASSERT_TRUE(wintest::WriteFileText(a, "a"));
    ResetRestartNotes();
    EXPECT_FALSE(ReplaceAtRestart(a, dir.Path() + "missing.dll"));
    EXPECT_FALSE(ReplaceAtRestart(dir.Path() + "missing.dll", a));
    EXPECT_FALSE(Exists(Wininit()));
    EXPECT_FALSE(RestartPendingNoted()) << "nothing scheduled, no restart needed";
    std::string b = dir.Path() + "b.dll";
    ASSERT_TRUE(wintest::WriteFileText(b, "b"));
    EXPECT_TRUE(ReplaceAtRestart(a, b));
    EXPECT_TRUE(RestartPendingNoted()) << "the run ends with 3010";
    EXPECT_EQ(wintest::ReadFileText(Wininit()), "[rename]\r\n" + ShortForm(a) + "=" + ShortForm(b) + "\r\n");
}

TEST_F(Placement, WininitIsRewrittenThroughAWorkFile)
{
    std::string a = dir.Path() + "a.dll", b = dir.Path() + "b.dll";
    ASSERT_TRUE(wintest::WriteFileText(a, "a"));
    ASSERT_TRUE(wintest::WriteFileText(b, "b"));
    ASSERT_TRUE(wintest::WriteFileText(Wininit(), "[rename]\nNUL=C:\\X\n"));
    ASSERT_TRUE(SetFileAttributesA(Wininit().c_str(), FILE_ATTRIBUTE_HIDDEN));
    std::set<std::string> before = FilesIn(WindowsDirectory());
    EXPECT_TRUE(ReplaceAtRestart(a, b));
    EXPECT_EQ(wintest::ReadFileText(Wininit()), "[rename]\nNUL=C:\\X\n" + ShortForm(a) + "=" + ShortForm(b) + "\n");
    EXPECT_NE(GetFileAttributesA(Wininit().c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    EXPECT_EQ(FilesIn(WindowsDirectory()), before); // no work file left

    // Too large to be a WININIT.INI: left alone.
    std::string big(kMaxWininitSize + 1, 'x');
    SetFileAttributesA(Wininit().c_str(), FILE_ATTRIBUTE_NORMAL);
    ASSERT_TRUE(wintest::WriteFileText(Wininit(), big));
    EXPECT_FALSE(ReplaceAtRestart(a, b));
    EXPECT_EQ(wintest::ReadFileText(Wininit()).size(), big.size());
}

TEST(SystemTextFile, FailureLeavesTheOldFileAndNoWorkFile)
{
    wintest::TempDir dir;
    std::string path = dir.Path() + "file.txt";
    ASSERT_TRUE(wintest::WriteFileText(path, "old"));
    {
        // The old file cannot be set aside while it is open without sharing.
        Holder holder("open", path);
        ASSERT_TRUE(holder.Holding());
        EXPECT_FALSE(ReplaceSystemTextFile(path, "new"));
    }
    EXPECT_EQ(wintest::ReadFileText(path), "old");
    EXPECT_EQ(FilesIn(dir.Path()), std::set<std::string>{"file.txt"});
    EXPECT_FALSE(ReplaceSystemTextFile(dir.Path() + "no such dir\\file.txt", "x"));
    EXPECT_TRUE(ReplaceSystemTextFile(path, "new"));
    EXPECT_EQ(wintest::ReadFileText(path), "new");
    std::string text;
    EXPECT_TRUE(ReadSystemTextFile(dir.Path() + "absent.txt", 100, text));
    EXPECT_EQ(text, "");
    EXPECT_FALSE(ReadSystemTextFile(path, 2, text));
    EXPECT_TRUE(ReadSystemTextFile(path, 3, text));
    EXPECT_EQ(text, "new");
}

} // namespace
