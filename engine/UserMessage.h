// Messages a page shows the user. In unattended mode nobody is there to
// answer: the message goes to the install log and the default answer is taken.
#pragma once
#include <windows.h>

#include <string>

// Appends the text as a line to the install log.
void LogUnattendedMessage(const std::string& text);

// A message box through the prompt seam, or, in unattended mode, a log line
// and the answer `unattendedAnswer`.
int ShowUserMessage(HWND owner, const std::string& text, const std::string& caption, UINT type, int unattendedAnswer);
