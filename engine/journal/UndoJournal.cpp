#include "engine/journal/UndoJournal.h"

#include "engine/journal/JournalText.h"

#include "engine/base/PathName.h"
#include "engine/base/TextCase.h"

#include <cctype>

namespace {

constexpr std::string_view kHeader = "KORSETUP UNDO 1";
constexpr std::string_view kCommit = "commit";
constexpr std::string_view kHexDigits = "0123456789abcdef";
constexpr std::size_t kMaxCallName = 64;

bool IsControl(char c) { return static_cast<unsigned char>(c) < 32 || c == 127; }

bool NeedsEscape(char c) { return IsControl(c) || c == '%' || c == '|'; }

std::string Escape(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (NeedsEscape(c)) {
            const unsigned char u = static_cast<unsigned char>(c);
            out += '%';
            out += "0123456789ABCDEF"[u >> 4];
            out += "0123456789ABCDEF"[u & 15];
        } else {
            out += c;
        }
    }
    return out;
}

int UpperHexValue(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Only the canonical form: a character is escaped exactly when it must be.
bool Unescape(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '%') {
            if (NeedsEscape(c)) return false;
            out += c;
            continue;
        }
        if (i + 2 >= text.size()) return false;
        int high = UpperHexValue(text[i + 1]), low = UpperHexValue(text[i + 2]);
        if (high < 0 || low < 0) return false;
        char decoded = static_cast<char>(high * 16 + low);
        if (!NeedsEscape(decoded)) return false;
        out += decoded;
        i += 2;
    }
    return true;
}

std::string Hex(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char c : bytes) {
        const unsigned char u = static_cast<unsigned char>(c);
        out += kHexDigits[u >> 4];
        out += kHexDigits[u & 15];
    }
    return out;
}

bool Unhex(std::string_view text, std::string& out)
{
    if (text.size() % 2 != 0) return false;
    out.clear();
    out.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        std::size_t high = kHexDigits.find(text[i]), low = kHexDigits.find(text[i + 1]);
        if (high == std::string_view::npos || low == std::string_view::npos) return false;
        out += static_cast<char>(high * 16 + low);
    }
    return true;
}

bool HasControl(std::string_view text)
{
    for (char c : text)
        if (IsControl(c)) return true;
    return false;
}

