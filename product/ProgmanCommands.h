// The Program Manager command texts the setup sends over DDE, and the item
// command lines. The texts are the interface: group names and the AddItem
// item name are enclosed in double quotes, every other text goes in as it is.
//
//   [CreateGroup ("name",common)]
//   [CreateGroup ("name", "group file")]
//   [DeleteGroup("name",common)]
//   [AddItem (command,"name",icon path,icon index,x,y,working directory,hot key,minimize)]
//   [ReplaceItem (name)]
//   [DeleteItem (name)]
//
// A command is sent from a 512-byte buffer: a text that would not fit
// (511 characters and the NUL) is not formed at all, so that a cut-off
// command is never sent. The formatters then return an empty text.
#pragma once
#include <cstddef>
#include <string>

namespace progman {

constexpr std::size_t kCommandBufferSize = 512;

std::string CreateGroupCommand(const std::string& group, int common);
std::string CreateGroupCommand(const std::string& group, const std::string& groupFile);
std::string DeleteGroupCommand(const std::string& group, int common);
// An empty icon path becomes the command line; a hot key of -1 an empty
// field, any other its decimal digits; minimize is 1 for any non-zero flag.
std::string AddItemCommand(const std::string& command, const std::string& name, const std::string& iconPath,
                           int iconIndex, int x, int y, const std::string& workingDirectory, int hotKey, int minimize);
std::string ReplaceItemCommand(const std::string& name);
std::string DeleteItemCommand(const std::string& name);

// The command line of a target item: the installed path, in double quotes
// when it holds a blank or a tab, then one blank and the arguments (the blank
// also without arguments).
std::string ItemCommandLine(const std::string& installedPath, const std::string& arguments);

// The release-notes command: the home directory joined with the file name
// (one backslash between), in double quotes when it holds a blank or a tab.
std::string ReleaseNotesCommandLine(const std::string& homeDirectory, const std::string& fileName);

// Directory and file joined with exactly one backslash.
std::string JoinPath(const std::string& directory, const std::string& file);

} // namespace progman
