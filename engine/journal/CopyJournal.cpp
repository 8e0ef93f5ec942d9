#include "engine/journal/CopyJournal.h"

#include "engine/base/PathName.h"
#include "engine/journal/JournalText.h"

#include <cctype>

namespace {

constexpr std::size_t kMaxPath = 260;

bool ParseLine(std::string_view line, JournalEntry& entry)
{
    constexpr std::string_view kTemp = "temp=", kAside = "aside=";
    if (line.substr(0, kTemp.size()) == kTemp) {
        entry.kind = JournalEntry::kTemporary;
        entry.path = std::string(line.substr(kTemp.size()));
        return IsSoundJournalPath(entry.path, kMaxPath) && IsRandomFileName(entry.path);
    }
    if (line.substr(0, kAside.size()) != kAside) return false;
    line.remove_prefix(kAside.size());
    std::size_t bar1 = line.find('|');
    if (bar1 == std::string_view::npos) return false;
    std::size_t bar2 = line.find('|', bar1 + 1);
    if (bar2 == std::string_view::npos) return false;
    entry.kind = JournalEntry::kSetAside;
    if (!ParseJournalNumber(line.substr(0, bar1), entry.attributes, true)) return false;
    entry.path = std::string(line.substr(bar1 + 1, bar2 - bar1 - 1));
    entry.original = std::string(line.substr(bar2 + 1));
    return IsSoundJournalPath(entry.path, kMaxPath) && IsSoundJournalPath(entry.original, kMaxPath) &&
        IsRandomFileName(entry.path) &&
        SameJournalPath(JournalDirectoryOf(entry.path), JournalDirectoryOf(entry.original)) &&
        !SameJournalPath(entry.path, entry.original);
}

} // namespace

std::string FormatJournal(const std::vector<JournalEntry>& entries)
{
    std::string text;
    for (const JournalEntry& e : entries) {
        if (e.kind == JournalEntry::kTemporary)
            text += "temp=" + e.path + "\r\n";
        else
            text += "aside=" + std::to_string(e.attributes) + "|" + e.path + "|" + e.original + "\r\n";
    }
    return text;
}

bool ParseJournal(std::string_view text, std::vector<JournalEntry>& entries)
{
    entries.clear();
    std::vector<JournalEntry> parsed;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (line.empty()) continue;
        JournalEntry entry;
        if (!ParseLine(line, entry)) return false;
        parsed.push_back(std::move(entry));
    }
    entries = std::move(parsed);
    return true;
}

std::vector<RecoveryAction> PlanRecovery(const std::vector<JournalEntry>& entries,
                                         const std::function<bool(const std::string&)>& exists)
{
    std::vector<RecoveryAction> actions;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        if (it->kind != JournalEntry::kSetAside || !exists(it->path)) continue;
        RecoveryAction a;
        a.path = it->path;
        if (exists(it->original)) {
            a.kind = RecoveryAction::kDelete;
        } else {
            a.kind = RecoveryAction::kMoveBack;
            a.target = it->original;
            a.attributes = it->attributes;
        }
        actions.push_back(std::move(a));
    }
    for (const JournalEntry& e : entries) {
        if (e.kind != JournalEntry::kTemporary || !exists(e.path)) continue;
        RecoveryAction a;
        a.kind = RecoveryAction::kDelete;
        a.path = e.path;
        actions.push_back(std::move(a));
    }
    return actions;
}