std::string_view FileNameOf(std::string_view path)
{
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

// A copy kept beside its file under a random name, or none (and then no
// attributes either).
bool SoundKept(const UndoEntry& e)
{
    if (e.kept.empty()) return e.attributes == 0;
    return IsSoundJournalPath(e.kept, kMaxUndoPath) && IsRandomFileName(e.kept) &&
        SameJournalPath(JournalDirectoryOf(e.kept), JournalDirectoryOf(e.path)) && !SameJournalPath(e.kept, e.path);
}

// "Software\Vendor\Product": no empty parts.
bool SoundSubkey(std::string_view key)
{
    if (key.empty() || key.size() > kMaxRegistryName || HasControl(key)) return false;
    if (key.front() == '\\' || key.back() == '\\') return false;
    return key.find("\\\\") == std::string_view::npos;
}

bool SoundName(std::string_view name) { return !name.empty() && name.size() <= kMaxRegistryName && !HasControl(name); }

bool Trimmed(std::string_view text) { return text.front() != ' ' && text.back() != ' '; }

bool SoundOld(const OldValue& old, bool ini)
{
    if (!old.present) return old.type == 0 && old.bytes.empty();
    if (ini)
        return old.type == 0 && old.bytes.size() <= kMaxIniText &&
            old.bytes.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos;
    return old.bytes.size() <= kMaxValueBytes;
}

bool SoundCallName(std::string_view name)
{
    if (name.empty() || name.size() > kMaxCallName) return false;
    for (char c : name)
        if (c <= ' ' || c > '~' || c == '|' || c == '%') return false;
    return true;
}

const char* RootName(RegRoot root)
{
    switch (root) {
    case RegRoot::kClassesRoot: return "HKCR";
    case RegRoot::kCurrentUser: return "HKCU";
    case RegRoot::kLocalMachine: return "HKLM";
    case RegRoot::kUsers: return "HKU";
    }
    return "";
}

bool ParseRoot(std::string_view text, RegRoot& root)
{
    for (RegRoot r : {RegRoot::kClassesRoot, RegRoot::kCurrentUser, RegRoot::kLocalMachine, RegRoot::kUsers}) {
        if (text == RootName(r)) {
            root = r;
            return true;
        }
    }
    return false;
}

std::string FormatOld(const OldValue& old, bool ini)
{
    if (!old.present) return "-";
    return (ini ? "=" : std::to_string(old.type) + ":") + Hex(old.bytes);
}

bool ParseOld(std::string_view text, bool ini, OldValue& old)
{
    old = OldValue();
    if (text == "-") return true;
    old.present = true;
    if (ini) return !text.empty() && text[0] == '=' && Unhex(text.substr(1), old.bytes);
    std::size_t colon = text.find(':');
    return colon != std::string_view::npos && ParseJournalNumber(text.substr(0, colon), old.type, false) &&
        Unhex(text.substr(colon + 1), old.bytes);
}

struct KindName {
    UndoKind kind;
    std::string_view name;
    std::size_t fields; // after the kind
};

constexpr KindName kKinds[] = {
    {UndoKind::kFile, "file", 3},     {UndoKind::kDirectory, "dir", 1},       {UndoKind::kKey, "key", 2},
    {UndoKind::kValue, "value", 4},   {UndoKind::kIniEntry, "ini", 4},        {UndoKind::kIniSection, "section", 2},
    {UndoKind::kTextFile, "text", 3}, {UndoKind::kWininitLine, "wininit", 3}, {UndoKind::kGroup, "group", 2},
    {UndoKind::kItem, "item", 2},     {UndoKind::kCall, "call", 2},
};

std::vector<std::string_view> SplitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        std::size_t bar = line.find('|', start);
        fields.push_back(line.substr(start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (bar == std::string_view::npos) return fields;
        start = bar + 1;
    }
}

// The text decoded into the entry by kind; the checks follow separately.
bool Decode(UndoKind kind, const std::vector<std::string_view>& f, UndoEntry& e)
{
    std::string s[4];
    for (std::size_t i = 1; i < f.size(); ++i)
        if (!Unescape(f[i], s[i - 1])) return false;
    e.kind = kind;
    switch (kind) {
    case UndoKind::kFile:
    case UndoKind::kTextFile:
        e.path = s[0];
        e.kept = s[1];
        return ParseJournalNumber(s[2], e.attributes, false);
    case UndoKind::kDirectory: e.path = s[0]; return true;
    case UndoKind::kKey: e.path = s[1]; return ParseRoot(s[0], e.root);
    case UndoKind::kValue:
        e.path = s[1];
        e.name = s[2];
        return ParseRoot(s[0], e.root) && ParseOld(s[3], false, e.old);
    case UndoKind::kIniEntry:
        e.path = s[0];
        e.section = s[1];
        e.name = s[2];
        return ParseOld(s[3], true, e.old);
    case UndoKind::kIniSection:
        e.path = s[0];
        e.section = s[1];
        return true;
    case UndoKind::kWininitLine:
        e.path = s[0];
        e.text = s[2];
        return ParseJournalNumber(s[1], e.count, false);
    case UndoKind::kGroup: e.group = s[1]; return ParseJournalNumber(s[0], e.count, false);
    case UndoKind::kItem:
        e.group = s[0];
        e.name = s[1];
        return true;
    case UndoKind::kCall:
        e.name = s[0];
        e.text = s[1];
        return true;
    }
    return false;
}

// Lines of a WININIT.INI with the [rename] membership of each.
struct IniLine {
    std::size_t begin, end, next; // end: before the line end; next: the following line
    bool inRename;
};

std::vector<IniLine> RenameLines(std::string_view text)
{
    std::vector<IniLine> lines;
    bool inRename = false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t nl = text.find('\n', pos);
        std::size_t next = nl == std::string_view::npos ? text.size() : nl + 1;
        std::size_t end = nl == std::string_view::npos ? text.size() : nl;
        if (end > pos && text[end - 1] == '\r') --end;
        std::size_t i = pos;
        while (i < end && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i < end && text[i] == '[') {
            std::string name;
            for (++i; i < end && text[i] != ']'; ++i)
                if (text[i] != ' ' && text[i] != '\t') name += text[i];
            inRename = EqualNoCase(name, "rename");
            lines.push_back({pos, end, next, false});
        } else {
            lines.push_back({pos, end, next, inRename});
        }
        pos = next;
    }
    return lines;
}

} // namespace

std::string UndoJournalHeader() { return std::string(kHeader) + "\r\n"; }

std::string UndoCommitLine() { return std::string(kCommit) + "\r\n"; }

