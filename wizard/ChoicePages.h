// The pages on which the user decides what is installed and where: 126 user
// information, 1537 install conditions (a hook that is passed over), 125
// setup type and 104 home directory. Each stores its choices on Next and
// does not validate when it is left through Back.
#pragma once
#include "wizard/WizardPage.h"

#include <string>

class UserInfoPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnNext() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void EnableNext();
};

class InstallConditionsPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    // What a build would check before installing; none are checked today.
    virtual bool ConditionsMet() { return true; }
    bool ShouldShow() override { return !ConditionsMet(); }

protected:
    bool OnInitDialog() override;
};

class SetupTypePage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnNext() override;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
};

class SelectDirectoryPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    void OnNext() override;

    std::string HomeDirectory;

protected:
    bool OnInitDialog() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    // False (after telling the user) when the home directory cannot be used.
    bool TakeHomeDirectory();
    bool CheckFreeSpaceOnDrive();
};

// The page-104 message: a box, or in unattended mode a line of the install log.
void ShowPageMessage(HWND page, const std::string& text, UINT type = MB_OK);
