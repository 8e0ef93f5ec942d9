// The undo journal against Wine's real files, registry and profile files:
// each kind of change is recorded, made and rolled back to the state before;
// what cannot be undone is logged; success keeps the new state; a run killed
// in the middle is taken back by the next start.
#include "engine/base/PathName.h"
#include "engine/journal/UndoLog.h"
#include "tests/win32/engine/UndoState.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

using undotest::State;
using wintest::Exists;

void DeleteTree(HKEY root, const std::string& subkey)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    char name[512];
    DWORD size = sizeof name;
    while (RegEnumKeyExA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) {
        DeleteTree(root, subkey + "\\" + name);
        size = sizeof name;
    }
    RegCloseKey(key);
    RegDeleteKeyA(root, subkey.c_str());
}

bool DeleteValue(HKEY root, const std::string& subkey, const char* name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    LONG status = RegDeleteValueA(key, name);
    RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

std::string FreeName(const std::string& path)
{
    PathName name(path);
    name.MakeUniqueName(true, 1000);
    return name.Text();
}

class UndoJournalTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Clean();
        root_ = temp_.Path();
        handlers_.deleteGroup = [this](const std::string& group, bool common) {
            return progman_.erase("group " + group + (common ? " common" : "")) == 1;
        };
        handlers_.deleteItem = [this](const std::string& group, const std::string& item) {
            return progman_.erase("item " + group + "/" + item) == 1;
        };
        handlers_.undoCall = [this](const std::string& name, const std::string& argument) {
            return progman_.erase("call " + name + " " + argument) == 1;
        };
        handlers_.log = [this](const std::string& line) { log_ += line + "\n"; };
    }
    void TearDown() override
    {
        if (undojournal::Active()) undojournal::Rollback({});
        Clean();
    }
    static void Clean()
    {
        DeleteFileA(undojournal::JournalPath().c_str());
        DeleteTree(HKEY_LOCAL_MACHINE, undotest::kTestKey);
        DeleteTree(HKEY_CURRENT_USER, undotest::kTestKey);
    }
    // Files, registry and the stand-in for Program Manager.
    std::string World() const
    {
        std::string text = State(root_);
        for (const std::string& p : progman_) text += p + "\n";
        return text;
    }

    wintest::TempDir temp_;
    std::string root_;
    std::set<std::string> progman_;
    std::string log_;
    undojournal::Handlers handlers_;
};

