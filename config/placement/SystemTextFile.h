// Reading and rewriting the small system text files the setup edits
// (WININIT.INI, WIN.INI, SYSTEM.INI, AUTOEXEC.BAT). A file is rewritten through a
// work file in its own directory that replaces it only once the new text is
// completely on disk, so a failure at any step leaves the old file as it was.
#pragma once
#include <cstddef>
#include <string>

// Reads the whole file. A missing file reads as empty text and true; false
// when the file exists but cannot be read or is larger than maxSize.
bool ReadSystemTextFile(const std::string& path, std::size_t maxSize, std::string& text);

// Writes `text` to a new work file beside `path`, sets the old file aside,
// moves the work file into place and deletes the old file (its attributes
// carry over). False, with the old file in place and no work file left,
// when any step fails; `failure` then names the step (for the log). A
// read-only file was made so by its owner to keep it as it is: it is not
// replaced.
bool ReplaceSystemTextFile(const std::string& path, const std::string& text, std::string* failure = nullptr);
