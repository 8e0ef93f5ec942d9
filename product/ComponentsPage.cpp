#include "product/ComponentsPage.h"

#include "engine/SetupApp.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "product/Components.h"
#include "resources/ids.h"
#include "wizard/Wizard.h"

bool ComponentsPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetPictureButton(IDB_SETUP_TYPE);
    PreviousPageId = IDD_SETUP_TYPE;
    SetupApp& app = *SetupApp::Instance();
    app.SetupType = 2;
    list_.Attach(Item(IDC_COMPONENT_LIST));
    for (Group* group : OfferedComponents(app.GroupTable, app.Data->ComponentMask)) list_.Add(*group);
    SendMessageA(list_.Handle(), LB_SETCURSEL, 0, 0);
    ShowDescription();
    app.Data->ComponentMask = 0;
    return true;
}

void ComponentsPage::ShowDescription()
{
    const Group* group = list_.Selected();
    SetItemText(IDC_COMPONENT_TEXT, group ? group->Text2 : std::string());
}

bool ComponentsPage::OnCommand(int id, int code, HWND control)
{
    if (id == IDC_COMPONENT_LIST && code == LBN_SELCHANGE) {
        ShowDescription();
        return true;
    }
    return WizardPage::OnCommand(id, code, control);
}

bool ComponentsPage::OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result)
{
    switch (message) {
    case WM_MEASUREITEM:
        if (!CheckList::Measure(Handle(), IDC_COMPONENT_LIST, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return WizardPage::OnMessage(message, wParam, lParam, result);
        result = TRUE;
        return true;
    case WM_DRAWITEM:
        if (!list_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
            return WizardPage::OnMessage(message, wParam, lParam, result);
        result = TRUE;
        return true;
    case WM_VKEYTOITEM:
        return list_.KeyToItem(wParam, lParam, result) || WizardPage::OnMessage(message, wParam, lParam, result);
    default: return WizardPage::OnMessage(message, wParam, lParam, result);
    }
}

void ComponentsPage::OnNext()
{
    if (GoBackIfLeaving()) return;
    SetupApp& app = *SetupApp::Instance();
    if (StoreCheckedComponents(*app.Data, app.GroupTable)) {
        GoToPage(NextPageId);
        return;
    }
    // Unattended, the page stays as well: the run cannot go on without a choice.
    ShowUserMessage(Handle(), fw::LoadText(IDS_NO_COMPONENTS), fw::LoadText(IDS_MAIN_TITLE), MB_OK, IDOK);
    if (app.UnattendedMode) FailSetup();
}
