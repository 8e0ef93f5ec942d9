// How a run of the setup ended, said the same way in the three places a
// management tool looks: the exit code, the status file and the install
// log's last line.
#pragma once
#include <string>

enum class RunOutcome {
    Completed,      // 0
    RestartPending, // 3010: completed, takes effect after Windows restarts
    Cancelled,      // 1602
    Failed,         // 1603
};

int ExitCodeOf(RunOutcome outcome);
// True when the status file says Success.
bool IsSuccess(RunOutcome outcome);
// The status file's description of a failure (the reason, or a fixed text).
std::string FailureDescription(RunOutcome outcome, const std::string& reason);
// The install log's last line of the run.
std::string FinalLogLine(RunOutcome outcome, const std::string& reason);

// What decides the outcome, gathered during the run.
struct RunFacts {
    bool Completed = false;      // the wizard ended with the work done
    bool Cancelled = false;      // the user confirmed Cancel
    bool Failed = false;         // the work failed (or was abandoned)
    bool RestartPending = false; // a replacement or a driver waits for a restart
    bool RestartRequested = false;
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
