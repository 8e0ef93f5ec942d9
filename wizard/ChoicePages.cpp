#include "wizard/ChoicePages.h"

#include "config/InstallLog.h"
#include "engine/DriveIterator.h"
#include "engine/ErrorReport.h"
#include "engine/XException.h"
#include "engine/FixedText.h"
#include "engine/SetupApp.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "engine/profile/Destinations.h"
#include "framework/Text.h"
#include "product/Components.h"
#include "resources/ids.h"
#include "wizard/DirectoryPicker.h"
#include "wizard/HomeDirectory.h"
#include "wizard/Wizard.h"

namespace {

constexpr int kFieldLimit = 255; // the setup data's 256-byte texts

SetupApp& App() { return *SetupApp::Instance(); }

// "ProgramFilesDir" of the machine's Windows key; empty when missing.
std::string ProgramFilesDirectory()
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return {};
    char value[261] = {};
    DWORD size = 260;
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, "ProgramFilesDir", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return {};
    return std::string(value, strnlen(value, size));
}

// The page's first guess: the first fixed disk and the profile's directory.
std::string DefaultHomeDirectory(const DestinationTable& destinations)
{
    DriveIterator drives;
    PathName home;
    home.SetDrive(drives.FirstFixedDisk() ? drives.Letter() : 'C');
    auto it = destinations.find(0);
    std::string directory = it != destinations.end() ? it->second.Path.DirectoryOnly() : std::string();
    home.SetDirectory(directory.empty() ? "\\" : directory);
    std::string text = home.Text();
    std::string normalised;
    return NormaliseHomeDirectory(text, 259, normalised) ? normalised : text;
}

} // namespace

void ShowPageMessage(HWND page, const std::string& text, UINT type)
{
    ShowUserMessage(page, text, fw::LoadText(IDS_MAIN_TITLE), type, IDOK);
}

// ---- 126 User information -------------------------------------------------

bool UserInfoPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    PreviousPageId = IDD_WELCOME;
    SetPictureButton(IDB_USER_INFO);
    SendMessageA(Item(IDC_USER_NAME), EM_LIMITTEXT, kFieldLimit, 0);
    SendMessageA(Item(IDC_COMPANY_NAME), EM_LIMITTEXT, kFieldLimit, 0);
    const SetupData& d = *App().Data;
    if (d.FullName[0] != '\0') {
        SetItemText(IDC_USER_NAME, d.FullName);
        SetItemText(IDC_COMPANY_NAME, d.CompanyName);
    }
    EnableNext();
    return true;
}

void UserInfoPage::EnableNext() { EnableWindow(Item(IDOK), GetWindowTextLengthA(Item(IDC_USER_NAME)) > 0); }

bool UserInfoPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_USER_NAME && code == EN_CHANGE) {
        EnableNext();
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

void UserInfoPage::OnNext()
{
    if (GoBackIfLeaving()) return;
    SetupApp& app = App();
    SetupData& d = *app.Data;
    const std::string name = ItemText(IDC_USER_NAME);
    const std::string company = ItemText(IDC_COMPANY_NAME);
    CopyText(d.FullName, name);
    struct Check {
        const char* value;
        int message;
        int edit;
    };
    const Check checks[] = {{d.FullName, IDS_NEED_USER_NAME, IDC_USER_NAME},
                            {nullptr, IDS_NEED_COMPANY_NAME, IDC_COMPANY_NAME}};
    for (const Check& check : checks) {
        const char* value = check.value;
        if (!value) {
            CopyText(d.CompanyName, company);
            value = d.CompanyName;
        }
        if (value[0] != '\0') continue;
        ShowPageMessage(Handle(), fw::LoadText(check.message));
        if (app.UnattendedMode) break;
        SetFocus(Item(check.edit));
        return;
    }
    GoToPage(NextPageId);
}

// ---- 1537 Install conditions ----------------------------------------------

bool InstallConditionsPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    NextPageId = App().BatchMode ? IDD_SETUP_TYPE : IDD_NOT_INSTALLED;
    return true;
}

// ---- 125 Setup type -------------------------------------------------------

bool SetupTypePage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetPictureButton(IDB_SETUP_TYPE);
    PreviousPageId = IDD_USER_INFO;
    SetupApp& app = App();
    const bool express = app.SetupType == 1;
    CheckDlgButton(Handle(), IDC_EXPRESS, express ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_CUSTOM, express ? BST_UNCHECKED : BST_CHECKED);
    app.SetupType = 1;
    return true;
}

