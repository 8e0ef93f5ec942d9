#include "product/ProgmanCommands.h"

namespace progman {

namespace {

std::string Fitting(const std::string& text) { return text.size() < kCommandBufferSize ? text : std::string(); }

std::string QuotedIfBlank(const std::string& path)
{
    return path.find_first_of(" \t") == std::string::npos ? path : "\"" + path + "\"";
}

} // namespace

std::string CreateGroupCommand(const std::string& group, int common)
{
    return Fitting("[CreateGroup (\"" + group + "\"," + std::to_string(common) + ")]");
}

std::string CreateGroupCommand(const std::string& group, const std::string& groupFile)
{
    return Fitting("[CreateGroup (\"" + group + "\", \"" + groupFile + "\")]");
}

std::string DeleteGroupCommand(const std::string& group, int common)
{
    return Fitting("[DeleteGroup(\"" + group + "\"," + std::to_string(common) + ")]");
}

std::string AddItemCommand(const std::string& command, const std::string& name, const std::string& iconPath,
                           int iconIndex, int x, int y, const std::string& workingDirectory, int hotKey, int minimize)
{
    const std::string& icon = iconPath.empty() ? command : iconPath;
    std::string hot = hotKey == -1 ? std::string() : std::to_string(hotKey);
    return Fitting("[AddItem (" + command + ",\"" + name + "\"," + icon + "," + std::to_string(iconIndex) + "," +
                   std::to_string(x) + "," + std::to_string(y) + "," + workingDirectory + "," + hot + "," +
                   (minimize ? "1" : "0") + ")]");
}

std::string ReplaceItemCommand(const std::string& name) { return Fitting("[ReplaceItem (" + name + ")]"); }

std::string DeleteItemCommand(const std::string& name) { return Fitting("[DeleteItem (" + name + ")]"); }

std::string ItemCommandLine(const std::string& installedPath, const std::string& arguments)
{
    return QuotedIfBlank(installedPath) + " " + arguments;
}

std::string ReleaseNotesCommandLine(const std::string& homeDirectory, const std::string& fileName)
{
    return QuotedIfBlank(JoinPath(homeDirectory, fileName));
}

std::string JoinPath(const std::string& directory, const std::string& file)
{
    if (directory.empty()) return file;
    if (directory.back() == '\\') return directory + file;
    return directory + "\\" + file;
}

} // namespace progman
