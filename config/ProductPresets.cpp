#include "config/ProductPresets.h"

void ApplyProductDefaults(SetupData& d)
{
    d.InstallManager = 1;
    d.InstallService = 0;
    d.InstallRealtime = 1;
    d.InstallAutoDownload = 1;
    d.NetwareSupport = 0;
    d.RebootAfter = 0;
    d.OverwriteRegistry = 0;
    d.StatusReporting = 1;
    d.CopyInfectionReport = 0;
    d.ExeOnly = 1;
    d.Method = 0;
    d.RealtimeCopyBeforeCure = 1;
    d.RealtimeRenameCureFail = 1;
    d.Mode = 1;
    d.Direction = 3;
    d.bFirewall = 0;
    d.bFloppyDrive = 1;
    d.bNetworkDrive = 0;
    d.bEnforcement = 0;
    d.bGetUserName = 1;
    d.bFloppyBoot = 1;
    d.ScanCompressed = 1;
    d.skipCDROM = 0;
    d.bStartJob = 0;
    d.NodeBrowser = 0;
    d.Databases = 0;
    d.BeepOnDetect = 1;
    d.ScanExeOnly = 0;
    d.ScanArchives = 1;
    d.ScanLotusDatabases = 1;
    d.ScanBoot = 1;
    d.ScanFiles = 1;
    d.InfctAct = 0;
    d.ScannerCopyBeforeCure = 1;
    d.ScannerRenameCureFail = 1;
    d.ScanMode = 1;
    d.AutoDisplay = 1;
    d.IncrementalScan = 0;
    d.NotifyOwner = 1;
    d.NotifySender = 0;
    d.bNotifyAdministrator = 0;
    d.bAttachInfoFile = 1;
    d.ScannerScanAfter = 0;
}
