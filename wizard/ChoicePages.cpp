#include "wizard/ChoicePages.h"

#include "config/log/InstallLog.h"
#include "engine/DriveIterator.h"
#include "engine/ErrorReport.h"
#include "engine/base/XException.h"
#include "engine/base/FixedText.h"
#include "config/InstallSettings.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "engine/journal/UndoLog.h"
#include "engine/profile/Destinations.h"
#include "framework/Text.h"
#include "product/Components.h"
#include "resources/ids.h"
#include "wizard/DirectoryPicker.h"
#include "wizard/HomeDirectory.h"
#include "wizard/Pages.h"
#include "wizard/base/Wizard.h"

namespace {

constexpr int kFieldLimit = 255; // the setup data's 256-byte texts

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

void UserInfoPage::InitPage()
{
    SetPictureButton(IDB_USER_INFO);
    SendMessageA(Item(IDC_USER_NAME), EM_LIMITTEXT, kFieldLimit, 0);
    SendMessageA(Item(IDC_COMPANY_NAME), EM_LIMITTEXT, kFieldLimit, 0);
    const SetupData& d = *Setup().Data;
    if (d.FullName[0] != '\0') {
        SetItemText(IDC_USER_NAME, d.FullName);
        SetItemText(IDC_COMPANY_NAME, d.CompanyName);
    }
    EnableNext();
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

bool UserInfoPage::Validate()
{
    // Both names as the block will hold them.
    SetupData typed = {};
    CopyText(typed.FullName, ItemText(IDC_USER_NAME));
    CopyText(typed.CompanyName, ItemText(IDC_COMPANY_NAME));
    const struct {
        const char* value;
        int message;
        int edit;
    } checks[] = {{typed.FullName, IDS_NEED_USER_NAME, IDC_USER_NAME},
                  {typed.CompanyName, IDS_NEED_COMPANY_NAME, IDC_COMPANY_NAME}};
    for (const auto& check : checks) {
        if (check.value[0] != '\0') continue;
        ShowPageMessage(Handle(), fw::LoadText(check.message));
        // Unattended, the log has the message and the run goes on.
        if (Setup().UnattendedMode) return true;
        SetFocus(Item(check.edit));
        return false;
    }
    return true;
}

void UserInfoPage::Store()
{
    SetupData& d = *Setup().Data;
    CopyText(d.FullName, ItemText(IDC_USER_NAME));
    CopyText(d.CompanyName, ItemText(IDC_COMPANY_NAME));
}

// ---- 1537 Install conditions ----------------------------------------------

bool InstallConditionsPage::ShouldShow() { return !InstallConditionsMet(); }

// ---- 125 Setup type -------------------------------------------------------

void SetupTypePage::InitPage()
{
    SetPictureButton(IDB_SETUP_TYPE);
    const bool express = Setup().SetupType != kSetupCustom;
    CheckDlgButton(Handle(), IDC_EXPRESS, express ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(Handle(), IDC_CUSTOM, express ? BST_UNCHECKED : BST_CHECKED);
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

void SetupTypePage::Store()
{
    SetupContext& setup = Setup();
    setup.SetupType = IsDlgButtonChecked(Handle(), IDC_CUSTOM) == BST_CHECKED ? kSetupCustom : kSetupExpress;
    ApplySetupType(setup.GroupTable, kSelectFlag2);
    ApplyComponentChoices(*setup.Data, setup.GroupTable);
    setup.ProductTitle = fw::LoadText(IDS_PRODUCT_NAME);
}

// ---- 104 Select directory -------------------------------------------------

void SelectDirectoryPage::InitPage()
{
    const SetupContext& setup = Setup();
    SetPictureButton(IDB_SELECT_DIRECTORY);
    SendMessageA(Item(IDC_HOME_DIRECTORY), EM_LIMITTEXT, kFieldLimit, 0);
    const std::string home = setup.HomeDirectory();
    SetItemText(IDC_HOME_DIRECTORY, !home.empty() ? home : DefaultHomeDirectory(setup.DestinationTable));
}

bool SelectDirectoryPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        std::string directory = ItemText(IDC_HOME_DIRECTORY);
        if (PickDirectory(Handle(), directory)) SetItemText(IDC_HOME_DIRECTORY, directory);
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

bool SelectDirectoryPage::TakeHomeDirectory()
{
    const SetupContext& setup = Setup();
    const std::size_t limit = MaxHomeDirectoryLength(setup.DestinationTable);
    std::string home;
    if (!NormaliseHomeDirectory(ItemText(IDC_HOME_DIRECTORY), limit, home)) {
        ShowPageMessage(Handle(), fw::FormatText(fw::LoadText(IDS_BAD_HOME_DIRECTORY).c_str(), static_cast<int>(limit)),
                        MB_OK | MB_ICONSTOP);
        return false;
    }
    home_ = home;
    SetItemText(IDC_HOME_DIRECTORY, home_);
    const SetupData& d = *setup.Data;
    if ((d.ComponentMask & (kComponentManager | kComponentAutoDownload)) != 0 || d.NetwareSupport != 0) {
        PathName directory;
        directory.SetDirectory(home_);
        if (!directory.HasSubdirectories() &&
            (!undojournal::RecordDirectories(home_) || !directory.MakeDirectories(true))) {
            const DWORD error = GetLastError();
            ShowPageMessage(Handle(),
                            fw::FormatText("Failed to Create Dir (%s)-(%d)", home_.c_str(), static_cast<int>(error)));
            ShowPageMessage(Handle(), fw::LoadText(IDS_CANNOT_CREATE_DIR));
            return false;
        }
    }
    return true;
}

bool SelectDirectoryPage::CheckFreeSpaceOnDrive(char drive)
{
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
    if (CheckFreeSpace(Setup().ArchiveList, drive, space, fw::LoadText(IDS_NOT_ENOUGH_SPACE),
                       fw::LoadText(IDS_CANNOT_VERIFY_SPACE), question))
        return true;
    return ShowUserMessage(Handle(), question, fw::LoadText(IDS_MAIN_TITLE), MB_YESNO | MB_ICONSTOP | MB_DEFBUTTON2,
                           IDYES) == IDYES;
}

bool SelectDirectoryPage::Validate()
{
    if (!TakeHomeDirectory()) {
        // Nobody can type another directory in an unattended run.
        if (Setup().UnattendedMode) FailSetup();
        return false;
    }
    return Setup().UnattendedMode || CheckFreeSpaceOnDrive(home_[0]);
}

void SelectDirectoryPage::Store()
{
    SetupContext& setup = Setup();
    ClearDerivedDestinations(setup.DestinationTable);
    SetDestinationPath(setup.DestinationTable, 1, "");
    SetDestinationPath(setup.DestinationTable, 3, ProgramFilesDirectory() + "\\Brantoke\\Common\\");
    try {
        setup.SetHomeDirectory(home_);
    } catch (...) {
        // A damaged destinations section shows here first.
        std::unique_ptr<CXException> failure = ConvertCurrentException();
        ReportFatal(IDS_SETUP_CANNOT_CONTINUE, failure.get());
        FailSetup();
    }
}
