#include "config/RunOutcome.h"

namespace {
bool g_restartPending = false;
bool g_restartRequested = false;
} // namespace

int ExitCodeOf(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Completed: return 0;
    case RunOutcome::RestartPending: return 3010;
    case RunOutcome::Cancelled: return 1602;
    case RunOutcome::Failed: break;
    }
    return 1603;
}

bool IsSuccess(RunOutcome outcome) { return outcome == RunOutcome::Completed || outcome == RunOutcome::RestartPending; }

std::string FailureDescription(RunOutcome outcome, const std::string& reason)
{
    if (IsSuccess(outcome)) return {};
    if (outcome == RunOutcome::Cancelled) return "Cancelled by the user";
    return reason.empty() ? "Setup did not complete" : reason;
}

std::string FinalLogLine(RunOutcome outcome, const std::string& reason)
{
    std::string line = "Setup ended: ";
    if (IsSuccess(outcome))
        line += outcome == RunOutcome::RestartPending ? "Success, restart required" : "Success";
    else
        line += "Failed (" + FailureDescription(outcome, reason) + ")";
    return line + ", exit code " + std::to_string(ExitCodeOf(outcome));
}

RunOutcome DecideOutcome(const RunFacts& f)
{
    if (f.Cancelled) return RunOutcome::Cancelled;
    if (f.Failed || !f.Completed) return RunOutcome::Failed;
    return f.RestartPending && !f.RestartRequested ? RunOutcome::RestartPending : RunOutcome::Completed;
}

void NoteRestartPending() { g_restartPending = true; }
void NoteRestartRequested() { g_restartRequested = true; }
bool RestartPendingNoted() { return g_restartPending; }
bool RestartRequestedNoted() { return g_restartRequested; }
void ResetRestartNotes() { g_restartPending = g_restartRequested = false; }
