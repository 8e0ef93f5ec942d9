#include "engine/UserMessage.h"

#include "config/log/InstallLog.h"
#include "engine/SetupContext.h"
#include "framework/Prompt.h"

void LogUnattendedMessage(const std::string& text) { LogMessage("%s", text.c_str()); }

int ShowUserMessage(HWND owner, const std::string& text, const std::string& caption, UINT type, int unattendedAnswer)
{
    SetupContext* app = SetupContext::Current();
    if (app && app->UnattendedMode) {
        LogUnattendedMessage(text);
        return unattendedAnswer;
    }
    return fw::ShowMessageBox(owner, text, caption, type);
}
