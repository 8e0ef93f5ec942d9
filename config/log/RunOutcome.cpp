#include "config/log/RunOutcome.h"

namespace {
bool g_restartPending = false;
bool g_restartRequested = false;
} // namespace

int ExitCodeOf(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Completed: return 0;
    case RunOutcome::RestartPending:
    case RunOutcome::Restarting: return 3010;
    case RunOutcome::Cancelled: return 1602;
    case RunOutcome::Failed: break;
    }
    return 1603;
}

bool IsSuccess(RunOutcome outcome) { return outcome != RunOutcome::Cancelled && outcome != RunOutcome::Failed; }

std::string FailureDescription(RunOutcome outcome, const std::string& reason)
{
    if (IsSuccess(outcome)) return {};
    if (outcome == RunOutcome::Cancelled) return "Cancelled by the user";
    return reason.empty() ? "Setup did not complete" : reason;
}

std::string SkippedItemsText(const std::vector<std::string>& skipped)
{
    if (skipped.empty()) return {};
    std::string text = std::to_string(skipped.size()) + (skipped.size() == 1 ? " item" : " items") + " skipped:";
    for (std::size_t i = 0; i < skipped.size(); ++i) text += (i ? ", " : " ") + skipped[i];
    return text;
}

std::string StatusDescription(RunOutcome outcome, const std::string& reason, const std::vector<std::string>& skipped)
{
    return IsSuccess(outcome) ? SkippedItemsText(skipped) : FailureDescription(outcome, reason);
}

std::string FinalLogLine(RunOutcome outcome, const std::string& reason, const std::vector<std::string>& skipped)
{
    std::string line = "Setup ended: ";
    switch (outcome) {
    case RunOutcome::Completed: line += "Success"; break;
    case RunOutcome::RestartPending: line += "Success, restart required"; break;
    case RunOutcome::Restarting: line += "Success, restarting Windows"; break;
    case RunOutcome::Cancelled:
    case RunOutcome::Failed: line += "Failed (" + FailureDescription(outcome, reason) + ")"; break;
    }
    if (!skipped.empty()) line += ", " + SkippedItemsText(skipped);
    return line + ", exit code " + std::to_string(ExitCodeOf(outcome));
}

RunOutcome DecideOutcome(const RunFacts& f)
{
    if (f.Cancelled) return RunOutcome::Cancelled;
    // Unattended, an item left out is a failure: nobody agreed to go on without it.
    if (f.Failed || !f.Completed || (f.Unattended && f.Skipped > 0)) return RunOutcome::Failed;
    if (f.RestartRequested) return RunOutcome::Restarting;
    return f.RestartPending ? RunOutcome::RestartPending : RunOutcome::Completed;
}

void NoteRestartPending() { g_restartPending = true; }
void NoteRestartRequested() { g_restartRequested = true; }
bool RestartPendingNoted() { return g_restartPending; }
bool RestartRequestedNoted() { return g_restartRequested; }
void ResetRestartNotes() { g_restartPending = g_restartRequested = false; }