TEST_F(UndoJournalTest, EveryKindOfChangeIsTakenBack)
{
    const std::string hklm = undotest::kTestKey;
    struct Case {
        const char* what;
        std::function<void()> before; // the machine as setup finds it
        std::function<bool()> change; // recorded, then made
    };
    const Case cases[] = {
        {"new directories and a file in them", [] {},
         [&] {
             std::string top = root_ + "Program Files", dir = top + "\\Brantoke\\AV";
             return undojournal::RecordDirectories(dir + "\\") && CreateDirectoryA(top.c_str(), nullptr) &&
                 CreateDirectoryA((top + "\\Brantoke").c_str(), nullptr) && CreateDirectoryA(dir.c_str(), nullptr) &&
                 undojournal::RecordFile(dir + "\\KORVI95.EXE") && wintest::WriteFileText(dir + "\\KORVI95.EXE", "new");
         }},
        {"a file replaced, the old copy set aside",
         [&] {
             wintest::WriteFileText(root_ + "KSHARED.DLL", "the user's library");
             SetFileAttributesA((root_ + "KSHARED.DLL").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
         },
         [&] {
             std::string path = root_ + "KSHARED.DLL", aside = FreeName(path);
             DWORD attributes = GetFileAttributesA(path.c_str());
             if (!undojournal::RecordFile(path, aside, attributes)) return false;
             SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
             return MoveFileA(path.c_str(), aside.c_str()) && wintest::WriteFileText(path, "our library");
         }},
        {"a file overwritten in place, kept by the journal",
         [&] { wintest::WriteFileText(root_ + "README.TXT", "the user's text"); },
         [&] {
             return undojournal::RecordFile(root_ + "README.TXT") &&
                 wintest::WriteFileText(root_ + "README.TXT", "ours");
         }},
        {"registry keys and values of every kind",
         [&] {
             undotest::SetValue(HKEY_LOCAL_MACHINE, hklm, "Binary", REG_BINARY, std::string("\0\xff|%\r\n", 6));
             undotest::SetValue(HKEY_LOCAL_MACHINE, hklm, "Text", REG_SZ, "no terminator");
             undotest::SetValue(HKEY_LOCAL_MACHINE, hklm, "Count", REG_DWORD, Dword(7));
             undotest::SetValue(HKEY_CURRENT_USER, hklm, "Empty", REG_SZ, std::string(1, '\0'));
         },
         [&] {
             std::string deep = hklm + "\\New\\Deeper";
             return undojournal::RecordValue(RegRoot::kLocalMachine, hklm, "Binary") &&
                 undotest::SetValue(HKEY_LOCAL_MACHINE, hklm, "Binary", REG_BINARY, "other") &&
                 undojournal::RecordValue(RegRoot::kLocalMachine, hklm, "Text") &&
                 undotest::SetValue(HKEY_LOCAL_MACHINE, hklm, "Text", REG_DWORD, Dword(1)) &&
                 undojournal::RecordValue(RegRoot::kLocalMachine, hklm, "Count") &&
                 DeleteValue(HKEY_LOCAL_MACHINE, hklm, "Count") &&
                 undojournal::RecordValue(RegRoot::kLocalMachine, deep, "Path") &&
                 undotest::SetValue(HKEY_LOCAL_MACHINE, deep, "Path", REG_SZ, std::string("C:\\AV", 6)) &&
                 undojournal::RecordValue(RegRoot::kCurrentUser, hklm, "Empty") &&
                 undotest::SetValue(HKEY_CURRENT_USER, hklm, "Empty", REG_SZ, std::string("x", 2)) &&
                 undojournal::RecordValue(RegRoot::kCurrentUser, hklm, "") &&
                 undotest::SetValue(HKEY_CURRENT_USER, hklm, "", REG_SZ, std::string("default", 8));
         }},
        {"INI entries, a new section and a new INI file",
         // An entry deleted and put back comes back at the end of its section.
         [&] { wintest::WriteFileText(root_ + "KORVISAN.INI", "[Options]\r\nEmpty=\r\nSound=1\r\n"); },
         [&] {
             std::string ini = root_ + "KORVISAN.INI", fresh = root_ + "NEW.INI";
             auto write = [](const std::string& file, const char* s, const char* k, const char* v) {
                 return undojournal::RecordIniEntry(file, s, k) &&
                     WritePrivateProfileStringA(s, k, v, file.c_str()) != FALSE;
             };
             bool ok = write(ini, "Options", "Sound", "0") && write(ini, "Options", "Empty", "now set") &&
                 write(ini, "Options", "Added", "yes") && write(ini, "Options", "Sound", nullptr) &&
                 write(ini, "Paths", "Home", "C:\\AV") && write(fresh, "Section", "Key", "value");
             WritePrivateProfileStringA(nullptr, nullptr, nullptr, ini.c_str());
             WritePrivateProfileStringA(nullptr, nullptr, nullptr, fresh.c_str());
             return ok;
         }},
        {"system text files replaced and made",
         [&] {
             wintest::WriteFileText(root_ + "AUTOEXEC.BAT", "@ECHO OFF\r\nPATH C:\\DOS\r\n");
             SetFileAttributesA((root_ + "AUTOEXEC.BAT").c_str(), FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN);
         },
         [&] {
             std::string autoexec = root_ + "AUTOEXEC.BAT", config = root_ + "CONFIG.SYS";
             if (!undojournal::RecordTextFile(autoexec) || !undojournal::RecordTextFile(config)) return false;
             std::string work = root_ + "AUTOEXEC.$$$";
             // As setup replaces them: a work file moved over the old one.
             return wintest::WriteFileText(work, "@ECHO OFF\r\nC:\\AV\\KORCMD95.EXE /S\r\n") &&
                 SetFileAttributesA(autoexec.c_str(), FILE_ATTRIBUTE_NORMAL) && DeleteFileA(autoexec.c_str()) &&
                 MoveFileA(work.c_str(), autoexec.c_str()) && wintest::WriteFileText(config, "DEVICE=KORVXD.386\r\n");
         }},
        {"WININIT.INI lines, one of them there before",
         [&] { wintest::WriteFileText(root_ + "WININIT.INI", "[rename]\r\nNUL=C:\\X.TMP\r\n\r\n[other]\r\na=b\r\n"); },
         [&] {
             std::string wininit = root_ + "WININIT.INI";
             if (!undojournal::RecordWininitLine(wininit, "NUL=C:\\X.TMP") ||
                 !undojournal::RecordWininitLine(wininit, "C:\\K.DLL=C:\\0A1B2C3D.DLL"))
                 return false;
             return wintest::WriteFileText(
                 wininit,
                 "[rename]\r\nNUL=C:\\X.TMP\r\nNUL=C:\\X.TMP\r\nC:\\K.DLL=C:\\0A1B2C3D.DLL\r\n"
                 "\r\n[other]\r\na=b\r\n");
         }},
        {"a WININIT.INI that was not there", [] {},
         [&] {
             std::string wininit = root_ + "WININIT.INI";
             return undojournal::RecordWininitLine(wininit, "NUL=C:\\X.TMP") &&
                 wintest::WriteFileText(wininit, "[rename]\r\nNUL=C:\\X.TMP\r\n");
         }},
        {"Program Manager group and item, a library call", [] {},
         [&] {
             bool ok = undojournal::RecordGroup("Brantoke AntiVirus", true) &&
                 undojournal::RecordItem("Brantoke AntiVirus", "Scanner") &&
                 undojournal::RecordCall("rescue.dll", "A:\\");
             progman_ = {"group Brantoke AntiVirus common", "item Brantoke AntiVirus/Scanner", "call rescue.dll A:\\"};
             return ok;
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.before();
        const std::string before = World();
        ASSERT_TRUE(undojournal::Begin());
        ASSERT_TRUE(c.change());
        ASSERT_NE(World(), before); // the change happened
        log_.clear();
        undojournal::Report report = undojournal::Rollback(handlers_);
        EXPECT_EQ(report.failed, 0) << log_;
        EXPECT_GT(report.undone, 0);
        EXPECT_EQ(World(), before);
        EXPECT_FALSE(Exists(undojournal::JournalPath()));
        EXPECT_FALSE(undojournal::Active());
        // The next case starts from nothing.
        Clean();
        for (const std::string& name : wintest::FileNames(root_)) {
            SetFileAttributesA((root_ + name).c_str(), FILE_ATTRIBUTE_NORMAL);
            DeleteFileA((root_ + name).c_str());
        }
    }
}

TEST_F(UndoJournalTest, WhatCannotBeUndoneIsLoggedAndTheRestIsTakenBack)
{
    const std::string dir = root_ + "AV", key = std::string(undotest::kTestKey) + "\\Product";
    undotest::SetValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Kept", REG_SZ, std::string("before", 7));
    ASSERT_TRUE(undojournal::Begin());
    ASSERT_TRUE(undojournal::RecordDirectories(dir) && CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(undojournal::RecordKey(RegRoot::kLocalMachine, key) &&
                undotest::SetValue(HKEY_LOCAL_MACHINE, key, "v", REG_SZ, "x"));
    ASSERT_TRUE(undojournal::RecordValue(RegRoot::kLocalMachine, undotest::kTestKey, "Kept") &&
                undotest::SetValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Kept", REG_SZ, std::string("after", 6)));
    ASSERT_TRUE(undojournal::RecordGroup("Brantoke", false));
    // Meanwhile others put their things in what setup created.
    ASSERT_TRUE(wintest::WriteFileText(dir + "\\letter.doc", "not ours"));
    ASSERT_TRUE(undotest::SetValue(HKEY_LOCAL_MACHINE, key + "\\Theirs", "t", REG_SZ, std::string("y", 2)));

    handlers_.deleteGroup = nullptr;
    undojournal::Report report = undojournal::Rollback(handlers_);
    EXPECT_EQ(report.failed, 3);
    EXPECT_EQ(report.undone, 1);
    EXPECT_NE(log_.find("Cannot delete the program group Brantoke"), std::string::npos) << log_;
    EXPECT_NE(log_.find("Cannot delete the registry key HKLM\\" + key + ": it holds keys"), std::string::npos) << log_;
    EXPECT_NE(log_.find("Cannot remove the directory " + dir), std::string::npos) << log_;
    EXPECT_EQ(wintest::RegistryValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Kept"), std::string("before", 7));
    EXPECT_EQ(wintest::RegistryValue(HKEY_LOCAL_MACHINE, key + "\\Theirs", "t"),
              std::string("y", 2)); // Windows 95 would lose it
    EXPECT_EQ(wintest::ReadFileText(dir + "\\letter.doc"), "not ours");
    EXPECT_FALSE(Exists(undojournal::JournalPath()));
}

TEST_F(UndoJournalTest, SuccessKeepsTheNewStateAndDropsTheKeptCopies)
{
    const std::string dll = root_ + "KSHARED.DLL", bat = root_ + "AUTOEXEC.BAT", aside = FreeName(dll);
    ASSERT_TRUE(wintest::WriteFileText(dll, "old library") && wintest::WriteFileText(bat, "old batch"));
    ASSERT_TRUE(undojournal::Begin());
    ASSERT_TRUE(undojournal::RecordFile(dll, aside, FILE_ATTRIBUTE_ARCHIVE) && MoveFileA(dll.c_str(), aside.c_str()) &&
                wintest::WriteFileText(dll, "new library"));
    ASSERT_TRUE(undojournal::RecordTextFile(bat) && wintest::WriteFileText(bat, "new batch"));
    ASSERT_EQ(wintest::FileNames(root_).size(), 4u); // both old copies kept until the end
    EXPECT_TRUE(undojournal::Commit().empty());
    const std::string after = World();
    EXPECT_EQ(wintest::FileNames(root_).size(), 2u);
    EXPECT_EQ(wintest::ReadFileText(dll), "new library");
    EXPECT_FALSE(Exists(undojournal::JournalPath()));
    EXPECT_FALSE(undojournal::Recover(handlers_).found);

    // Killed after the commit line: the next start finishes the clean-up only.
    std::string kept = FreeName(bat);
    ASSERT_TRUE(wintest::WriteFileText(kept, "old batch"));
    UndoEntry created, text;
    created.path = root_ + "KORVI95.EXE";
    text.kind = UndoKind::kTextFile;
    text.path = bat;
    text.kept = kept;
    text.attributes = FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(wintest::WriteFileText(root_ + "KORVI95.EXE", "the program"));
    ASSERT_TRUE(wintest::WriteFileText(undojournal::JournalPath(),
                                       UndoJournalHeader() + FormatUndoLine(created) + FormatUndoLine(text) +
                                           UndoCommitLine()));
    undojournal::Report report = undojournal::Recover(handlers_);
    EXPECT_TRUE(report.found);
    EXPECT_TRUE(report.committed);
    EXPECT_FALSE(Exists(kept));
    EXPECT_EQ(wintest::ReadFileText(bat), "new batch");
    EXPECT_TRUE(Exists(root_ + "KORVI95.EXE"));
    EXPECT_FALSE(Exists(undojournal::JournalPath()));
    DeleteFileA((root_ + "KORVI95.EXE").c_str());
    EXPECT_EQ(World(), after);
}

TEST_F(UndoJournalTest, ARunKilledInTheMiddleIsTakenBackAtTheNextStart)
{
    ASSERT_TRUE(wintest::WriteFileText(root_ + "KSHARED.DLL", "the user's library"));
    ASSERT_TRUE(wintest::WriteFileText(root_ + "KORVISAN.INI", "[Options]\r\nPath=C:\\OLD\r\n"));
    ASSERT_TRUE(wintest::WriteFileText(root_ + "WININIT.INI", "[rename]\r\n"));
    ASSERT_TRUE(wintest::WriteFileText(root_ + "AUTOEXEC.BAT", "@ECHO OFF\r\n"));
    ASSERT_TRUE(undotest::SetValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Count", REG_DWORD, Dword(1)));
    const std::string before = World();

    std::string event = "KorUndoKill" + std::to_string(GetCurrentProcessId());
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, event.c_str());
    HANDLE process = wintest::StartProgram("\"" + wintest::ModuleDirectory() + "killundo.exe\" \"" +
                                           root_.substr(0, root_.size() - 1) + "\" " + event);
    ASSERT_NE(process, nullptr);
    HANDLE both[2] = {ready, process};
    DWORD woke = WaitForMultipleObjects(2, both, FALSE, 60000);
    DWORD exitCode = 0;
    GetExitCodeProcess(process, &exitCode);
    ASSERT_EQ(woke, WAIT_OBJECT_0) << "killundo ended with " << exitCode;
    const std::string during = World();
    EXPECT_NE(during, before);
    // The journal of a run still going is not touched.
    EXPECT_FALSE(undojournal::Recover(handlers_).found);
    EXPECT_EQ(World(), during);

    ASSERT_TRUE(TerminateProcess(process, 9));
    WaitForSingleObject(process, 20000);
    CloseHandle(process);
    CloseHandle(ready);
    EXPECT_EQ(World(), during); // the kill undid nothing

    undojournal::Report report = undojournal::Recover(handlers_);
    EXPECT_TRUE(report.found);
    EXPECT_FALSE(report.committed);
    EXPECT_EQ(report.failed, 0) << log_;
    EXPECT_EQ(World(), before);
    EXPECT_FALSE(Exists(undojournal::JournalPath()));
    EXPECT_NE(log_.find("did not finish"), std::string::npos) << log_;
}

TEST_F(UndoJournalTest, ADamagedJournalIsUndoneWhereItIsSound)
{
    const std::string ours = root_ + "KORVI95.EXE";
    ASSERT_TRUE(wintest::WriteFileText(ours, "ours"));
    ASSERT_TRUE(wintest::WriteFileText(root_ + "letter.doc", "the user's"));
    ASSERT_TRUE(undotest::SetValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Run", REG_SZ, "ours"));
    UndoEntry file, value;
    file.path = ours;
    value.kind = UndoKind::kValue;
    value.path = undotest::kTestKey;
    value.name = "Run";
    value.old.present = true;
    value.old.type = REG_SZ;
    value.old.bytes = std::string("theirs", 7);
    UndoEntry letter;
    letter.path = root_ + "letter.doc";
    std::string journal = UndoJournalHeader() + FormatUndoLine(file) + "file|" + root_ + "letter.doc|x|0\r\n" +
        FormatUndoLine(value) + FormatUndoLine(letter).substr(0, 12); // the last line cut by the kill
    ASSERT_TRUE(wintest::WriteFileText(undojournal::JournalPath(), journal));
    undojournal::Report report = undojournal::Recover(handlers_);
    EXPECT_TRUE(report.found);
    EXPECT_EQ(report.undone, 2);
    EXPECT_EQ(report.failed, 1);
    EXPECT_NE(log_.find("Line 3 of the undo journal is damaged"), std::string::npos) << log_;
    EXPECT_FALSE(Exists(ours));
    EXPECT_EQ(wintest::ReadFileText(root_ + "letter.doc"), "the user's");
    EXPECT_EQ(wintest::RegistryValue(HKEY_LOCAL_MACHINE, undotest::kTestKey, "Run"), std::string("theirs", 7));

    // Not a journal of ours: nothing is done, and it goes.
    ASSERT_TRUE(wintest::WriteFileText(undojournal::JournalPath(), FormatUndoLine(letter)));
    report = undojournal::Recover(handlers_);
    EXPECT_TRUE(report.found);
    EXPECT_EQ(report.undone + report.failed, 0);
    EXPECT_EQ(wintest::ReadFileText(root_ + "letter.doc"), "the user's");
    EXPECT_FALSE(Exists(undojournal::JournalPath()));
}

} // namespace
