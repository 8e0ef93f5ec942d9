// The pages on which the user decides what is installed and where: 126 user
// information, 1537 install conditions (a hook that is passed over), 125
// setup type and 104 home directory. Each validates and stores its choices
// on Next; Back stores nothing.
#pragma once
#include "wizard/base/WizardPage.h"

#include <string>

class UserInfoPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    bool Validate() override;
    void Store() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    void EnableNext();
};

class InstallConditionsPage : public WizardPage {
public:
    using WizardPage::WizardPage;
    bool ShouldShow() override;
};

class SetupTypePage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    void Store() override;
    bool OnCommand(int id, int code, HWND control) override;
};

class SelectDirectoryPage : public WizardPage {
public:
    using WizardPage::WizardPage;

protected:
    void InitPage() override;
    // The typed directory, normalised, made, with room enough on its drive.
    bool Validate() override;
    void Store() override;
    bool OnCommand(int id, int code, HWND control) override;

private:
    // False (after telling the user) when the home directory cannot be used.
    bool TakeHomeDirectory();
    bool CheckFreeSpaceOnDrive(char drive);

    std::string home_; // the typed directory once validated
};

// The page-104 message: a box, or in unattended mode a line of the install log.
void ShowPageMessage(HWND page, const std::string& text, UINT type = MB_OK);
