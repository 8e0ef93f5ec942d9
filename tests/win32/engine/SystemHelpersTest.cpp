// PathName's file-system side, FileVersion on real version resources, the
// drive walk and ProcessPendingMessages, against Wine's real APIs.
#include "engine/DriveIterator.h"
#include "engine/base/FileVersion.h"
#include "engine/base/PathName.h"
#include "engine/SystemHelpers.h"
#include "framework/Exceptions.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

#include <set>

namespace {

using wintest::ModuleDirectory;

std::string CurrentDirectory()
{
    char buf[MAX_PATH + 1] = {};
    GetCurrentDirectoryA(MAX_PATH, buf);
    return buf;
}

TEST(PathNameFiles, MakeDirectoriesCreatesEveryLevel)
{
    wintest::TempDir temp;
    std::string before = CurrentDirectory();
    PathName p(temp.Path() + "A\\B\\C\\file.txt");
    EXPECT_FALSE(p.MakeDirectories(false)); // the parents are missing
    EXPECT_EQ(CurrentDirectory(), before);
    EXPECT_TRUE(p.MakeDirectories(true));
    EXPECT_NE(GetFileAttributesA((temp.Path() + "A\\B\\C").c_str()), INVALID_FILE_ATTRIBUTES);
    // An existing directory is recognised without entering it: relative
    // media paths depend on the current directory.
    EXPECT_TRUE(p.MakeDirectories(false));
    EXPECT_TRUE(p.MakeDirectories(true));
    EXPECT_EQ(CurrentDirectory(), before);

    PathName blocked(temp.Path() + "plain\\sub\\");
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "plain", "a file, not a directory"));
    EXPECT_FALSE(blocked.MakeDirectories(true));
    try {
        blocked.MakeDirectoriesOrFail(true);
        ADD_FAILURE() << "no exception";
    } catch (const fw::FileException& e) {
        EXPECT_EQ(e.Cause(), fw::kFileAccessDenied); // the create's own error: a file is in the way
    }
}

TEST(PathNameFiles, ExistsDeleteMoveAndTime)
{
    wintest::TempDir temp;
    PathName f(temp.Path() + "one.txt");
    EXPECT_FALSE(f.Exists());
    EXPECT_EQ(f.ModificationTime(), 0);
    ASSERT_TRUE(wintest::WriteFileText(f.Text(), "x"));
    EXPECT_TRUE(f.Exists());
    EXPECT_GT(f.ModificationTime(), 1500000000); // after 2017
    EXPECT_TRUE(f.MoveTo(temp.Path() + "two.txt"));
    EXPECT_FALSE(f.Exists());
    PathName two(temp.Path() + "two.txt");
    EXPECT_TRUE(two.Delete());
    EXPECT_FALSE(two.Exists());
    EXPECT_FALSE(two.Delete());
}

// The directory entry's facts, as the copy engine reads them from the media:
// also of a file another program holds, of a directory and of a root; and
// whether another program holds a file.
TEST(PathNameFiles, FactsOfEntries)
{
    wintest::TempDir temp;
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "five.txt", "12345"));
    ASSERT_TRUE(CreateDirectoryA((temp.Path() + "sub").c_str(), nullptr));
    wintest::FileHolder holder("open", temp.Path() + "five.txt");
    ASSERT_TRUE(holder.Holding());
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "free.txt", "x"));
    EXPECT_TRUE(PathName(temp.Path() + "five.txt").HeldOpen());
    EXPECT_FALSE(PathName(temp.Path() + "free.txt").HeldOpen());
    const struct {
        std::string path;
        bool found;
        bool directory;
        uint64_t size;
        DWORD error;
    } cases[] = {
        {temp.Path() + "five.txt", true, false, 5, 0},
        {temp.Path() + "sub", true, true, 0, 0},
        {temp.Path() + "sub\\", true, true, 0, 0},
        {"C:\\", true, true, 0, 0},
        {temp.Path() + "none.txt", false, false, 0, ERROR_FILE_NOT_FOUND},
        {temp.Path() + "none\\five.txt", false, false, 0, ERROR_PATH_NOT_FOUND},
        {temp.Path() + "f*.txt", false, false, 0, ERROR_INVALID_NAME},
    };
    for (const auto& c : cases) {
        PathName::Facts facts;
        SetLastError(0);
        EXPECT_EQ(PathName(c.path).GetFacts(facts), c.found) << c.path;
        if (!c.found) {
            EXPECT_EQ(GetLastError(), c.error) << c.path;
            continue;
        }
        EXPECT_EQ((facts.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0, c.directory) << c.path;
        if (!c.directory) {
            EXPECT_EQ(facts.size, c.size) << c.path;
            EXPECT_GT(facts.modified, 1500000000) << c.path; // after 2017
        }
    }
}