std::string FormatUndoLine(const UndoEntry& e)
{
    std::string line;
    for (const KindName& k : kKinds)
        if (k.kind == e.kind) line = std::string(k.name);
    auto add = [&line](std::string_view field) {
        line += '|';
        line += field;
    };
    switch (e.kind) {
    case UndoKind::kFile:
    case UndoKind::kTextFile:
        add(Escape(e.path));
        add(Escape(e.kept));
        add(std::to_string(e.attributes));
        break;
    case UndoKind::kDirectory: add(Escape(e.path)); break;
    case UndoKind::kKey:
        add(RootName(e.root));
        add(Escape(e.path));
        break;
    case UndoKind::kValue:
        add(RootName(e.root));
        add(Escape(e.path));
        add(Escape(e.name));
        add(FormatOld(e.old, false));
        break;
    case UndoKind::kIniEntry:
        add(Escape(e.path));
        add(Escape(e.section));
        add(Escape(e.name));
        add(FormatOld(e.old, true));
        break;
    case UndoKind::kIniSection:
        add(Escape(e.path));
        add(Escape(e.section));
        break;
    case UndoKind::kWininitLine:
        add(Escape(e.path));
        add(std::to_string(e.count));
        add(Escape(e.text));
        break;
    case UndoKind::kGroup:
        add(std::to_string(e.count));
        add(Escape(e.group));
        break;
    case UndoKind::kItem:
        add(Escape(e.group));
        add(Escape(e.name));
        break;
    case UndoKind::kCall:
        add(Escape(e.name));
        add(Escape(e.text));
        break;
    }
    return line + "\r\n";
}

bool IsSoundUndoEntry(const UndoEntry& e)
{
    switch (e.kind) {
    case UndoKind::kFile:
    case UndoKind::kTextFile: return IsSoundJournalPath(e.path, kMaxUndoPath) && SoundKept(e);
    case UndoKind::kDirectory: return IsSoundJournalPath(e.path, kMaxUndoPath);
    case UndoKind::kKey: return SoundSubkey(e.path);
    case UndoKind::kValue:
        return SoundSubkey(e.path) && e.name.size() <= kMaxRegistryName && e.name.find('\0') == std::string::npos &&
            SoundOld(e.old, false);
    case UndoKind::kIniEntry:
        return IsSoundJournalPath(e.path, kMaxUndoPath) && SoundName(e.section) &&
            e.section.find(']') == std::string::npos && Trimmed(e.section) && SoundName(e.name) &&
            e.name.find('=') == std::string::npos && Trimmed(e.name) && SoundOld(e.old, true);
    case UndoKind::kIniSection:
        return IsSoundJournalPath(e.path, kMaxUndoPath) && SoundName(e.section) &&
            e.section.find(']') == std::string::npos && Trimmed(e.section);
    case UndoKind::kWininitLine: {
        std::size_t equals = e.text.find('=');
        return IsSoundJournalPath(e.path, kMaxUndoPath) && EqualNoCase(FileNameOf(e.path), "WININIT.INI") &&
            !e.text.empty() && e.text.size() <= kMaxIniText && !HasControl(e.text) && equals != std::string::npos &&
            equals > 0 && equals + 1 < e.text.size() && e.text[0] != '[' && e.text[0] != ' ' && e.text[0] != ';';
    }
    case UndoKind::kGroup: return SoundName(e.group) && e.count <= 1;
    case UndoKind::kItem: return SoundName(e.group) && SoundName(e.name);
    case UndoKind::kCall:
        return SoundCallName(e.name) && e.text.size() <= kMaxIniText && e.text.find('\0') == std::string::npos;
    }
    return false;
}

bool ParseUndoLine(std::string_view line, UndoEntry& entry)
{
    std::vector<std::string_view> fields = SplitFields(line);
    for (const KindName& k : kKinds) {
        if (fields[0] != k.name) continue;
        UndoEntry e;
        if (fields.size() != k.fields + 1 || !Decode(k.kind, fields, e) || !IsSoundUndoEntry(e)) return false;
        entry = std::move(e);
        return true;
    }
    return false;
}

