// The start-up file edits: what goes, what stays byte for byte, and that a
// second run changes nothing. The download schedule's times.
#include "config/DownloadSchedule.h"
#include "config/StartupText.h"

#include <gtest/gtest.h>

namespace {

std::string Drop(const std::string& text, const char* program, const char* key)
{
    std::string out;
    bool dropped = DropLoaderEntries(text, program, key, out);
    EXPECT_EQ(dropped, out != text) << text;
    return out;
}

TEST(DropLoaderEntries, EntriesAndLines)
{
    struct Case {
        const char* before;
        const char* program;
        const char* key;
        const char* after;
    } cases[] = {
        {"load=vgload.exe\r\n", "vgload.exe", "load", ""},
        {"load=a.exe   vgload.exe b.exe\r\n", "vgload.exe", "load", "load=a.exe b.exe\r\n"},
        {"LOAD=VGLOAD.EXE\tother.exe\r\n", "vgload.exe", "load", "LOAD=other.exe\r\n"},
        {"run=C:\\OLD\\VIGILOR.EXE\r\nRun=notepad.exe\r\n", "vigilor.exe", "run", "Run=notepad.exe\r\n"},
        // Not dropped from: kept with its blank runs; other keys untouched.
        {"load=a.exe   b.exe\r\nrun = vgload.exe\r\nx=vgload.exe\r\n", "vgload.exe", "load",
         "load=a.exe   b.exe\r\nrun = vgload.exe\r\nx=vgload.exe\r\n"},
        {"[boot]\r\ndevice=C:\\OLD\\VIGILOR.386\r\n  shell=Explorer.exe \r\n", "vigilor", "*",
         "[boot]\r\n  shell=Explorer.exe \r\n"},
        // LF ends stay LF; the last line keeps its missing line end.
        {"a\nload=x.exe vgload.exe", "vgload.exe", "load", "a\nload=x.exe"},
        {"a\r\nload=vgload.exe", "vgload.exe", "load", "a\r\n"},
        // An end-of-file mark stays at the end.
        {"load=vgload.exe x\r\n\x1A", "vgload.exe", "load", "load=x\r\n\x1A"},
        {"load=x vgload.exe\x1A", "vgload.exe", "load", "load=x\x1A"},
    };
    for (const Case& c : cases) EXPECT_EQ(Drop(c.before, c.program, c.key), c.after) << c.before;
}

TEST(DropLoaderEntries, LongLinesAreNeverSplit)
{
    std::string many;
    for (int i = 0; i < 2000; ++i) many += " prog" + std::to_string(i) + ".exe";
    std::string out = Drop("load=vgload.exe" + many + "\r\n", "vgload.exe", "load");
    EXPECT_EQ(out, "load=" + many.substr(1) + "\r\n");
    std::string untouched = "device=" + std::string(5000, 'x') + "\r\n";
    EXPECT_EQ(Drop(untouched, "vigilor", "*"), untouched);
}

const char kAutoexec[] = "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\DOS\r\nset korvisan=c:\\old\r\nC:\\OLD\\EXAMINE.EXE /A\r\n"
                         "REM end";
const char kEdited[] = "@ECHO OFF\r\nPATH C:\\WINDOWS;C:\\DOS\r\nREM end\r\nSET KORVISAN=C:\\KORAV\r\n"
                       "C:\\KORAV\\EXAMINE.EXE /ALL /NOMEM\r\n";

TEST(EditAutoexecText, ProductLinesReplacedAtTheEndAndASecondRunChangesNothing)
{
    std::string once = EditAutoexecText(kAutoexec, "C:\\KORAV", "/ALL /NOMEM");
    EXPECT_EQ(once, kEdited);
    EXPECT_EQ(EditAutoexecText(once, "C:\\KORAV", "/ALL /NOMEM"), once);
}

TEST(EditAutoexecText, EndsAndEmptyFiles)
{
    const std::string pair = "SET KORVISAN=C:\\AV\r\nC:\\AV\\EXAMINE.EXE \r\n";
    struct Case {
        std::string before, after;
    } cases[] = {
        {"", pair},
        {"REM a\r\n\x1A", "REM a\r\n" + pair},
        {"REM a\x1A\x1A", "REM a\r\n" + pair},
        {"REM a\nREM b\n", "REM a\nREM b\n" + pair},
        // The dropped product line was the unterminated last one.
        {"REM a\r\nSET KORVISAN=C:\\OLD", "REM a\r\n" + pair},
        {"   rem " + std::string(3000, 'x') + "  \r\n", "   rem " + std::string(3000, 'x') + "  \r\n" + pair},
    };
    for (const Case& c : cases) EXPECT_EQ(EditAutoexecText(c.before, "C:\\AV", ""), c.after) << c.before;
}

TEST(DownloadSchedule, FileTimeOfTheFields)
{
    uint64_t t = 0;
    ASSERT_TRUE(ScheduleFileTime("12/31/1997", "23:30", t));
    EXPECT_EQ(FileTimeBytes(t), (std::array<uint8_t, 8>{0x00, 0x8C, 0xFD, 0x02, 0x44, 0x16, 0xBD, 0x01}));
    ASSERT_TRUE(ScheduleFileTime("1/1/1601", "0:0", t));
    EXPECT_EQ(t, 0u);
    ASSERT_TRUE(ScheduleFileTime("1/1/1970", "00:00", t));
    EXPECT_EQ(t, 116444736000000000u);
    ASSERT_TRUE(ScheduleFileTime("2/29/2000", "12:00", t));
    for (const char* date : {"12/31/97", "2/29/1900", "13/1/1998", "0/1/1998", "4/31/1998", "12/31", "", "x",
                             "1/1/30828", "12/31/99999999999"})
        EXPECT_FALSE(ScheduleFileTime(date, "10:00", t)) << date;
    for (const char* time : {"24:00", "10:60", "-1:00"}) EXPECT_FALSE(ScheduleFileTime("1/1/1998", time, t)) << time;
}

TEST(DownloadSchedule, HourAndMinuteReadLikeTheScanner)
{
    struct Case {
        const char* text;
        int hour, minute;
    } cases[] = {{"02:15", 2, 15}, {"", 0, 0}, {"7", 7, 0}, {"x:5", 0, 0}, {" 3: 4", 3, 4}, {"3 :4", 3, 0}};
    for (const Case& c : cases) {
        int h = -1, m = -1;
        ReadHourMinute(c.text, h, m);
        EXPECT_EQ(h, c.hour) << c.text;
        EXPECT_EQ(m, c.minute) << c.text;
    }
}

} // namespace
