#include "engine/Media.h"

#include "engine/MediaLayout.h"
#include "engine/SetupContext.h"
#include "engine/SystemHelpers.h"
#include "engine/UserMessage.h"
#include "resources/ids.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cstdlib>

namespace {

bool FileExists(const std::string& path)
{
    QuietDriveProbe quiet;
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string DriveOf(const PathName& p) { return p.Drive(); }

} // namespace

bool EnsureMediaFile(const std::string& fileName, int disketteNumber)
{
    SetupContext* app = SetupContext::Current();
    PathName& source = app->SourcePath;
    PathName candidate = source;
    candidate.SetFileName(fileName);
    if (FileExists(candidate.Text())) return true;

    if (auto sibling = SiblingDisketteDirectory(source.DirectoryOnly(), disketteNumber)) {
        PathName other = source;
        other.SetDirectoryKeepDrive(*sibling);
        other.SetFileName(fileName);
        if (FileExists(other.Text())) {
            source.SetDirectoryKeepDrive(*sibling);
            return true;
        }
    }

    if (app->UnattendedMode) {
        // Nobody can insert a diskette: the run stops with the reason in the log.
        std::string label = disketteNumber >= 0 && static_cast<size_t>(disketteNumber) < app->DisketteTable.size()
            ? app->DisketteTable[static_cast<size_t>(disketteNumber)].Label
            : std::string();
        LogUnattendedMessage(DisketteRequestText(label, disketteNumber, source.Drive()));
        return false;
    }
    DiskettePrompt prompt(candidate.Text(), disketteNumber);
    return prompt.DoModal(nullptr) == IDOK;
}

std::string FindMediaFile(const std::string& fileName)
{
    SetupContext* app = SetupContext::Current();
    if (!app) return {};
    PathName program;
    program.SetToModuleFileName();
    for (PathName candidate : {program, app->SourcePath}) {
        candidate.SetFileName(fileName);
        if (FileExists(candidate.Text())) return candidate.Text();
    }
    // Every diskette the profile knows of.
    int last = static_cast<int>(app->DisketteTable.size()) - 1;
    for (const ArchiveItem& item : app->ArchiveList) last = std::max(last, std::abs(item.Diskette));
    for (int number = 1; number <= last; ++number) {
        auto sibling = SiblingDisketteDirectory(app->SourcePath.DirectoryOnly(), number);
        if (!sibling) break; // not a diskette directory: no siblings at all
        PathName candidate = app->SourcePath;
        candidate.SetDirectoryKeepDrive(*sibling);
        candidate.SetFileName(fileName);
        if (FileExists(candidate.Text())) return candidate.Text();
    }
    return {};
}

void PlayMediaSound(const std::string& fileName, bool synchronous)
{
    const std::string path = FindMediaFile(fileName);
    if (path.empty()) return;
    PlaySoundA(path.c_str(), nullptr, (synchronous ? SND_SYNC : SND_ASYNC) | SND_FILENAME | SND_NODEFAULT);
}

DiskettePrompt::DiskettePrompt(std::string awaitedFile, int disketteNumber)
    : fw::Dialog(IDD_DISKETTE_PROMPT), awaitedFile_(std::move(awaitedFile)), disketteNumber_(disketteNumber)
{
}

bool DiskettePrompt::OnInitDialog()
{
    SetupContext* app = SetupContext::Current();
    std::string label;
    if (app && disketteNumber_ >= 0 && static_cast<size_t>(disketteNumber_) < app->DisketteTable.size())
        label = app->DisketteTable[static_cast<size_t>(disketteNumber_)].Label;
    std::string drive = app ? DriveOf(app->SourcePath) : std::string();
    SetItemText(IDC_DISKETTE_TEXT, DisketteRequestText(label, disketteNumber_, drive));
    RECT r;
    GetWindowRect(Handle(), &r);
    SetWindowPos(Handle(), nullptr, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    return true;
}

void DiskettePrompt::OnOK()
{
    if (FileExists(awaitedFile_)) {
        EndDialog(IDOK);
        return;
    }
    FlashWindow(Handle(), TRUE);
    FlashWindow(Handle(), FALSE);
    MessageBeep(MB_ICONASTERISK);
}
