// The product settings as data, the viewer numbering and the run's outcome.
#include "config/InstallSettings.h"
#include "config/ProductPresets.h"
#include "config/ProductSettings.h"
#include "config/log/RunOutcome.h"
#include "tests/support/MemoryProfile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <memory>

namespace {

// Presets, then a settings file that sets nothing: the defaults a retail
// installation configures.
std::unique_ptr<SetupData> Defaults()
{
    auto d = std::make_unique<SetupData>();
    std::memset(d.get(), 0, sizeof(SetupData));
    ApplyProductDefaults(*d);
    MemoryProfile none("");
    ReadSettingsKeys(*d, none, SettingsHooks{});
    std::strcpy(d->InstallPath, "C:\\KORAV");
    return d;
}

std::vector<uint8_t> Bytes(std::string_view list)
{
    auto a = ExtensionListBytes(list);
    return {a.begin(), a.end()};
}

std::vector<uint8_t> Padded(std::string_view text)
{
    std::vector<uint8_t> v(text.begin(), text.end());
    v.resize(kExtensionListBytes, 0);
    return v;
}

} // namespace

TEST(ProductSettings, ExtensionListsAre80BytesOfWholeExtensions)
{
    using namespace std::string_view_literals;
    EXPECT_EQ(Bytes("ZIP*ARJ*"), Padded("ZIP\0ARJ\0"sv));
    EXPECT_EQ(Bytes(""), Padded(""));
    EXPECT_EQ(Bytes("ZIP**ARJ"), Padded("ZIP\0ARJ\0"sv)); // no empty entry, last one terminated
    // 20 extensions of three letters need 80 bytes: the last one does not
    // fit beside the list's closing zero and is left out whole.
    std::string twenty;
    for (int i = 0; i < 20; ++i) twenty += "E" + std::to_string(10 + i) + "*";
    std::vector<uint8_t> b = Bytes(twenty);
    EXPECT_EQ(b[75], 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[72]), 3), "E28");
    EXPECT_EQ(b[76], 0);
    EXPECT_EQ(b[79], 0);
    // A long extension at the border is never cut in half.
    std::string border = std::string(70, 'A') + "*" + "LONGEXTS*";
    b = Bytes(border);
    EXPECT_EQ(b[70], 0);
    EXPECT_EQ(b[71], 0) << "LONGEXTS would need bytes 71..79, the closing zero's place";
    for (std::string_view list : {"ZIP*ARJ*"sv, std::string_view(twenty), std::string_view(border), "X"sv})
        EXPECT_EQ(Bytes(list).back(), 0) << list;
}

TEST(ProductSettings, PrePostMethod)
{
    struct Row {
        int copy, rename, macro;
        uint32_t expected;
    } rows[] = {{1, 1, 0, 0x70}, {0, 1, 1, 0xA0}, {0, 0, 0, 0x40}, {1, 0, 1, 0x90}};
    for (const Row& r : rows) {
        auto d = Defaults();
        d->RealtimeCopyBeforeCure = r.copy;
        d->RealtimeRenameCureFail = r.rename;
        d->RealtimeMacroCureOption = r.macro;
        EXPECT_EQ(PrePostMethod(*d), r.expected) << r.copy << r.rename << r.macro;
    }
}