bool SetupTypePage::OnCommand(int id, int code, HWND control)
{
    if ((id == IDC_EXPRESS || id == IDC_CUSTOM) && code == BN_CLICKED) {
        CheckDlgButton(Handle(), IDC_EXPRESS, id == IDC_EXPRESS ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(Handle(), IDC_CUSTOM, id == IDC_CUSTOM ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

void SetupTypePage::OnNext()
{
    if (GoBackIfLeaving()) return;
    SetupApp& app = App();
    ApplySetupType(app.GroupTable, 2);
    if (IsDlgButtonChecked(Handle(), IDC_CUSTOM) == BST_CHECKED) NextPageId = IDD_COMPONENTS;
    ApplyComponentChoices(*app.Data, app.GroupTable);
    app.ProductTitle = fw::LoadText(IDS_PRODUCT_NAME);
    GoToPage(NextPageId);
}

// ---- 104 Select directory -------------------------------------------------

bool SelectDirectoryPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetupApp& app = App();
    PreviousPageId = app.SetupType == 2 ? IDD_COMPONENTS : IDD_SETUP_TYPE;
    SetPictureButton(IDB_SELECT_DIRECTORY);
    SendMessageA(Item(IDC_HOME_DIRECTORY), EM_LIMITTEXT, kFieldLimit, 0);
    HomeDirectory = app.Data->InstallPath[0] != '\0' ? std::string(app.Data->InstallPath)
                                                     : DefaultHomeDirectory(app.DestinationTable);
    SetItemText(IDC_HOME_DIRECTORY, HomeDirectory);
    return true;
}

bool SelectDirectoryPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        HomeDirectory = ItemText(IDC_HOME_DIRECTORY);
        if (PickDirectory(Handle(), HomeDirectory)) SetItemText(IDC_HOME_DIRECTORY, HomeDirectory);
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

bool SelectDirectoryPage::TakeHomeDirectory()
{
    SetupApp& app = App();
    const std::size_t limit = MaxHomeDirectoryLength(app.DestinationTable);
    std::string home;
    if (!NormaliseHomeDirectory(ItemText(IDC_HOME_DIRECTORY), limit, home)) {
        ShowPageMessage(Handle(), fw::FormatText(fw::LoadText(IDS_BAD_HOME_DIRECTORY).c_str(), static_cast<int>(limit)),
                        MB_OK | MB_ICONSTOP);
        return false;
    }
    HomeDirectory = home;
    SetItemText(IDC_HOME_DIRECTORY, HomeDirectory);
    const SetupData& d = *app.Data;
    if ((d.ComponentMask & (kComponentManager | kComponentAutoDownload)) != 0 || d.NetwareSupport != 0) {
        PathName directory;
        directory.SetDirectory(HomeDirectory);
        if (!directory.HasSubdirectories() && !directory.MakeDirectories(true)) {
            const DWORD error = GetLastError();
            ShowPageMessage(
                Handle(),
                fw::FormatText("Failed to Create Dir (%s)-(%d)", HomeDirectory.c_str(), static_cast<int>(error)));
            ShowPageMessage(Handle(), fw::LoadText(IDS_CANNOT_CREATE_DIR));
            return false;
        }
    }
    return true;
}

bool SelectDirectoryPage::CheckFreeSpaceOnDrive()
{
    SetupApp& app = App();
    const char drive = app.Data->InstallPath[0];
    const std::string root = std::string(1, drive) + ":\\";
    DWORD sectorsPerCluster = 0, bytesPerSector = 0, freeClusters = 0, totalClusters = 0;
    FreeSpace space;
    QuietDriveProbe quiet;
    if (GetDiskFreeSpaceA(root.c_str(), &sectorsPerCluster, &bytesPerSector, &freeClusters, &totalClusters)) {
        space.known = true;
        space.clusterSize = static_cast<uint64_t>(sectorsPerCluster) * bytesPerSector;
        space.freeClusters = freeClusters;
    }
    std::string question;
    if (CheckFreeSpace(app.ArchiveList, drive, space, fw::LoadText(IDS_NOT_ENOUGH_SPACE),
                       fw::LoadText(IDS_CANNOT_VERIFY_SPACE), question))
        return true;
    return ShowUserMessage(Handle(), question, fw::LoadText(IDS_MAIN_TITLE), MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2,
                           IDYES) == IDYES;
}

void SelectDirectoryPage::OnNext()
{
    if (GoBackIfLeaving()) return;
    SetupApp& app = App();
    if (!TakeHomeDirectory()) {
        // Nobody can type another directory in an unattended run.
        if (app.UnattendedMode) FailSetup();
        return;
    }
    ClearDerivedDestinations(app.DestinationTable);
    SetDestinationPath(app.DestinationTable, 0, HomeDirectory);
    SetDestinationPath(app.DestinationTable, 1, "");
    SetDestinationPath(app.DestinationTable, 3, ProgramFilesDirectory() + "\\Brantoke\\Common\\");
    try {
        ResolveDestinations(app.DestinationTable);
    } catch (...) {
        // A damaged destinations section shows here first.
        std::unique_ptr<CXException> failure = ConvertCurrentException();
        ReportFatal(IDS_SETUP_CANNOT_CONTINUE, failure.get());
        FailSetup();
        return;
    }
    CopyText(app.Data->InstallPath, HomeDirectory);
    if (!app.UnattendedMode && !CheckFreeSpaceOnDrive()) return;
    GoToPage(NextPageId);
}
