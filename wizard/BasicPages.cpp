#include "wizard/BasicPages.h"

#include "engine/Media.h"
#include "resources/ids.h"

void WelcomePage::InitPage()
{
    SetPictureButton(IDB_WELCOME);
    PlayMediaSound("WELCOME.WAV", false);
}
