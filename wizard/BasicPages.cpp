#include "wizard/BasicPages.h"

#include "engine/SetupApp.h"
#include "resources/ids.h"

#include <mmsystem.h>

bool WelcomePage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    SetPictureButton(IDB_WELCOME);
    // The sound lies on the media beside the program; a missing file plays nothing.
    SetupApp* app = SetupApp::Instance();
    std::string sound = (app ? app->SourcePath.DirectoryWithSlash() : std::string()) + "WELCOME.WAV";
    PlaySoundA(sound.c_str(), nullptr, SND_ASYNC | SND_FILENAME | SND_NODEFAULT);
    return true;
}
