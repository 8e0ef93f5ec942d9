#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "config/log/StatusMif.h"
#include "tests/support/MemoryProfile.h"
#include "tests/support/BlankSetupData.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

namespace {

std::string Golden(const char* name)
{
    std::ifstream in(std::string(GOLDEN_DIR) + "/" + name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string WithCrLf(const std::string& text)
{
    std::string out;
    for (char c : text) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

struct Settings {
    std::unique_ptr<SetupData> data = BlankSetupData();
    std::vector<std::string> log;
    int fallbackCalls = 0;
    std::string home;

    void Read(const std::string& ini)
    {
        ApplyProductDefaults(*data);
        MemoryProfile file(ini);
        SettingsHooks hooks;
        hooks.log = [this](const std::string& line) { log.push_back(line); };
        hooks.fallbackInstallPath = [this] {
            ++fallbackCalls;
            return std::string("C:\\OLD\\AV");
        };
        home = ReadSettingsKeys(*data, file, hooks);
    }
};

const MifTime kTime{1998, 3, 9, 14, 5, 7};

} // namespace

TEST(ProductDefaults, PresetsOnANewBlock)
{
    auto d = BlankSetupData();
    ApplyProductDefaults(*d);
    EXPECT_EQ(d->InstallService, 0);
    EXPECT_EQ(d->RebootAfter, 0);
    EXPECT_EQ(d->OverwriteRegistry, 0);
    EXPECT_EQ(d->InfctAct, 0);
    EXPECT_EQ(d->StatusReporting, 1);
    EXPECT_EQ(d->Direction, 3);
    EXPECT_EQ(d->InstallManager, 1);
    EXPECT_EQ(d->bAttachInfoFile, 1);
    EXPECT_EQ(d->ComponentMask, 0);
    EXPECT_EQ(d->SuspendTime, 0);
    EXPECT_STREQ(d->ExeFiles, "");
    EXPECT_STREQ(d->CompFiles, "");
}

TEST(StatusMif, SuccessMatchesGoldenFile)
{
    EXPECT_EQ(WithCrLf(BuildStatusMif(0, "", "", kTime)), Golden("status-success.mif"));
    EXPECT_EQ(WithCrLf(BuildStatusMif(0, nullptr, "", kTime)), Golden("status-success.mif"));
}

TEST(StatusMif, SetupError1024MatchesGoldenFile)
{
    EXPECT_EQ(WithCrLf(BuildStatusMif(1024, "Error During Install", "", kTime)), Golden("status-error-1024.mif"));
}

TEST(StatusMif, VaryingLines)
{
    auto line = [](const std::string& text, int number) {
        std::size_t pos = 0;
        for (int i = 1; i < number; ++i) pos = text.find('\n', pos) + 1;
        return text.substr(pos, text.find('\n', pos) - pos);
    };
    std::string failed = BuildStatusMif(1, nullptr, "ABCDEFGHIJ", MifTime{2007, 12, 31, 23, 59, 58});
    EXPECT_EQ(line(failed, 66), "      VALUE = \"Unknown Error\"" + std::string(13, ' '));
    EXPECT_EQ(line(failed, 37), "      VALUE = \"ABCDEFG\"" + std::string(26, ' '));
    EXPECT_EQ(line(failed, 45), "      VALUE = \"12/31/07 23:59:58\"" + std::string(14, ' '));
    EXPECT_EQ(line(failed, 58), "      VALUE = \"Failed\"" + std::string(20, ' '));
    std::string longText(300, 'x');
    std::string wide = BuildStatusMif(1, longText.c_str(), "", kTime);
    EXPECT_EQ(line(wide, 66), "      VALUE = \"" + longText + "\"" + std::string(24, ' '));
    EXPECT_EQ(std::count(wide.begin(), wide.end(), '\n'), 69);
    // A success that left items out says which, in the described form.
    std::string partial = BuildStatusMif(0, "1 item skipped: A", "", kTime);
    EXPECT_EQ(line(partial, 58), "      VALUE = \"Success\"" + std::string(19, ' '));
    EXPECT_EQ(line(partial, 66), "      VALUE = \"1 item skipped: A\"" + std::string(24, ' '));
}

TEST(InstallSettings, DistributionTimesFallBackFromInKeys)
{
    Settings s;
    s.Read("[Distribution]\nInBegHr=0\nBeginHour=8\nInBegMin=9\nBegMinute=8\nEndHour=17\nInEndMin=x\nEndMinute=30\n");
    EXPECT_EQ(s.data->BeginHour, 8);
    EXPECT_EQ(s.data->BeginMinute, 9);
    EXPECT_EQ(s.data->EndHour, 17);
    EXPECT_EQ(s.data->EndMinute, 30);
    EXPECT_EQ(s.data->DaysOfWeek, 127);
    EXPECT_EQ(s.data->Timeout, 240);
    EXPECT_EQ(s.data->NoTimeLimit, 1);
}

TEST(InstallSettings, ServerNamesCutAndOverlongTextsBounded)
{
    Settings s;
    s.Read("[Distribution]\nPrimaryServer=ABCDEFGHIJKLMNOPQRS\nSecondaryServer=" + std::string(500, 'S') +
           "\n[LocalScanner]\nReNameExt=" + std::string(100, 'R') + "\n[UserInfo]\nFullName=" + std::string(600, 'F') +
           "\n[AutoDownload]\nNextDownloadDate=2026-12-08-extra\n");
    EXPECT_STREQ(s.data->PrimaryServer, "ABCDEFGHIJKLMNOP");
    EXPECT_EQ(std::strlen(s.data->SecondaryServer), 16u);
    EXPECT_EQ(std::strlen(s.data->ReNameExt), 15u);
    EXPECT_EQ(std::strlen(s.data->FullName), 254u);
    EXPECT_STREQ(s.data->NextDownloadDate, "2026-12-08");
}

TEST(InstallSettings, ComponentBitsOnlyAdded)
{
    Settings s;
    s.data->ComponentMask = kComponentUninstall;
    s.Read("[Components]\nManager=0\nRealtime=1\nDadOVO=0\nUninstall=0\nService=1\n");
    EXPECT_EQ(s.data->ComponentMask, kComponentUninstall | kComponentRealtime);
    EXPECT_EQ(s.data->InstallManager, 0);
    EXPECT_EQ(s.data->InstallService, 1);

    Settings all;
    all.Read("[Components]\nbNetwareSupport=1\n");
    EXPECT_EQ(all.data->ComponentMask, 1 | 8 | 16 | 32 | 64);
}

TEST(InstallSettings, MissingKeysTakeDefaultsAndLogTheThreeTexts)
{
    Settings s;
    s.Read("[Other]\nx=1\n");
    ASSERT_EQ(s.log.size(), 3u);
    EXPECT_EQ(s.log[0], "Could not read user name from Install Ini File User Name");
    EXPECT_EQ(s.log[1], "Could not read company name from Install Ini File Organization");
    EXPECT_EQ(s.log[2], "Could not read Korvisan install path from Install Ini File Install Path");
    EXPECT_EQ(s.fallbackCalls, 1);
    EXPECT_EQ(s.home, "C:\\OLD\\AV");
    EXPECT_EQ(s.data->RebootTimeout, 3);
    EXPECT_EQ(s.data->ScanAfter, 1);
    EXPECT_EQ(s.data->SuspendTime, 1);
    EXPECT_EQ(s.data->ScheduledScanAgent, 1);
    EXPECT_EQ(s.data->ConnectionMethod, 2);
    EXPECT_EQ(s.data->DownloadOnDay, 17);
    EXPECT_STREQ(s.data->ReportFileExt, "REC");
    EXPECT_STREQ(s.data->CompFiles, "ZIP*ARJ*");
    EXPECT_STREQ(s.data->ExclFiles, "BTR*DBF*SBF*DB*MDB*MDX*NDX*");
    EXPECT_STREQ(s.data->ExeFiles, "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*");
    EXPECT_STREQ(s.data->ExtName, s.data->ExeFiles);
    EXPECT_STREQ(s.data->SkipExtName, s.data->ExclFiles);
    EXPECT_STREQ(s.data->LotusNotesExtName, "NSF*NTF*");
    EXPECT_STREQ(s.data->ReNameExt, "AVB");
    EXPECT_STREQ(s.data->FtpUserName, "anonymous");
    EXPECT_EQ(s.data->NavigatorIntegration, 1);
    EXPECT_EQ(s.data->ExplorerIntegration, 0);
}

TEST(InstallSettings, ValuesGivenInTheFile)
{
    Settings s;
    s.Read("[UserInfo]\nFullName=Ann\nCompanyName=Co\n[KorvisanInstall]\nKorvisanPath=D:\\AV\nRebootAfter=1\n"
           "RebootTimeout=5\n[Realtime]\nDirection=1\nCompFiles=ZIP*\n[LocalScanner]\nScanAfter=1\nCopyBeforeCure=0\n"
           "[Realtime]\nCopyBeforeCure=0\n[Internet Integration]\nExplorer=1\nNavigator=0\n[Examine]\nOptions=/all\n"
           "[SystemSetting]\nReportFileExt=TXT\n[Startup]\nSchedualedScanAgent=0\n");
    EXPECT_TRUE(s.log.empty());
    EXPECT_EQ(s.fallbackCalls, 0);
    EXPECT_STREQ(s.data->FullName, "Ann");
    EXPECT_STREQ(s.data->CompanyName, "Co");
    EXPECT_EQ(s.home, "D:\\AV");
    EXPECT_EQ(s.data->RebootAfter, 1);
    EXPECT_EQ(s.data->RebootTimeout, 5);
    EXPECT_EQ(s.data->Direction, 1);
    EXPECT_STREQ(s.data->CompFiles, "ZIP*");
    EXPECT_EQ(s.data->ScannerScanAfter, 1);
    EXPECT_EQ(s.data->ScannerCopyBeforeCure, 0);
    EXPECT_EQ(s.data->ExplorerIntegration, 1);
    EXPECT_EQ(s.data->NavigatorIntegration, 0);
    EXPECT_STREQ(s.data->ExamineOptions, "/all");
    EXPECT_STREQ(s.data->ReportFileExt, "TXT");
    EXPECT_EQ(s.data->ScheduledScanAgent, 0);
}
