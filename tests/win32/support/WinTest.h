// Helpers for the Win32 tests: an answerer for the prompt seam that records
// what was shown, and a message pump that waits for a condition.
#pragma once
#include "framework/Dialog.h"
#include "framework/Prompt.h"
#include "wizard/base/Wizard.h"

#include <windows.h>

#include <deque>
#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

namespace wintest {

class RecordingAnswerer : public fw::PromptAnswerer {
public:
    RecordingAnswerer() { previous_ = fw::SetPromptAnswerer(this); }
    ~RecordingAnswerer() override { fw::SetPromptAnswerer(previous_); }

    int AnswerMessage(const fw::PromptRecord& prompt) override
    {
        prompts.push_back(prompt);
        if (messageAnswers.empty()) return IDOK;
        int a = messageAnswers.front();
        messageAnswers.pop_front();
        return a;
    }
    int AnswerDialog(const fw::PromptRecord& prompt, fw::Dialog& dialog) override
    {
        prompts.push_back(prompt);
        if (onDialog) return onDialog(dialog);
        return IDOK;
    }
    bool AnswerDirectory(const fw::PromptRecord& prompt, std::string& path) override
    {
        prompts.push_back(prompt);
        return onDirectory ? onDirectory(path) : false;
    }

    std::vector<fw::PromptRecord> prompts;
    std::deque<int> messageAnswers;
    std::function<int(fw::Dialog&)> onDialog;
    std::function<bool(std::string&)> onDirectory;

private:
    fw::PromptAnswerer* previous_ = nullptr;
};

// Dispatches messages until the condition holds or the time is up; returns
// the condition. Waits on the message queue, never sleeps blindly.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeoutMs = 10000);

// Dispatches what is pending now (and what that posts), without waiting.
void PumpPending();

// A fresh directory under the temporary directory; removed with its files.
class TempDir {
public:
    TempDir();
    ~TempDir();
    const std::string& Path() const { return path_; } // ends in a backslash

private:
    std::string path_;
};

// The directory of the running test program, ending in a backslash: where
// the helper programs are.
std::string ModuleDirectory();
// A fresh directory of this test program's run for files the tests write,
// removed at exit; ends in a backslash.
const std::string& ScratchDirectory();
// A Unix path (of the source tree) as Wine shows it.
std::string HostPath(const std::string& unixPath);
// Another process (holdfile.exe beside the test program) holding a file:
// "open" keeps a handle without sharing, "load" has it loaded as a library.
// Lets go when destroyed.
class FileHolder {
public:
    FileHolder(const char* mode, const std::string& path);
    ~FileHolder() { Release(); }
    FileHolder(const FileHolder&) = delete;
    FileHolder& operator=(const FileHolder&) = delete;
    bool Holding() const { return holding_; }
    void Release();

private:
    HANDLE ready_ = nullptr;
    HANDLE release_ = nullptr;
    HANDLE process_ = nullptr;
    bool holding_ = false;
};

// The data of a registry value ("<no key>", "<no value>" when missing).
std::string RegistryValue(HKEY root, const std::string& path, const char* name, DWORD* type = nullptr);

// Starts a program; its process handle, or null.
HANDLE StartProgram(const std::string& commandLine, DWORD flags = 0, HANDLE* thread = nullptr);

std::string ReadFileText(const std::string& path);
bool WriteFileText(const std::string& path, const std::string& text);
std::string WindowText(HWND window);
// Bytes no compression method can shrink (a linear congruential sequence):
// members of them take many progress steps.
std::string Noise(std::size_t n, unsigned seed = 12345);
// The lines of a CR LF text; an unterminated tail is a line too.
std::vector<std::string> SplitCrLf(const std::string& text);
bool Exists(const std::string& path);
// The Windows and System directories and the Programs folder of the Start
// menu, each ending in a backslash.
std::string WindowsDirectory();
std::string SystemDirectory();
std::string ProgramsFolder();
// The names of the files (not directories) in a directory, in the order found.
std::vector<std::string> FileNames(const std::string& directoryWithSlash);

// The program's page table with the pages of these ids made by `make` and
// followed by the end of the wizard (stand-ins that stop a run there).
void UseStandInPages(std::initializer_list<int32_t> ids, const PageMaker& make);
// Back to the program's own page table.
void UseStandardPages();

} // namespace wintest