UndoJournalText ParseUndoJournal(std::string_view text)
{
    UndoJournalText out;
    int number = 0;
    while (!text.empty()) {
        ++number;
        std::size_t nl = text.find('\n');
        if (nl == std::string_view::npos) { // cut by a kill in the middle of its append
            out.torn = true;
            break;
        }
        std::string_view line = text.substr(0, nl);
        text.remove_prefix(nl + 1);
        const bool ended = !line.empty() && line.back() == '\r';
        if (ended) line.remove_suffix(1);
        if (number == 1) {
            if (!ended || line != kHeader) return UndoJournalText();
            out.ours = true;
            continue;
        }
        UndoEntry entry;
        if (ended && !out.committed && line == kCommit) {
            out.committed = true;
        } else if (ended && !out.committed && ParseUndoLine(line, entry)) {
            out.entries.push_back(std::move(entry));
        } else {
            out.damaged.push_back(number);
        }
    }
    if (!out.ours) return UndoJournalText();
    return out;
}

std::vector<UndoStep> PlanRollback(const std::vector<UndoEntry>& entries)
{
    std::vector<UndoStep> steps;
    steps.reserve(entries.size());
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) {
        UndoStep step;
        step.entry = *it;
        switch (it->kind) {
        case UndoKind::kFile:
        case UndoKind::kTextFile: step.action = it->kept.empty() ? UndoStep::kDeleteFile : UndoStep::kPutBack; break;
        case UndoKind::kDirectory: step.action = UndoStep::kRemoveDirectory; break;
        case UndoKind::kKey: step.action = UndoStep::kDeleteKey; break;
        case UndoKind::kValue: step.action = it->old.present ? UndoStep::kSetValue : UndoStep::kDeleteValue; break;
        case UndoKind::kIniEntry:
            step.action = it->old.present ? UndoStep::kSetIniEntry : UndoStep::kDeleteIniEntry;
            break;
        case UndoKind::kIniSection: step.action = UndoStep::kDeleteIniSection; break;
        case UndoKind::kWininitLine: step.action = UndoStep::kRemoveWininitLine; break;
        case UndoKind::kGroup: step.action = UndoStep::kDeleteGroup; break;
        case UndoKind::kItem: step.action = UndoStep::kDeleteItem; break;
        case UndoKind::kCall: step.action = UndoStep::kUndoCall; break;
        }
        steps.push_back(std::move(step));
    }
    return steps;
}

std::vector<std::string> PlanCommit(const std::vector<UndoEntry>& entries)
{
    std::vector<std::string> kept;
    for (const UndoEntry& e : entries)
        if ((e.kind == UndoKind::kFile || e.kind == UndoKind::kTextFile) && !e.kept.empty()) kept.push_back(e.kept);
    return kept;
}

std::string DescribeUndoStep(const UndoStep& step)
{
    const UndoEntry& e = step.entry;
    const std::string key = std::string(RootName(e.root)) + "\\" + e.path;
    switch (step.action) {
    case UndoStep::kDeleteFile: return "delete the file " + e.path;
    case UndoStep::kPutBack: return "put " + e.kept + " back as " + e.path;
    case UndoStep::kRemoveDirectory: return "remove the directory " + e.path;
    case UndoStep::kDeleteKey: return "delete the registry key " + key;
    case UndoStep::kSetValue: return "restore the registry value \"" + Escape(e.name) + "\" of " + key;
    case UndoStep::kDeleteValue: return "delete the registry value \"" + Escape(e.name) + "\" of " + key;
    case UndoStep::kSetIniEntry: return "restore " + e.name + " in [" + e.section + "] of " + e.path;
    case UndoStep::kDeleteIniEntry: return "delete " + e.name + " from [" + e.section + "] of " + e.path;
    case UndoStep::kDeleteIniSection: return "delete the section [" + e.section + "] of " + e.path;
    case UndoStep::kRemoveWininitLine: return "remove \"" + e.text + "\" from " + e.path;
    case UndoStep::kDeleteGroup: return "delete the program group " + e.group;
    case UndoStep::kDeleteItem: return "delete the item " + e.name + " of the program group " + e.group;
    case UndoStep::kUndoCall: return "undo " + e.name + " (" + Escape(e.text) + ")";
    }
    return std::string();
}

std::size_t CountRenameLines(std::string_view text, std::string_view line)
{
    std::size_t n = 0;
    for (const IniLine& l : RenameLines(text))
        if (l.inRename && text.substr(l.begin, l.end - l.begin) == line) ++n;
    return n;
}

std::string RemoveLastRenameLine(std::string_view text, std::string_view line)
{
    std::vector<IniLine> lines = RenameLines(text);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it) {
        if (!it->inRename || text.substr(it->begin, it->end - it->begin) != line) continue;
        return std::string(text.substr(0, it->begin)) + std::string(text.substr(it->next));
    }
    return std::string(text);
}
