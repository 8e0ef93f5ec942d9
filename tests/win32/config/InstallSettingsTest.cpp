#include "config/log/InstallLog.h"
#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "config/Registry.h"
#include "tests/win32/support/WinTest.h"
#include "tests/support/BlankSetupData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::unique_ptr<SetupData> Prepared()
{
    auto d = BlankSetupData();
    ApplyProductDefaults(*d);
    return d;
}

std::string ProgramFilesDir()
{
    char value[MAX_PATH] = {};
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key);
    DWORD size = sizeof value;
    RegQueryValueExA(key, "ProgramFilesDir", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return value;
}

// A directory of its own, made current, holding the given KORVISAN.ICF (none when empty).
std::string EnterDirectory(const char* name, const std::string& settings)
{
    std::string dir = wintest::ScratchDirectory() + name;
    CreateDirectoryA(dir.c_str(), nullptr);
    SetCurrentDirectoryA(dir.c_str());
    std::string file = dir + "\\KORVISAN.ICF";
    DeleteFileA(file.c_str());
    if (!settings.empty()) wintest::WriteFileText(file, settings);
    return file;
}

} // namespace

TEST(ReadInstallSettings, MissingFileUnattendedIsSetupError1024WithDefaults)
{
    std::string file = EnterDirectory("nosettings", "");
    DeleteFileA(kInstallLogPath);
    auto d = Prepared();
    std::string mif = wintest::ScratchDirectory() + "nosettings.mif";
    std::strcpy(d->StatusFile, mif.c_str());
    std::string home;
    EXPECT_FALSE(ReadInstallSettings(*d, home, true));
    EXPECT_STREQ(d->UnattendedFile, file.c_str());
    EXPECT_EQ(d->ComponentMask, 0x19);
    ASSERT_FALSE(ProgramFilesDir().empty());
    EXPECT_EQ(home, ProgramFilesDir() + "\\Brantoke\\AntiVirus");
    EXPECT_EQ(d->SuspendTime, 0);
    EXPECT_EQ(d->DaysOfWeek, 0);
    EXPECT_STREQ(d->ExeFiles, "");
    EXPECT_EQ(wintest::ReadFileText(kInstallLogPath), "Setup Error:1024\r\n");
    EXPECT_NE(wintest::ReadFileText(mif).find("VALUE = \"Failed\""), std::string::npos);
}

TEST(ReadInstallSettings, FileInCurrentDirectoryReadThroughTheProfileApi)
{
    std::string file = EnterDirectory("withsettings",
                                      "[UserInfo]\r\nFullName=Ann Smith\r\n[Distribution]\r\nInBegHr=0\r\n"
                                      "BeginHour=8\r\nInEndHr=9\r\nEndHour=8\r\nPrimaryServer=ABCDEFGHIJKLMNOPQRS\r\n"
                                      "[Components]\r\nManager=0\r\nRealtime=1\r\nDadOVO=0\r\nUninstall=0\r\n"
                                      "[KorvisanInstall]\r\nKorvisanPath=D:\\Given\r\nRebootTimeout=abc\r\n");
    DeleteFileA(kInstallLogPath);
    auto d = Prepared();
    std::string home;
    ReadInstallSettings(*d, home);
    EXPECT_STREQ(d->UnattendedFile, file.c_str());
    EXPECT_STREQ(d->FullName, "Ann Smith");
    EXPECT_EQ(d->BeginHour, 8);
    EXPECT_EQ(d->EndHour, 9);
    EXPECT_STREQ(d->PrimaryServer, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(d->ComponentMask, kComponentRealtime);
    EXPECT_EQ(home, "D:\\Given");
    EXPECT_EQ(d->RebootTimeout, 0); // non-numeric
    EXPECT_EQ(d->SuspendTime, 1);
    EXPECT_EQ(d->DaysOfWeek, 127);
    EXPECT_STREQ(d->ExeFiles, "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*");
    EXPECT_EQ(wintest::ReadFileText(kInstallLogPath),
              "Could not read company name from Install Ini File Organization\r\n");
}

TEST(ReadInstallSettings, EarlierInstallationGivesTheHomeDirectory)
{
    std::string file = wintest::ScratchDirectory() + "named.icf";
    wintest::WriteFileText(file, "[UserInfo]\r\nFullName=A\r\nCompanyName=B\r\n");
    DeleteFileA(kInstallLogPath);

    ASSERT_EQ(CfgWriteString("SOFTWARE\\Brantoke\\Korvisan95\\CurrentVersion", "Path", "HOME", "E:\\OLD95"),
              ERROR_SUCCESS);
    auto d = Prepared();
    std::strcpy(d->UnattendedFile, file.c_str());
    std::string home;
    ReadInstallSettings(*d, home);
    EXPECT_EQ(home, "E:\\OLD95");
    EXPECT_EQ(wintest::ReadFileText(kInstallLogPath),
              "Could not read Korvisan install path from Install Ini File Install Path\r\n");

    ASSERT_EQ(CfgWriteString("SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion", "Path", "HOME", "E:\\OLDAV"),
              ERROR_SUCCESS);
    auto e = Prepared();
    std::strcpy(e->UnattendedFile, file.c_str());
    ReadInstallSettings(*e, home);
    EXPECT_EQ(home, "E:\\OLDAV");

    CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke");
    auto f = Prepared();
    std::strcpy(f->UnattendedFile, file.c_str());
    ReadInstallSettings(*f, home);
    EXPECT_EQ(home, ProgramFilesDir() + "\\Brantoke\\AntiVirus");
}
