// Making one file of one diskette available under SourcePath: found as it
// is, found in the diskette's sibling directory (which then stays the media
// directory), or asked for with the "Insert Diskette" prompt (dialog 113).
#pragma once
#include "framework/Dialog.h"

#include <string>

// True when SourcePath's directory plus the file name can be opened; false
// when the user cancelled the prompt (the caller sets SetupFailed).
bool EnsureMediaFile(const std::string& fileName, int disketteNumber);

// A file setup reads from its media (start.job, the sounds), wherever it
// lies: beside the running program, in the media directory in use (which the
// copy moves from diskette to diskette), or in a sibling diskette directory
// of it. The full path, or empty when it is nowhere. Asks for no diskette.
std::string FindMediaFile(const std::string& fileName);

// Plays a sound file of the media (found as above); a missing file plays
// nothing. Synchronous: returns when the sound has ended.
void PlayMediaSound(const std::string& fileName, bool synchronous);

class DiskettePrompt : public fw::Dialog {
public:
    DiskettePrompt(std::string awaitedFile, int disketteNumber);

protected:
    bool OnInitDialog() override;
    void OnOK() override;

private:
    std::string awaitedFile_;
    int disketteNumber_;
};
