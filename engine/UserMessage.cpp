#include "engine/UserMessage.h"

#include "engine/SetupApp.h"
#include "framework/Prompt.h"

void LogUnattendedMessage(const std::string& text)
{
    // The install log joins here.
    (void)text;
}

int ShowUserMessage(HWND owner, const std::string& text, const std::string& caption, UINT type,
                    int unattendedAnswer)
{
    SetupApp* app = SetupApp::Instance();
    if (app && app->UnattendedMode) {
        LogUnattendedMessage(text);
        return unattendedAnswer;
    }
    return fw::ShowMessageBox(owner, text, caption, type);
}
