// How a run of the setup ended, said the same way in the three places a
// management tool looks: the exit code, the status file and the install
// log's last line.
#pragma once
#include <string>
#include <vector>

enum class RunOutcome {
    Completed,      // 0
    RestartPending, // 3010: completed, takes effect after Windows restarts
    Restarting,     // 3010: completed, and Windows was asked to restart
    Cancelled,      // 1602
    Failed,         // 1603
};

int ExitCodeOf(RunOutcome outcome);
// True when the status file says Success.
bool IsSuccess(RunOutcome outcome);
// The status file's description of a failure (the reason, or a fixed text).
std::string FailureDescription(RunOutcome outcome, const std::string& reason);
// "1 item skipped: A" or "2 items skipped: A, B"; empty for none.
std::string SkippedItemsText(const std::vector<std::string>& skipped);
// The status file's description: a failure's, or for a success the items it
// skipped (empty when none).
std::string StatusDescription(RunOutcome outcome, const std::string& reason, const std::vector<std::string>& skipped);
// The install log's last line of the run.
std::string FinalLogLine(RunOutcome outcome, const std::string& reason, const std::vector<std::string>& skipped = {});

// What decides the outcome, gathered during the run.
struct RunFacts {
    bool Completed = false;      // the wizard ended with the work done
    bool Cancelled = false;      // the user confirmed Cancel
    bool Failed = false;         // the work failed (or was abandoned)
    bool RestartPending = false; // a replacement or a driver waits for a restart
    bool RestartRequested = false;
    bool Unattended = false; // nobody chose to go on without an item
    std::size_t Skipped = 0; // items of the media that were not installed
};
RunOutcome DecideOutcome(const RunFacts& facts);

// A file replacement scheduled for the next start of Windows, or a driver
// that is loaded only then: the run needs a restart to take effect.
void NoteRestartPending();
// Windows was asked to restart (the pending work then takes effect).
void NoteRestartRequested();
bool RestartPendingNoted();
bool RestartRequestedNoted();
// Tests start from a clean slate.
void ResetRestartNotes();
