// Page 127: the custom setup's components, a check-box list of the optional
// groups with the description of the one under the selection.
#pragma once
#include "product/CheckList.h"
#include "wizard/base/WizardPage.h"

class ComponentsPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    CheckList& List() { return list_; }

protected:
    void InitPage() override;
    // At least one component is checked.
    bool Validate() override;
    void Store() override;
    bool OnCommand(int id, int code, HWND control) override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    void ShowDescription();
    CheckList list_;
};
