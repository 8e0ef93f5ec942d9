// The copy journal against real kills: a setup process killed in the middle
// of a member, a journal left in the middle of a placement, and journals
// that must not be acted on (damaged, or of a setup still running).
#include "engine/journal/CopyJournal.h"
#include "engine/base/PathName.h"
#include "tests/win32/support/WinTest.h"
#include "tools/mediatool/Layout.h"
#include "tools/mediatool/MediaBuilder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using wintest::Exists;

class CopyJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        root_ = temp_.Path();
        home_ = root_ + "home\\";
        CreateDirectoryA(home_.c_str(), nullptr);
        DeleteFileA(copyjournal::JournalPath().c_str());
    }
    void TearDown() override { DeleteFileA(copyjournal::JournalPath().c_str()); }

    void BuildMedia()
    {
        std::string src = root_ + "src\\";
        CreateDirectoryA(src.c_str(), nullptr);
        ASSERT_TRUE(wintest::WriteFileText(src + "korvi95.exe", wintest::Noise(600000, 777)));
        std::ostringstream l;
        l << "[media]\nCapacity=10000000\nMethod=lzh\nProfile=SETUP.INI\n"
          << "[destinations]\n0=|-1|\n[groups]\nMain=Main program|Manager|1|1|0\n[diskettes]\n1=Disk one|\n"
          << "[archive MAIN.MF1]\nGroup=Main\nMember=src/korvi95.exe|0|\n";
        ASSERT_TRUE(wintest::WriteFileText(root_ + "layout.txt", l.str()));
        std::ostringstream progress;
        media::BuildMedia(media::ReadLayout(root_ + "layout.txt"), root_ + "media", progress);
    }

    wintest::TempDir temp_;
    std::string root_, home_;
};

TEST_F(CopyJournalTest, ASetupKilledInTheMiddleOfAMemberLeavesNoTrace)
{
    BuildMedia();
    ASSERT_TRUE(wintest::WriteFileText(home_ + "korvi95.exe", "the user's old copy"));
    std::string event = "KorKill" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    std::string command = "\"" + wintest::ModuleDirectory() + "killcopy.exe\" \"" + root_ + "media\\DISK01\" \"" +
        home_.substr(0, home_.size() - 1) + "\" " + event; // no \" at the end
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    ASSERT_TRUE(CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi));
    CloseHandle(pi.hThread);
    HANDLE both[2] = {ready, pi.hProcess};
    DWORD woke = WaitForMultipleObjects(2, both, FALSE, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    ASSERT_EQ(woke, WAIT_OBJECT_0) << "the setup did not reach the middle of the member, exit code " << exitCode;

    // Mid-member: the temporary file beside the old copy, named in the journal.
    std::vector<std::string> during = wintest::FileNames(home_);
    ASSERT_EQ(during.size(), 2u);
    std::string temporary = during[0] == "korvi95.exe" ? during[1] : during[0];
    EXPECT_TRUE(IsRandomFileName(temporary));
    EXPECT_NE(wintest::ReadFileText(copyjournal::JournalPath()).find(temporary), std::string::npos);
    // The journal of a setup still running is not touched.
    EXPECT_EQ(copyjournal::Recover(), 0);
    EXPECT_TRUE(Exists(home_ + temporary));

    ASSERT_TRUE(TerminateProcess(pi.hProcess, 9));
    WaitForSingleObject(pi.hProcess, 20000);
    CloseHandle(pi.hProcess);
    CloseHandle(ready);
    EXPECT_TRUE(Exists(home_ + temporary)); // the kill left it

    // The next start clears it away; the user's file never changed.
    EXPECT_EQ(copyjournal::Recover(), 1);
    EXPECT_EQ(wintest::FileNames(home_), std::vector<std::string>{"korvi95.exe"});
    EXPECT_EQ(wintest::ReadFileText(home_ + "korvi95.exe"), "the user's old copy");
    EXPECT_FALSE(Exists(copyjournal::JournalPath()));
}

