#include "config/Registry.h"

#include "engine/journal/UndoLog.h"

#include "config/log/RunOutcome.h"
#include "engine/base/FixedText.h"

#include <cstring>
#include <vector>

namespace {

// The class text of every key these operations create.
char kKeyClass[] = "Korvisan";

RestartHandler& Restart()
{
    static RestartHandler handler;
    return handler;
}

// An open key that closes itself on every path.
class Key {
public:
    Key() = default;
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    ~Key()
    {
        if (key_) RegCloseKey(key_);
    }
    HKEY* Out() { return &key_; }
    HKEY Get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

LONG Connect(Key& machine) { return RegConnectRegistryA(nullptr, HKEY_LOCAL_MACHINE, machine.Out()); }

// Creates or opens base\subkey under HKEY_LOCAL_MACHINE and sets one value.
LONG WriteMachineValue(const char* base, const char* subkey, const char* valueName, DWORD type, const void* data,
                       DWORD size)
{
    std::string path;
    if (!ComposeKeyPath(base, subkey, path)) return ERROR_BAD_PATHNAME;
    Key machine;
    LONG status = Connect(machine);
    if (status != ERROR_SUCCESS) return status;
    // Noted first, so that a failed or cancelled run can put it back.
    if (!undojournal::RecordValue(HKEY_LOCAL_MACHINE, path, valueName ? valueName : "")) return ERROR_WRITE_FAULT;
    Key key;
    DWORD disposition = 0;
    status = RegCreateKeyExA(machine.Get(), path.c_str(), 0, kKeyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                             nullptr, key.Out(), &disposition);
    if (status != ERROR_SUCCESS) return status;
    return RegSetValueExA(key.Get(), valueName, 0, type, static_cast<const BYTE*>(data), size);
}

} // namespace

bool ComposeKeyPath(const char* base, const char* subkey, std::string& path)
{
    path = base ? base : "";
    if (subkey && subkey[0] != '\0') {
        path += '\\';
        path += subkey;
    }
    return path.size() <= 255;
}

bool CfgValueExists(HKEY root, const char* base, const char* subkey, const char* valueName)
{
    std::string path;
    if (!ComposeKeyPath(base, subkey, path)) return false;
    Key key;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, key.Out()) != ERROR_SUCCESS) return false;
    BYTE data[1024];
    DWORD size = sizeof data;
    DWORD type = 0;
    return RegQueryValueExA(key.Get(), valueName, nullptr, &type, data, &size) == ERROR_SUCCESS;
}

LONG CfgWriteDword(const char* base, const char* subkey, const char* valueName, DWORD value)
{
    return WriteMachineValue(base, subkey, valueName, REG_DWORD, &value, sizeof value);
}

LONG CfgWriteString(const char* base, const char* subkey, const char* valueName, const char* text)
{
    const char* t = text ? text : "";
    return WriteMachineValue(base, subkey, valueName, REG_SZ, t, static_cast<DWORD>(std::strlen(t) + 1));
}

LONG CfgWriteBinary(const char* base, const char* subkey, const char* valueName, const void* bytes, DWORD count)
{
    return WriteMachineValue(base, subkey, valueName, REG_BINARY, bytes, count);
}

LONG CfgWriteUserString(const char* base, const char* subkey, const char* valueName, const char* text)
{
    std::string path;
    if (!ComposeKeyPath(base, subkey, path)) return 1;
    if (!undojournal::RecordValue(HKEY_CURRENT_USER, path, valueName ? valueName : "")) return 1;
    Key key;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, kKeyClass, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                        key.Out(), &disposition) != ERROR_SUCCESS)
        return 1;
    const char* t = text ? text : "";
    return RegSetValueExA(key.Get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(t),
                          static_cast<DWORD>(std::strlen(t) + 1));
}

DWORD CfgReadString(const char* base, const char* subkey, const char* valueName, const char* defaultText, char* buffer,
                    DWORD bufferSize)
{
    if (buffer == nullptr || bufferSize == 0) return 0;
    std::string path;
    if (ComposeKeyPath(base, subkey, path)) {
        Key machine;
        Key key;
        if (Connect(machine) == ERROR_SUCCESS &&
            RegOpenKeyExA(machine.Get(), path.c_str(), 0, KEY_ALL_ACCESS, key.Out()) == ERROR_SUCCESS) {
            DWORD size = bufferSize;
            DWORD type = 0;
            if (RegQueryValueExA(key.Get(), valueName, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) ==
                ERROR_SUCCESS) {
                // Whatever the value's type, the caller gets terminated text.
                if (size > 0 && buffer[size - 1] == '\0') return size;
                if (size < bufferSize) {
                    buffer[size] = '\0';
                    return size;
                }
            }
        }
    }
    const char* def = defaultText ? defaultText : "";
    CopyText(buffer, bufferSize, def);
    return static_cast<DWORD>(std::strlen(buffer));
}

bool CfgDeleteKeyTree(HKEY parent, const char* subkey)
{
    // No subkey would open the parent itself and empty it.
    if (subkey == nullptr || *subkey == '\0') return false;
    HKEY key = nullptr;
    if (RegOpenKeyExA(parent, subkey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD subkeys = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subkeys, &longest, nullptr, nullptr, nullptr, nullptr,
                         nullptr, nullptr) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    if (subkeys > 0) {
        std::vector<char> name(longest + 1);
        // From the highest index down, so that the remaining indices stay valid.
        for (DWORD i = subkeys; i-- > 0;) {
            LONG status = RegEnumKeyA(key, i, name.data(), static_cast<DWORD>(name.size()));
            if (status == ERROR_NO_MORE_ITEMS) continue;
            if (status != ERROR_SUCCESS || !CfgDeleteKeyTree(key, name.data())) {
                RegCloseKey(key);
                return false;
            }
        }
    }
    RegCloseKey(key);
    return RegDeleteKeyA(parent, subkey) == ERROR_SUCCESS;
}

BOOL CfgRestartWindows()
{
    BOOL asked = Restart() ? Restart()() : ExitWindowsEx(EWX_REBOOT, 0);
    // What waits for the restart takes effect then.
    if (asked) NoteRestartRequested();
    return asked;
}

RestartHandler SetRestartHandler(RestartHandler handler)
{
    RestartHandler previous = std::move(Restart());
    Restart() = std::move(handler);
    return previous;
}
