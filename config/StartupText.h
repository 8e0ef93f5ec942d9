// The line edits of the start-up files (WIN.INI, SYSTEM.INI, AUTOEXEC.BAT)
// as text, so that a rewrite is decided and formed before any file is
// touched.
//
// Lines end in CR LF or LF and are of any length; a line that is not
// changed keeps every byte, its line end included. Matching ignores letter
// case. An end-of-file mark (Ctrl-Z) at the very end of a file stays where
// it is unless lines are appended, which would land behind it.
#pragma once
#include <string>

// Drops the program from the start-up lines "key=entry entry ...": every
// blank-separated entry that contains `program` goes; a line left without
// entries goes entirely; a line that lost entries is written as its own
// "key=" (spelled as in the file) and the remaining entries joined by single
// blanks, with its own line end. Key "*" drops every line that contains
// `program`. Returns true and the new text in `out` when anything was
// dropped; false (and `out` equal to `text`) otherwise.
bool DropLoaderEntries(const std::string& text, const std::string& program, const std::string& key, std::string& out);

// AUTOEXEC.BAT with the product's two lines at its end: every line that
// contains "SET KORVISAN=" or "EXAMINE.EXE" goes, then
//   SET KORVISAN=<shortHome>
//   <shortHome>\EXAMINE.EXE <options>
// follow, each ending in CR LF, after a line end added to an unterminated
// last line. Returns the new text; equal to `text` when the file already
// ends in exactly these lines and holds no other product line.
std::string EditAutoexecText(const std::string& text, const std::string& shortHome, const std::string& options);