TEST_F(CopyJournalTest, ACopySetAsideBeforeTheKillGoesBackWithItsAttributes)
{
    // State of a placement killed between moving the old copy aside and
    // moving the new file in.
    std::string original = home_ + "kshared.dll", aside = home_ + "0a1b2c3d.dll", temporary = home_ + "99aa00bb.dll";
    ASSERT_TRUE(wintest::WriteFileText(aside, "old library"));
    ASSERT_TRUE(wintest::WriteFileText(temporary, "new library"));
    JournalEntry t, a;
    t.path = temporary;
    a.kind = JournalEntry::kSetAside;
    a.path = aside;
    a.original = original;
    a.attributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), FormatJournal({t, a})));

    EXPECT_EQ(copyjournal::Recover(), 2);
    EXPECT_EQ(wintest::FileNames(home_), std::vector<std::string>{"kshared.dll"});
    EXPECT_EQ(wintest::ReadFileText(original), "old library");
    EXPECT_EQ(GetFileAttributesA(original.c_str()), DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    SetFileAttributesA(original.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CopyJournalTest, ARealSetupStartPutsTheOldCopyBack)
{
    std::string original = home_ + "korvi95.exe", aside = home_ + "0a1b2c3d.exe", temporary = home_ + "99aa00bb.exe";
    ASSERT_TRUE(wintest::WriteFileText(aside, "the user's old copy"));
    ASSERT_TRUE(wintest::WriteFileText(temporary, "half a new file"));
    JournalEntry t, a;
    t.path = temporary;
    a.kind = JournalEntry::kSetAside;
    a.path = aside;
    a.original = original;
    a.attributes = FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), FormatJournal({t, a})));
    HANDLE setup = wintest::StartProgram("\"" + wintest::ModuleDirectory() + "setup.exe\"");
    ASSERT_NE(setup, nullptr);
    // Waiting for input: its start-up, the recovery among it, is over.
    EXPECT_EQ(WaitForInputIdle(setup, 60000), 0u);
    TerminateProcess(setup, 0);
    WaitForSingleObject(setup, 20000);
    CloseHandle(setup);
    EXPECT_EQ(wintest::FileNames(home_), std::vector<std::string>{"korvi95.exe"});
    EXPECT_EQ(wintest::ReadFileText(original), "the user's old copy");
    EXPECT_FALSE(Exists(copyjournal::JournalPath()));
}

TEST_F(CopyJournalTest, AnAsideCopyWhoseReplacementIsInPlaceIsDeleted)
{
    std::string original = home_ + "kshared.dll", aside = home_ + "0a1b2c3d.dll";
    ASSERT_TRUE(wintest::WriteFileText(original, "new library"));
    ASSERT_TRUE(wintest::WriteFileText(aside, "old library"));
    JournalEntry a;
    a.kind = JournalEntry::kSetAside;
    a.path = aside;
    a.original = original;
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), FormatJournal({a})));
    EXPECT_EQ(copyjournal::Recover(), 1);
    EXPECT_EQ(wintest::FileNames(home_), std::vector<std::string>{"kshared.dll"});
    EXPECT_EQ(wintest::ReadFileText(original), "new library");
}

TEST_F(CopyJournalTest, ADamagedJournalTouchesNoFile)
{
    ASSERT_TRUE(wintest::WriteFileText(home_ + "letter.doc", "mine"));
    ASSERT_TRUE(wintest::WriteFileText(home_ + "12345678.doc", "also mine"));
    // A user's file by name, and a random-looking name behind a damaged line.
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), "temp=" + home_ + "letter.doc\r\n"));
    EXPECT_EQ(copyjournal::Recover(), 0);
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), "temp=" + home_ + "12345678.doc\r\nrubbish\r\n"));
    EXPECT_EQ(copyjournal::Recover(), 0);
    EXPECT_EQ(wintest::ReadFileText(home_ + "letter.doc"), "mine");
    EXPECT_EQ(wintest::ReadFileText(home_ + "12345678.doc"), "also mine");
    EXPECT_FALSE(Exists(copyjournal::JournalPath()));
}

TEST_F(CopyJournalTest, AFileHandedToTheRestartIsKept)
{
    // Within one run: tracked, then released to WININIT.INI, then killed.
    std::string temporary = home_ + "abcdef01.dll";
    ASSERT_TRUE(wintest::WriteFileText(temporary, "waits for the restart"));
    copyjournal::Track(temporary);
    copyjournal::Release(temporary);
    std::string journal = wintest::ReadFileText(copyjournal::JournalPath());
    EXPECT_EQ(journal.find(temporary), std::string::npos);
    copyjournal::Finish();
    EXPECT_EQ(wintest::ReadFileText(copyjournal::JournalPath()), ""); // emptied, kept open for the next member
    copyjournal::Close();
    EXPECT_FALSE(Exists(copyjournal::JournalPath()));
    ASSERT_TRUE(wintest::WriteFileText(copyjournal::JournalPath(), journal));
    EXPECT_EQ(copyjournal::Recover(), 0);
    EXPECT_TRUE(Exists(temporary));
}

} // namespace