TEST(ProductSettings, EveryValueOfTheDefaults)
{
    auto d = Defaults();
    std::strcpy(d->FullName, "Ann");
    std::strcpy(d->CompanyName, "Co");
    d->ScheduledScanAgent = 1;
    auto values = ProductSettingValues(*d, {"(Nov 13, 1997)", "464"}, 1234);
    for (auto& v : LateSettingValues(*d)) values.push_back(v);

    const std::string p = "SOFTWARE\\Brantoke\\Korvisan\\CurrentVersion";
    const std::string dl = "SOFTWARE\\Brantoke\\Korvisan\\DadOVO\\CurrentVersion";
    constexpr WriteClass A = WriteClass::Always;
    constexpr WriteClass D = WriteClass::Default;
    struct Expect {
        std::string key, name;
        WriteClass cls;
        std::string value; // dwords in decimal, lists as their star text
    };
    const std::vector<Expect> expected = {
        {p, "CurrentBuild", A, "(Nov 13, 1997)"},
        {p, "CurrentBuildNumber", A, "464"},
        {p, "InstallDate", A, "1234"},
        {p, "RegisteredOrganization", A, "Co"},
        {p, "RegisteredOwner", A, "Ann"},
        {p, "CopyInfectionReport", A, "0"},
        {p + "\\Path", "HOME", A, "C:\\KORAV"},
        {p + "\\Path", "TMP", A, "C:\\KORAV\\TMP"},
        {p + "\\Path\\DB", "MASTER", A, "C:\\KORAV\\MASTER"},
        {p + "\\Distribute", "bAllHrs", D, "1"},
        {p + "\\Distribute", "bUseDadOVO", D, "0"},
        {p + "\\Distribute", "bUseMaster", D, "0"},
        {p + "\\Distribute", "State", D, "1"},
        {p + "\\Distribute", "DaysOfWeek", D, "127"},
        {p + "\\Distribute", "TimeOut", D, "240"},
        {p + "\\Distribute", "InBegHr", D, "0"},
        {p + "\\Distribute", "InEndHr", D, "0"},
        {p + "\\Distribute", "InBegMin", D, "0"},
        {p + "\\Distribute", "InEndMin", D, "0"},
        {p + "\\Distribute", "Languages", D, "0"},
        {p + "\\Distribute", "Platforms", D, "2"},
        {p + "\\Distribute", "bPurgeBeforeCopy", D, "1"},
        {p + "\\Distribute", "PrimaryServer", D, ""},
        {p + "\\Distribute", "SecondaryServer", D, ""},
        {p + "\\Filter", "bFloppyBoot", D, "1"},
        {p + "\\Filter", "bFloppyDrive", D, "1"},
        {p + "\\Filter", "bNetworkDrive", D, "0"},
        {p + "\\Filter", "SuspendTime", D, "1"},
        {p + "\\Filter", "CompFiles", D, "ZIP*ARJ*"},
        {p + "\\Filter", "Direction", D, "3"},
        {p + "\\Filter", "ExclFiles", D, "BTR*DBF*SBF*DB*MDB*MDX*NDX*"},
        {p + "\\Filter", "ExeFiles", D, "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*"},
        {p + "\\Filter", "ExeOnly", D, "1"},
        {p + "\\Filter", "Method", D, "0"},
        {p + "\\Filter", "Mode", D, "1"},
        {p + "\\Filter", "ScanCompressedFiles", D, "1"},
        {p + "\\Filter", "skipCDROM", D, "0"},
        {p + "\\Filter", "PrePostMethod", D, "112"},
        {p + "\\Filter", "HeuristicScan", D, "0"},
        {p + "\\Startup", "bJob", D, "0"},
        {p + "\\MAIL", "IncTime", D, "0"},
        {dl, "DownloadPath", A, "C:\\KORAV\\GBBSData"},
        {dl, "DadOVOHomeDir", A, "C:\\KORAV"},
        {"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", "Brantoke Scanning Service", A,
         "C:\\KORAV\\scnsvc95.exe"},
        {p + "\\Systemsetting", "ReportFileExt", D, "REC"},
    };
    ASSERT_EQ(values.size(), expected.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        const SettingValue& v = values[i];
        const Expect& e = expected[i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(v.Key, e.key);
        EXPECT_EQ(v.Name, e.name);
        EXPECT_EQ(v.Class, e.cls);
        switch (v.Type) {
        case ValueType::Dword: EXPECT_EQ(std::to_string(v.Dword), e.value); break;
        case ValueType::String: EXPECT_EQ(v.Text, e.value); break;
        case ValueType::Binary: EXPECT_EQ(v.Bytes, Bytes(e.value)); break;
        }
    }

    // A home directory of 255 characters: only the paths that stay within
    // the platform's limit (259) are written or created.
    std::memset(d->InstallPath, 'A', sizeof d->InstallPath - 1);
    std::map<std::string, bool> written;
    for (const SettingValue& v : ProductSettingValues(*d, {}, 0)) written[v.Name] = true;
    EXPECT_TRUE(written["HOME"]);
    EXPECT_TRUE(written["TMP"]);
    EXPECT_FALSE(written["MASTER"]);
    EXPECT_FALSE(written["DownloadPath"]);
    EXPECT_FALSE(written["Brantoke Scanning Service"]);
    EXPECT_EQ(WorkingDirectories(*d), std::vector<std::string>{HomePath(*d, "\\TMP")});
    // Without the scheduled-scan agent there is no Run value.
    std::strcpy(d->InstallPath, "C:\\KORAV");
    d->ScheduledScanAgent = 0;
    for (const SettingValue& v : ProductSettingValues(*d, {}, 0)) EXPECT_NE(v.Name, "Brantoke Scanning Service");
}

TEST(ProductSettings, ScannerIniEntriesOfTheDefaults)
{
    auto d = Defaults();
    std::map<std::string, std::string> ini;
    for (const IniEntry& e : ScannerIniEntries(*d)) ini[std::string(e.Section) + "/" + e.Key] = e.ValueText();
    const std::map<std::string, std::string> expected = {
        {"SERVICES/NodeBrowser", "0"},
        {"SERVICES/Databases", "0"},
        {"DATABASE/DatabasePath", ""},
        {"DATABASE/DatabaseMappedPath", ""},
        {"SCANOPTIONS/BeepOnDetect", "1"},
        {"SCANOPTIONS/ScanExeOnly", "0"},
        {"SCANOPTIONS/ScanArchives", "1"},
        {"SCANOPTIONS/ScanLotusDatabases", "1"},
        {"SCANOPTIONS/ScanBoot", "1"},
        {"SCANOPTIONS/ScanFiles", "1"},
        {"SCANOPTIONS/InfctAct", "0"},
        {"SCANOPTIONS/ScanMode", "1"},
        {"SCANOPTIONS/AutoDisplay", "1"},
        {"SCANOPTIONS/IncrementalScan", "0"},
        {"SCANOPTIONS/NotifyOwner", "1"},
        {"SCANOPTIONS/NotifySender", "0"},
        {"SCANOPTIONS/bNotifyAdministrator", "0"},
        {"SCANOPTIONS/bAttachInfoFile", "1"},
        {"SCANOPTIONS/ScanAfter", "0"},
        {"SCANOPTIONS/ExtName", "APP*BIN*COM*DLL*DOT*DOC*DRV*EXE*OVL*OVR*PRG*SYS*VXD*"},
        {"SCANOPTIONS/SkipExtName", "BTR*DBF*SBF*DB*MDB*MDX*NDX*"},
        {"SCANOPTIONS/ArcExtName", "ZIP*ARJ*"},
        {"SCANOPTIONS/LotusNotesExtName", "NSF*NTF*"},
        {"SCANOPTIONS/ReNameExt", "AVB"},
        {"SCANOPTIONS/CopyBeforeCure", "1"},
        {"SCANOPTIONS/HeuristicScan", "0"},
        {"SCANOPTIONS/MacroCureOption", "0"},
        {"SCANOPTIONS/DontRenameWhenCureFails", "0"},
    };
    EXPECT_EQ(ini, expected);
    d->ScannerRenameCureFail = 0;
    d->InfctAct = -7;
    ini.clear();
    for (const IniEntry& e : ScannerIniEntries(*d)) ini[e.Key] = e.ValueText();
    EXPECT_EQ(ini["DontRenameWhenCureFails"], "1");
    EXPECT_EQ(ini["InfctAct"], "-7");
}

TEST(ProductSettings, ViewerTypeNumbering)
{
    using Values = std::vector<std::pair<std::string, std::string>>;
    Values others;
    for (int i = 0; i <= 9; ++i) others.emplace_back("TYPE" + std::to_string(i), "text/other" + std::to_string(i));
    Values withTen = others;
    withTen.emplace_back("TYPE10", "application/x-zip");
    struct Row {
        const char* what;
        Values values;
        const char* mime;
        const char* expected;
    } rows[] = {
        {"empty key", {}, "application/zip", "TYPE1"},
        {"empty key, first type",
         {{"application/x-zip", "C:\\KORAV\\korcmd95.EXE /DOWNLOAD"}},
         "application/x-zip",
         "TYPE0"},
        {"ten taken", others, "application/x-zip", "TYPE10"},
        {"greatest by bytes is TYPE9", withTen, "application/zip", "TYPE11"},
        {"present exactly", withTen, "application/x-zip", ""},
        {"a longer type is another type", {{"TYPE0", "application/x-zip-compressed"}}, "application/x-zip", "TYPE1"},
        {"a prefix is another type", {{"TYPE0", "application/x-zip"}}, "application/x-zip-compressed", "TYPE1"},
        {"names compare without case", {{"TYPE0", "a"}, {"type1", "b"}}, "application/zip", "TYPE2"},
        {"unnumbered TYPE name", {{"TYPEX", "a"}}, "application/zip", "TYPE1"},
    };
    for (const Row& r : rows) EXPECT_EQ(ViewerTypeName(r.values, r.mime), r.expected) << r.what;
}

TEST(RunOutcome, ExitCodeStatusAndLastLineAgree)
{
    // Facts: completed, cancelled, failed, restart pending, restart requested,
    // unattended, skipped items (named A and B).
    struct Row {
        RunFacts facts;
        RunOutcome outcome;
        int code;
        const char* line;
        const char* description; // the status file's
    } rows[] = {
        {{true, false, false, false, false, false, 0},
         RunOutcome::Completed,
         0,
         "Setup ended: Success, exit code 0",
         ""},
        {{true, false, false, true, false, false, 0},
         RunOutcome::RestartPending,
         3010,
         "Setup ended: Success, restart required, exit code 3010",
         ""},
        {{true, false, false, true, true, true, 0},
         RunOutcome::Restarting,
         3010,
         "Setup ended: Success, restarting Windows, exit code 3010",
         ""},
        {{true, false, false, false, false, false, 2},
         RunOutcome::Completed,
         0,
         "Setup ended: Success, 2 items skipped: A, B, exit code 0",
         "2 items skipped: A, B"},
        {{true, false, false, false, false, true, 1},
         RunOutcome::Failed,
         1603,
         "Setup ended: Failed (why), 1 item skipped: A, exit code 1603",
         "why"},
        {{false, true, true, false, false, false, 0},
         RunOutcome::Cancelled,
         1602,
         "Setup ended: Failed (Cancelled by the user), exit code 1602",
         "Cancelled by the user"},
        {{false, false, true, true, false, false, 0},
         RunOutcome::Failed,
         1603,
         "Setup ended: Failed (why), exit code 1603",
         "why"},
        {{true, false, true, false, false, false, 0},
         RunOutcome::Failed,
         1603,
         "Setup ended: Failed (why), exit code 1603",
         "why"},
        {{false, false, false, false, false, false, 0},
         RunOutcome::Failed,
         1603,
         "Setup ended: Failed (why), exit code 1603",
         "why"},
    };
    const std::vector<std::string> items{"A", "B"};
    for (const Row& r : rows) {
        const std::vector<std::string> named(items.begin(), items.begin() + static_cast<long>(r.facts.Skipped));
        RunOutcome o = DecideOutcome(r.facts);
        EXPECT_EQ(o, r.outcome) << r.line;
        EXPECT_EQ(ExitCodeOf(o), r.code);
        EXPECT_EQ(FinalLogLine(o, "why", named), r.line);
        EXPECT_EQ(StatusDescription(o, "why", named), r.description) << r.line;
        EXPECT_EQ(IsSuccess(o), r.code == 0 || r.code == 3010);
    }
    EXPECT_EQ(FailureDescription(RunOutcome::Failed, ""), "Setup did not complete");
}
