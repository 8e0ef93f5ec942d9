// Where a diskette's files lie on CD or network media: in sibling directories
// whose names end in the two-digit diskette number (DISK01, DISK02, ...).
// Platform-free.
#pragma once
#include <optional>
#include <string>

// The sibling directory for a diskette: the directory (without trailing
// backslash, no drive) with its last two characters replaced by the number
// ("%02d"; three digits above 99). None when the directory is shorter than
// three characters or its last two characters do not read as a non-zero
// decimal number (as the run-time's atoi reads them).
std::optional<std::string> SiblingDisketteDirectory(const std::string& directory, int disketteNumber);

// The diskette prompt's text: by label when there is one, else by number.
std::string DisketteRequestText(const std::string& label, int disketteNumber, const std::string& drive);
