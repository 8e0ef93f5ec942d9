#include "wizard/BasicPages.h"

#include "engine/Media.h"
#include "resources/ids.h"

bool WelcomePage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetPictureButton(IDB_WELCOME);
    PlayMediaSound("WELCOME.WAV", false);
    return true;
}
