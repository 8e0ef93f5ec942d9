// A DDE client of Program Manager: one conversation with service and topic
// "PROGMAN", over which the group and item commands (ProgmanCommands.h) are
// sent as execute transactions. CreateGroup, DeleteGroup and AddItem connect
// first, starting Program Manager once when nobody answers; ReplaceItem and
// DeleteItem go over the current conversation. Results are true when the
// transaction returned data; nothing is reported to the user.
//
// Item commands act on the group last created or activated. Wine's server
// crashes its desktop process on an item command when no group was ever
// chosen there, so this client sends none before its first CreateGroup.
#pragma once
#include <windows.h>

#include <ddeml.h>

#include <functional>
#include <string>
#include <vector>

class ProgmanClient {
public:
    // The service (also the topic) and the program started when it does not
    // answer; tests point them at a stand-in server.
    explicit ProgmanClient(std::string service = "PROGMAN", std::string starter = "progman.exe");
    ProgmanClient(const ProgmanClient&) = delete;
    ProgmanClient& operator=(const ProgmanClient&) = delete;
    ~ProgmanClient() { End(); }

    bool CreateGroup(const std::string& group, int common);
    bool CreateGroup(const std::string& group, const std::string& groupFile);
    bool DeleteGroup(const std::string& group, int common);
    bool AddItem(const std::string& command, const std::string& name, const std::string& iconPath, int iconIndex, int x,
                 int y, const std::string& workingDirectory, int hotKey, int minimize);
    bool ReplaceItem(const std::string& name);
    bool DeleteItem(const std::string& name);
    // The groups Program Manager has (its item "Groups"); false when it gives
    // no list.
    bool GroupNames(std::vector<std::string>& names);

    bool Connect();
    // Clears the connected state only when the platform reports success.
    bool Disconnect();
    // Disconnects if still connected, then ends the DDE instance.
    void End();

    bool Connected() const { return connected_; }
    int StartAttempts() const { return startAttempts_; }

    // Sees every command text and whether it was accepted.
    void SetObserver(std::function<void(const std::string& text, bool accepted)> observer)
    {
        observer_ = std::move(observer);
    }

private:
    bool Initialise();
    bool TryConnect();
    bool Execute(const std::string& text);
    bool ExecuteInGroup(const std::string& text);

    std::string service_;
    std::string starter_;
    DWORD instance_ = 0;
    bool initialised_ = false;
    HCONV conversation_ = nullptr;
    bool connected_ = false;
    int startAttempts_ = 0;
    bool groupChosen_ = false;
    std::function<void(const std::string&, bool)> observer_;
};
