#include "product/ProgmanClient.h"

#include "engine/base/TextLines.h"
#include "product/ProgmanCommands.h"

#include <utility>

namespace {

// The client handles no callbacks.
HDDEDATA CALLBACK IgnoreCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

constexpr DWORD kTimeoutMs = 1000;

} // namespace

ProgmanClient::ProgmanClient(std::string service, std::string starter)
    : service_(std::move(service)), starter_(std::move(starter))
{
}

bool ProgmanClient::Initialise()
{
    if (initialised_) return true;
    DWORD instance = 0;
    if (DdeInitializeA(&instance, IgnoreCallback, APPCLASS_STANDARD | APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR)
        return false;
    instance_ = instance;
    initialised_ = true;
    return true;
}

bool ProgmanClient::TryConnect()
{
    HSZ service = DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
    HSZ topic = DdeCreateStringHandleA(instance_, service_.c_str(), CP_WINANSI);
    HCONV conversation = (service && topic) ? DdeConnect(instance_, service, topic, nullptr) : nullptr;
    if (topic) DdeFreeStringHandle(instance_, topic);
    if (service) DdeFreeStringHandle(instance_, service);
    if (!conversation) return false;
    conversation_ = conversation;
    connected_ = true;
    return true;
}

bool ProgmanClient::Connect()
{
    if (connected_) return true;
    if (!Initialise()) return false;
    if (TryConnect()) return true;
    // Program Manager is not running: start it once and ask again. WinExec
    // returns when the started program waits for input, its server set up.
    ++startAttempts_;
    WinExec(starter_.c_str(), SW_SHOWNORMAL);
    return TryConnect();
}

bool ProgmanClient::Disconnect()
{
    if (!connected_) return true;
    if (!DdeDisconnect(conversation_)) return false;
    conversation_ = nullptr;
    connected_ = false;
    return true;
}

void ProgmanClient::End()
{
    if (connected_) Disconnect();
    if (initialised_) {
        DdeUninitialize(instance_);
        initialised_ = false;
        instance_ = 0;
        conversation_ = nullptr;
        connected_ = false;
    }
}

bool ProgmanClient::Execute(const std::string& text)
{
    bool accepted = false;
    if (!text.empty() && connected_) {
        HSZ item = DdeCreateStringHandleA(instance_, "", CP_WINANSI);
        HDDEDATA result = DdeClientTransaction(reinterpret_cast<BYTE*>(const_cast<char*>(text.c_str())),
                                               static_cast<DWORD>(text.size() + 1), conversation_, item, CF_TEXT,
                                               XTYP_EXECUTE, kTimeoutMs, nullptr);
        if (item) DdeFreeStringHandle(instance_, item);
        accepted = result != nullptr;
    }
    if (observer_) observer_(text, accepted);
    return accepted;
}

bool ProgmanClient::ExecuteInGroup(const std::string& text)
{
    if (!groupChosen_) {
        if (observer_) observer_(text, false);
        return false;
    }
    return Execute(text);
}

bool ProgmanClient::CreateGroup(const std::string& group, int common)
{
    Connect();
    groupChosen_ = groupChosen_ || connected_;
    return Execute(progman::CreateGroupCommand(group, common));
}

bool ProgmanClient::CreateGroup(const std::string& group, const std::string& groupFile)
{
    Connect();
    groupChosen_ = groupChosen_ || connected_;
    return Execute(progman::CreateGroupCommand(group, groupFile));
}

bool ProgmanClient::DeleteGroup(const std::string& group, int common)
{
    Connect();
    return Execute(progman::DeleteGroupCommand(group, common));
}

bool ProgmanClient::AddItem(const std::string& command, const std::string& name, const std::string& iconPath,
                            int iconIndex, int x, int y, const std::string& workingDirectory, int hotKey, int minimize)
{
    Connect();
    return ExecuteInGroup(
        progman::AddItemCommand(command, name, iconPath, iconIndex, x, y, workingDirectory, hotKey, minimize));
}

bool ProgmanClient::ReplaceItem(const std::string& name) { return ExecuteInGroup(progman::ReplaceItemCommand(name)); }

bool ProgmanClient::DeleteItem(const std::string& name) { return ExecuteInGroup(progman::DeleteItemCommand(name)); }

bool ProgmanClient::GroupNames(std::vector<std::string>& names)
{
    names.clear();
    if (!Connect()) return false;
    HSZ item = DdeCreateStringHandleA(instance_, "Groups", CP_WINANSI);
    HDDEDATA data = item
        ? DdeClientTransaction(nullptr, 0, conversation_, item, CF_TEXT, XTYP_REQUEST, kTimeoutMs, nullptr)
        : nullptr;
    if (item) DdeFreeStringHandle(instance_, item);
    if (!data) return false;
    std::string text(DdeGetData(data, nullptr, 0, 0), '\0');
    if (!text.empty()) DdeGetData(data, reinterpret_cast<BYTE*>(&text[0]), static_cast<DWORD>(text.size()), 0);
    DdeFreeDataHandle(data);
    text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
    // One name a line.
    for (const TextLine& line : SplitTextLines(text))
        if (line.end > line.begin) names.push_back(text.substr(line.begin, line.end - line.begin));
    return true;
}
