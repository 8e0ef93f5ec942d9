#include "product/OptionPages.h"

#include "engine/SetupContext.h"
#include "resources/ids.h"

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

void KeepConfigPage::InitPage()
{
    SetPictureButton(IDB_KEEP_CONFIG);
    const bool overwrite = Setup().Data->OverwriteRegistry != 0;
    CheckDlgButton(Handle(), overwrite ? IDC_OVERWRITE_CONFIG : IDC_KEEP_CONFIG, BST_CHECKED);
}

bool KeepConfigPage::OnCommand(int id, int code, HWND control)
{
    if ((id == IDC_KEEP_CONFIG || id == IDC_OVERWRITE_CONFIG) && code == BN_CLICKED) {
        // The notes between the two buttons end their group: check by hand.
        CheckDlgButton(Handle(), IDC_KEEP_CONFIG, id == IDC_KEEP_CONFIG ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(Handle(), IDC_OVERWRITE_CONFIG, id == IDC_OVERWRITE_CONFIG ? BST_CHECKED : BST_UNCHECKED);
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

void KeepConfigPage::Store() { Setup().Data->OverwriteRegistry = Checked(Handle(), IDC_OVERWRITE_CONFIG) ? 1 : 0; }

// ---- 1557 Internet options ------------------------------------------------

void InternetOptionsPage::InitPage()
{
    const SetupData& d = *Setup().Data;
    SetPictureButton(IDB_INTERNET_OPTIONS);

    if (d.ComponentMask & kComponentAutoDownload) {
        CheckDlgButton(Handle(), IDC_RUN_AUTO_DOWNLOAD, d.AutoDownloadAgent ? BST_CHECKED : BST_UNCHECKED);
    } else {
        CheckDlgButton(Handle(), IDC_RUN_AUTO_DOWNLOAD, BST_UNCHECKED);
        EnableWindow(Item(IDC_RUN_AUTO_DOWNLOAD), FALSE);
    }
    const struct {
        bool found;
        int32_t wanted;
        int box;
    } browsers[] = {
        {NavigatorInstalled(), d.NavigatorIntegration, IDC_NAVIGATOR},
        {InternetExplorerInstalled(), d.ExplorerIntegration, IDC_EXPLORER},
    };
    bool anyFound = false;
    for (const auto& b : browsers) {
        CheckDlgButton(Handle(), b.box, b.found && b.wanted != 0 ? BST_CHECKED : BST_UNCHECKED);
        EnableWindow(Item(b.box), b.found);
        anyFound = anyFound || b.found;
    }
    if (!anyFound) EnableWindow(Item(IDC_INTERNET_TEXT), FALSE);
}

void InternetOptionsPage::Store()
{
    SetupContext& setup = Setup();
    // A browser that is not there has its box disabled and unchecked.
    setup.IntegrateNavigator = Checked(Handle(), IDC_NAVIGATOR) ? 1 : 0;
    setup.IntegrateExplorer = Checked(Handle(), IDC_EXPLORER) ? 1 : 0;
    const bool enabled = IsWindowEnabled(Item(IDC_RUN_AUTO_DOWNLOAD)) != FALSE;
    setup.Data->AutoDownloadAgent = enabled && Checked(Handle(), IDC_RUN_AUTO_DOWNLOAD) ? 1 : 0;
}
