// Making one file of one diskette available under SourcePath: found as it
// is, found in the diskette's sibling directory (which then stays the media
// directory), or asked for with the "Insert Diskette" prompt (dialog 113).
#pragma once
#include "framework/Dialog.h"

#include <string>

// True when SourcePath's directory plus the file name can be opened; false
// when the user cancelled the prompt (the caller sets SetupFailed).
bool EnsureMediaFile(const std::string& fileName, int disketteNumber);

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
