#include "product/ComponentsPage.h"

#include "engine/SetupContext.h"
#include "engine/UserMessage.h"
#include "framework/Text.h"
#include "product/Components.h"
#include "resources/ids.h"
#include "wizard/base/Wizard.h"

void ComponentsPage::InitPage()
{
    SetPictureButton(IDB_SETUP_TYPE);
    SetupContext& setup = Setup();
    list_.Attach(Item(IDC_COMPONENT_LIST));
    for (Group* group : OfferedComponents(setup.GroupTable, setup.Data->ComponentMask)) list_.Add(*group);
    SendMessageA(list_.Handle(), LB_SETCURSEL, 0, 0);
    ShowDescription();
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

bool ComponentsPage::Validate()
{
    if (AnyComponentChecked(Setup().GroupTable)) return true;
    ShowUserMessage(Handle(), fw::LoadText(IDS_NO_COMPONENTS), fw::LoadText(IDS_MAIN_TITLE), MB_OK, IDOK);
    // Unattended, the run cannot go on without a choice.
    if (Setup().UnattendedMode) FailSetup();
    return false;
}

void ComponentsPage::Store()
{
    SetupContext& setup = Setup();
    StoreCheckedComponents(*setup.Data, setup.GroupTable);
}
