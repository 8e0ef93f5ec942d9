// The undo journal's reader over arbitrary text: whatever it accepts writes
// back to the same lines, a cut-off journal never gains an entry, the plan
// undoes exactly the accepted entries, and the WININIT line removal only ever
// takes out one line of [rename].
#include "engine/journal/UndoJournal.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const UndoJournalText journal = ParseUndoJournal(text);
    if (!journal.ours && (!journal.entries.empty() || !journal.damaged.empty() || journal.committed)) std::abort();

    std::string again = UndoJournalHeader();
    for (const UndoEntry& e : journal.entries) {
        if (!IsSoundUndoEntry(e)) std::abort();
        again += FormatUndoLine(e);
    }
    if (journal.ours) {
        const UndoJournalText back = ParseUndoJournal(again);
        if (back.entries.size() != journal.entries.size() || !back.damaged.empty() || back.torn) std::abort();
        for (std::size_t i = 0; i < back.entries.size(); ++i)
            if (FormatUndoLine(back.entries[i]) != FormatUndoLine(journal.entries[i])) std::abort();
        // Cut anywhere, the journal reads as a prefix of itself.
        const UndoJournalText cut = ParseUndoJournal(std::string_view(text).substr(0, size / 2));
        if (cut.entries.size() > journal.entries.size()) std::abort();
        if (PlanRollback(journal.entries).size() != journal.entries.size()) std::abort();
    }

    // The input as a WININIT.INI, its first line as the line to remove.
    const std::string line = text.substr(0, text.find_first_of("\r\n"));
    const std::size_t count = CountRenameLines(text, line);
    const std::string removed = RemoveLastRenameLine(text, line);
    if (count == 0) {
        if (removed != text) std::abort();
    } else if (removed.size() >= text.size() || removed.size() + line.size() + 2 < text.size() ||
               CountRenameLines(removed, line) != count - 1) {
        std::abort();
    }
    return 0;
}
