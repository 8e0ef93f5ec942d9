// The status file for management tools: a MIF file stating the product and
// "Success" or "Failed" with a description.
//
// Format: 69 lines, each blank-padded on the right to a fixed width (part of
// the format: mostly 46, 44 for most lines with one quoted value), written in
// text mode so every line ends in CR LF. Line 14 starts with a tab. The
// values that vary: line 37 the product identification (at most 7
// characters), line 45 the local date and time "MM/DD/YY hh:mm:ss", line 58
// the status, line 66 the description.
#pragma once
#include "engine/base/SetupData.h"

#include <string>
#include <string_view>

struct MifTime {
    int Year, Month, Day, Hour, Minute, Second;
};

// The file's text with "\n" line ends. A null or empty description of a
// failure reads "Unknown Error"; a success without one has an empty
// description, with one (the items it skipped) the described form.
std::string BuildStatusMif(int failed, const char* description, std::string_view productId, const MifTime& time);

// The file named by StatusFile, or the Windows directory's KORVISAN.MIF
// (stored back into StatusFile); empty when neither can be formed. Win32.
std::string StatusFilePath(SetupData& data);

// Writes the status file: into a work file in the same directory that then
// replaces the old file, so a reader never sees half a file. When it cannot
// be written, an old file is deleted rather than left to pass for this
// run's. Failures are silent. Win32.
void WriteStatusMif(SetupData& data, int failed, const char* description);
