// Texts and numbers of the copy progress, platform-free and wide enough for
// members over 21 MB and installs over 2 GB.
#pragma once
#include <cstdint>
#include <string>

// written * 100 / expanded, 100 when expanded is 0, within 0..100.
int MemberPercent(uint64_t written, uint64_t expanded);

// "%s (%d%%)" with the path and MemberPercent.
std::string MemberProgressText(const std::string& finalPath, uint64_t written, uint64_t expanded);