TEST(PathNameFiles, UniqueNames)
{
    wintest::TempDir temp;
    PathName p(temp.Path() + "x.tmp");
    srand(7);
    ASSERT_TRUE(p.MakeUniqueName(true, 1000));
    EXPECT_EQ(p.Name().size(), 8u);
    EXPECT_EQ(p.Extension(), "tmp");
    EXPECT_EQ(p.Directory() + "\\", temp.Path());
    // With check false the first name is taken, even when it exists.
    srand(7);
    PathName q(temp.Path() + "y.tmp");
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + p.Name() + ".tmp", "taken"));
    EXPECT_TRUE(q.MakeUniqueName(false, 1000));
    EXPECT_EQ(q.Name(), p.Name());
    // With check true and one try the taken name fails.
    srand(7);
    PathName r(temp.Path() + "z.tmp");
    EXPECT_FALSE(r.MakeUniqueName(true, 1));
    PathName s(temp.Path() + "KOR.tmp");
    EXPECT_TRUE(s.MakeUniqueNameWithPrefix(true, 10));
    EXPECT_EQ(s.Name().substr(0, 3), "KOR");
    EXPECT_EQ(s.Name().size(), 8u);
}

TEST(PathNameFiles, FindWalksMatchesAndSubdirectories)
{
    wintest::TempDir temp;
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "a.dat", "1"));
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "b.dat", "2"));
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "c.txt", "3"));
    PathName empty(temp.Path());
    EXPECT_FALSE(empty.HasSubdirectories());
    CreateDirectoryA((temp.Path() + "sub.dat").c_str(), nullptr);
    EXPECT_TRUE(empty.HasSubdirectories());

    std::set<std::string> files;
    PathName p(temp.Path() + "*.dat");
    for (bool ok = p.FindFirst(0); ok; ok = p.FindNext()) files.insert(p.FileName());
    EXPECT_EQ(files, (std::set<std::string>{"a.dat", "b.dat"})); // not the directory

    PathName d(temp.Path() + "*.*");
    ASSERT_TRUE(d.FindFirst(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(d.Text(), temp.Path() + "sub.dat\\");
    EXPECT_FALSE(d.FindNext());
}

TEST(PathNameFiles, WellKnownDirectoriesAndDrives)
{
    char windows[MAX_PATH + 1];
    GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_EQ(PathName(PathName::kWindowsDirectory).Text(), std::string(windows) + "\\");
    EXPECT_EQ(PathName(PathName::kProgramDirectory).Text(), ModuleDirectory());
    EXPECT_EQ(PathName("C:\\x").DriveType(), unsigned(DRIVE_FIXED));
    EXPECT_FALSE(PathName("C:\\x").IsRemovable());

    DriveIterator drives;
    ASSERT_TRUE(drives.FirstFixedDisk());
    EXPECT_EQ(drives.Letter(), 'C');
    EXPECT_EQ(drives.Root(), "c:\\");
    DriveIterator all;
    int count = 0;
    while (all.Next()) ++count;
    EXPECT_GE(count, 1);
    EXPECT_EQ(all.Index() >= 0, true); // the index stays on the last drive found
}

TEST(FileVersionTest, ReadsRealVersionResources)
{
    std::string dir = ModuleDirectory();
    FileVersion a, b, c, none;
    ASSERT_TRUE(a.Read(dir + "ver4001.dll"));
    ASSERT_TRUE(b.Read(dir + "ver4000.dll"));
    ASSERT_TRUE(c.Read(dir + "ver5000.dll"));
    EXPECT_EQ(a.Parts(), (std::array<uint16_t, 4>{4, 0, 0, 1}));
    EXPECT_TRUE(a.IsNewerThan(b));
    EXPECT_FALSE(b.IsNewerThan(a));
    EXPECT_FALSE(a.IsNewerThan(a));
    EXPECT_TRUE(c.IsNewerThan(a));
    wintest::TempDir temp;
    ASSERT_TRUE(wintest::WriteFileText(temp.Path() + "plain.txt", "no resources"));
    EXPECT_FALSE(none.Read(temp.Path() + "plain.txt"));
    EXPECT_FALSE(none.Read(temp.Path() + "missing.dll"));
}

class Recorder {
public:
    Recorder()
    {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = &Recorder::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "RecorderWindow";
        RegisterClassA(&wc);
        hwnd = CreateWindowA("RecorderWindow", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    }
    ~Recorder() { DestroyWindow(hwnd); }
    static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l)
    {
        if (m >= WM_APP) seen.push_back(m - WM_APP);
        return DefWindowProcA(h, m, w, l);
    }
    HWND hwnd;
    static std::vector<UINT> seen;
};
std::vector<UINT> Recorder::seen;

TEST(ProcessPendingMessagesTest, StopsAtTheQuitMessageAndKeepsIt)
{
    Recorder r;
    Recorder::seen.clear();
    PostMessageA(r.hwnd, WM_APP + 1, 0, 0);
    PostThreadMessageA(GetCurrentThreadId(), WM_QUIT, 17, 0);
    PostMessageA(r.hwnd, WM_APP + 2, 0, 0);
    ProcessPendingMessages();
    EXPECT_EQ(Recorder::seen, std::vector<UINT>{1});
    // The quit message is there again, with its code, after what was behind it.
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_APP + 2));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_QUIT));
    EXPECT_EQ(msg.wParam, 17u);

    Recorder::seen.clear();
    PostMessageA(r.hwnd, WM_APP + 3, 0, 0);
    ProcessPendingMessages();
    EXPECT_EQ(Recorder::seen, std::vector<UINT>{3});
}

} // namespace
