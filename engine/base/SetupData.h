// The shared block of the user's choices, paths and product options. One
// fixed, zero-filled block: pages, the copy engine and the configuration
// writers read and write its fields directly. Texts are zero-terminated and
// their array size includes the terminator; numbers are signed 32-bit.
// Write texts with CopyText (engine/FixedText.h), never strcpy.
#pragma once
#include <cstddef>
#include <cstdint>

struct SetupData {
    char FullName[256];
    char CompanyName[256];
    char InstallPath[256];
    int32_t InstallManager;
    int32_t InstallService;
    int32_t InstallRealtime;
    int32_t InstallUninstall;
    int32_t InstallAutoDownload;
    int32_t NetwareSupport;
    int32_t RebootAfter;
    int32_t OverwriteRegistry;
    int32_t RebootTimeout;
    char PrimaryServer[64];
    char SecondaryServer[64];
    int32_t NoTimeLimit;
    int32_t BeginHour;
    int32_t BeginMinute;
    int32_t EndHour;
    int32_t EndMinute;
    int32_t DaysOfWeek;
    int32_t Timeout;
    int32_t ComponentMask; // kComponent... bits below
    int32_t StatusReporting;
    int32_t AutoDownloadAgent;
    int32_t ScheduledScanAgent;
    int32_t ScanAfter;
    char UnattendedFile[512];
    char StatusFile[512];
    char ExamineOptions[512];
    // Realtime options.
    int32_t CopyInfectionReport;
    int32_t ExplorerIntegration;
    int32_t NavigatorIntegration;
    int32_t ExeOnly;
    int32_t Method;
    int32_t RealtimeCopyBeforeCure;
    int32_t RealtimeRenameCureFail;
    int32_t RealtimeHeuristicScan;
    int32_t RealtimeMacroCureOption;
    int32_t Mode;
    int32_t Direction;
    int32_t bFirewall;
    int32_t bFloppyDrive;
    int32_t bNetworkDrive;
    int32_t bEnforcement;
    int32_t bGetUserName;
    int32_t bFloppyBoot;
    char CompFiles[512];
    char ExclFiles[512];
    char ExeFiles[512];
    // Scanner options, first group.
    int32_t ScanCompressed;
    int32_t skipCDROM;
    int32_t SuspendTime;
    int32_t bStartJob;
    int32_t NodeBrowser;
    int32_t Databases;
    char DatabasePath[256];
    char DatabaseMappedPath[256];
    // Scanner options, second group.
    int32_t BeepOnDetect;
    int32_t ScanExeOnly;
    int32_t ScanArchives;
    int32_t ScanLotusDatabases;
    int32_t ScanBoot;
    int32_t ScanFiles;
    int32_t InfctAct;
    int32_t ScannerCopyBeforeCure;
    int32_t ScannerRenameCureFail;
    int32_t ScannerHeuristicScan;
    int32_t ScannerMacroCureOption;
    int32_t ScanMode;
    int32_t AutoDisplay;
    int32_t IncrementalScan;
    int32_t NotifyOwner;
    int32_t NotifySender;
    int32_t bNotifyAdministrator;
    int32_t bAttachInfoFile;
    int32_t ScannerScanAfter;
    char ExtName[512];
    char SkipExtName[512];
    char ArcExtName[512];
    char LotusNotesExtName[512];
    char ReNameExt[16];
    int32_t ConnectionMethod;
    char NextDownloadDate[11];
    char NextDownloadTime[6];
    char DownloadTime[6];
    int32_t DownloadOnDay;
    int32_t SkipMonths;
    char DownloadPath[256];
    char FtpHostName[32];
    char FtpUserEMailAddress[128];
    char FtpUserName[16];
    int32_t FtpFastConnection;
    char ReportFileExt[16];
};

// ComponentMask bits.
enum : int32_t {
    kComponentManager = 1,
    // Set by no page of this setup; the configuration tests it together with
    // the Manager bit, as an older setup may have left it in a mask.
    kComponentBit2 = 2,
    kComponentAutoDownload = 8,
    kComponentRealtime = 16,
    kComponentNetware = 32,
    kComponentUninstall = 64,
};

// The layout is part of the contract: fields in this order and of these sizes
// (natural alignment; one pad byte after the three download date/time texts).
static_assert(offsetof(SetupData, InstallManager) == 768);
static_assert(offsetof(SetupData, PrimaryServer) == 804);
static_assert(offsetof(SetupData, NoTimeLimit) == 932);
static_assert(offsetof(SetupData, UnattendedFile) == 980);
static_assert(offsetof(SetupData, StatusFile) == 1492);
static_assert(offsetof(SetupData, ExamineOptions) == 2004);
static_assert(offsetof(SetupData, CopyInfectionReport) == 2516);
static_assert(offsetof(SetupData, bFloppyBoot) == 2580);
static_assert(offsetof(SetupData, CompFiles) == 2584);
static_assert(offsetof(SetupData, ScanCompressed) == 4120);
static_assert(offsetof(SetupData, DatabasePath) == 4144);
static_assert(offsetof(SetupData, BeepOnDetect) == 4656);
static_assert(offsetof(SetupData, ScannerScanAfter) == 4728);
static_assert(offsetof(SetupData, ExtName) == 4732);
static_assert(offsetof(SetupData, ReNameExt) == 6780);
static_assert(offsetof(SetupData, ConnectionMethod) == 6796);
static_assert(offsetof(SetupData, NextDownloadDate) == 6800);
static_assert(offsetof(SetupData, DownloadTime) == 6817);
static_assert(offsetof(SetupData, DownloadOnDay) == 6824);
static_assert(offsetof(SetupData, DownloadPath) == 6832);
static_assert(offsetof(SetupData, FtpHostName) == 7088);
static_assert(offsetof(SetupData, FtpUserEMailAddress) == 7120);
static_assert(offsetof(SetupData, FtpUserName) == 7248);
static_assert(offsetof(SetupData, FtpFastConnection) == 7264);
static_assert(offsetof(SetupData, ReportFileExt) == 7268);
static_assert(sizeof(SetupData) == 7284);
