#include "product/OptionPages.h"

#include "engine/SetupApp.h"
#include "resources/ids.h"
#include "wizard/Wizard.h"

namespace {

bool KeyOpens(HKEY root, const char* path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

} // namespace

bool NavigatorInstalled() { return KeyOpens(HKEY_CURRENT_USER, "SOFTWARE\\Netscape\\Netscape Navigator"); }

bool InternetExplorerInstalled()
{
    return KeyOpens(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Internet Explorer\\Main");
}

// ---- 1552 Keep or overwrite -----------------------------------------------

bool KeepConfigPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    PreviousPageId = IDD_SELECT_DIRECTORY;
    SetPictureButton(IDB_KEEP_CONFIG);
    SetupData& d = *SetupApp::Instance()->Data;
    if (d.OverwriteRegistry != 0) {
        CheckDlgButton(Handle(), IDC_OVERWRITE_CONFIG, BST_CHECKED);
    } else {
        CheckDlgButton(Handle(), IDC_KEEP_CONFIG, BST_CHECKED);
        d.OverwriteRegistry = 0;
    }
    return true;
}

bool KeepConfigPage::OnCommand(int id, int code, HWND control)
{
    if ((id == IDC_KEEP_CONFIG || id == IDC_OVERWRITE_CONFIG) && code == BN_CLICKED) {
        // The notes between the two buttons end their group: check by hand.
        CheckDlgButton(Handle(), IDC_KEEP_CONFIG, id == IDC_KEEP_CONFIG ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(Handle(), IDC_OVERWRITE_CONFIG, id == IDC_OVERWRITE_CONFIG ? BST_CHECKED : BST_UNCHECKED);
        SetupApp::Instance()->Data->OverwriteRegistry = id == IDC_OVERWRITE_CONFIG ? 1 : 0;
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

// ---- 1557 Internet options ------------------------------------------------

bool InternetOptionsPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetupApp& app = *SetupApp::Instance();
    const SetupData& d = *app.Data;
    PreviousPageId = app.ExistingInstall ? IDD_KEEP_CONFIG : IDD_SELECT_DIRECTORY;
    SetPictureButton(IDB_INTERNET_OPTIONS);

    if (d.ComponentMask & kComponentAutoDownload) {
        CheckDlgButton(Handle(), IDC_RUN_AUTO_DOWNLOAD, d.AutoDownloadAgent ? BST_CHECKED : BST_UNCHECKED);
    } else {
        CheckDlgButton(Handle(), IDC_RUN_AUTO_DOWNLOAD, BST_UNCHECKED);
        EnableWindow(Item(IDC_RUN_AUTO_DOWNLOAD), FALSE);
    }
    struct Browser {
        bool found;
        int32_t wanted;
        int32_t& flag;
        int box;
    };
    const Browser browsers[] = {
        {NavigatorInstalled(), d.NavigatorIntegration, app.IntegrateNavigator, IDC_NAVIGATOR},
        {InternetExplorerInstalled(), d.ExplorerIntegration, app.IntegrateExplorer, IDC_EXPLORER},
    };
    bool anyFound = false;
    for (const Browser& b : browsers) {
        b.flag = b.found && b.wanted != 0 ? 1 : 0;
        CheckDlgButton(Handle(), b.box, b.flag ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(Item(b.box), b.found);
        anyFound = anyFound || b.found;
    }
    if (!anyFound) EnableWindow(Item(IDC_INTERNET_TEXT), FALSE);
    return true;
}

bool InternetOptionsPage::OnCommand(int id, int code, HWND control)
{
    SetupApp& app = *SetupApp::Instance();
    if (id == IDC_NAVIGATOR && code == BN_CLICKED) {
        app.IntegrateNavigator = Checked(Handle(), IDC_NAVIGATOR) ? 1 : 0;
        return true;
    }
    if (id == IDC_EXPLORER && code == BN_CLICKED) {
        app.IntegrateExplorer = Checked(Handle(), IDC_EXPLORER) ? 1 : 0;
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

void InternetOptionsPage::OnNext()
{
    if (!LeftByBack()) {
        const bool enabled = IsWindowEnabled(Item(IDC_RUN_AUTO_DOWNLOAD)) != FALSE;
        SetupApp::Instance()->Data->AutoDownloadAgent = enabled && Checked(Handle(), IDC_RUN_AUTO_DOWNLOAD) ? 1 : 0;
    }
    GoToPage(NextPageId);
}
