#include "engine/SystemRegistry.h"

#include "engine/base/PathName.h"
#include "engine/journal/UndoLog.h"

#include <utility>

const char kSharedDllsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const char kAppPathsKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";

namespace {
constexpr REGSAM kFullAccess = 0xF003F; // KEY_ALL_ACCESS
}

bool RegKey::Open(HKEY root, const std::string& subkey, REGSAM access)
{
    Close();
    keyRoot_ = root;
    keyPath_ = subkey;
    result_ = RegOpenKeyExA(root, subkey.c_str(), 0, access, &key_);
    if (result_ != ERROR_SUCCESS) key_ = nullptr;
    return result_ == ERROR_SUCCESS;
}

bool RegKey::Create(HKEY root, const std::string& subkey, const char* keyClass, REGSAM access)
{
    Close();
    keyRoot_ = root;
    keyPath_ = subkey;
    if (!undojournal::RecordKey(root, subkey)) {
        result_ = ERROR_WRITE_FAULT;
        return false;
    }
    DWORD disposition = 0;
    result_ = RegCreateKeyExA(root, subkey.c_str(), 0, const_cast<char*>(keyClass ? keyClass : ""),
                              REG_OPTION_NON_VOLATILE, access, nullptr, &key_, &disposition);
    if (result_ != ERROR_SUCCESS) key_ = nullptr;
    return result_ == ERROR_SUCCESS;
}

bool RegKey::DeleteKey(HKEY root, const std::string& subkey)
{
    result_ = RegDeleteKeyA(root, subkey.c_str());
    return result_ == ERROR_SUCCESS;
}

bool RegKey::Close()
{
    if (!key_) return true;
    result_ = RegCloseKey(key_);
    key_ = nullptr;
    return result_ == ERROR_SUCCESS;
}

bool RegKey::DeleteValue(const std::string& name)
{
    if (!undojournal::RecordValue(keyRoot_, keyPath_, name)) {
        result_ = ERROR_WRITE_FAULT;
        return false;
    }
    result_ = RegDeleteValueA(key_, name.c_str());
    return result_ == ERROR_SUCCESS;
}

bool RegKey::QueryDword(const std::string& name, uint32_t& out)
{
    DWORD type = 0;
    DWORD data = 0;
    DWORD size = sizeof data;
    result_ = RegQueryValueExA(key_, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
    // A longer value of another type answers "more data": still a wrong type.
    if ((result_ == ERROR_SUCCESS || result_ == ERROR_MORE_DATA) && (type != REG_DWORD || size != sizeof data))
        result_ = ERROR_INVALID_DATATYPE;
    if (result_ != ERROR_SUCCESS) return false;
    out = data;
    return true;
}

bool RegKey::SetDword(const std::string& name, uint32_t value)
{
    DWORD data = value;
    if (!undojournal::RecordValue(keyRoot_, keyPath_, name)) {
        result_ = ERROR_WRITE_FAULT;
        return false;
    }
    result_ = RegSetValueExA(key_, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    return result_ == ERROR_SUCCESS;
}

RegDword::RegDword(HKEY root, std::string subkey, std::string valueName, uint32_t defaultValue, bool load,
                   bool writeBack)
    : root_(root), subkey_(std::move(subkey)), name_(std::move(valueName)), value_(defaultValue), writeBack_(writeBack)
{
    if (load && Open(root_, subkey_, kFullAccess)) {
        uint32_t stored = 0;
        if (QueryDword(name_, stored)) value_ = stored;
    }
}

RegDword::~RegDword()
{
    if (changed_ && writeBack_) Write();
    Close();
}

void RegDword::SetValue(uint32_t value)
{
    value_ = value;
    changed_ = true;
}

bool RegDword::Write()
{
    if (!key_ && !Create(root_, subkey_, nullptr, kFullAccess)) return false;
    if (!SetDword(name_, value_)) return false;
    changed_ = false;
    return true;
}

SharedDllCount::SharedDllCount(const std::string& path)
    : RegDword(HKEY_LOCAL_MACHINE, kSharedDllsKey, path, 0, true, false)
{
}

SharedDllCount::~SharedDllCount()
{
    if (value_ != 0)
        Write();
    else if (key_)
        DeleteValue(name_);
    Close();
}

void SharedDllCount::Increment()
{
    if (value_ != UINT32_MAX) SetValue(value_ + 1);
}

void SharedDllCount::Decrement()
{
    if (value_ != 0) SetValue(value_ - 1);
}

namespace {
bool DeleteSubkeyOf(const char* parent, const std::string& name)
{
    // An empty name would name the parent key itself.
    if (name.empty()) return false;
    RegKey key;
    return key.DeleteKey(HKEY_LOCAL_MACHINE, std::string(parent) + "\\" + name);
}
} // namespace

bool DeleteAppPath(const std::string& programPath)
{
    return DeleteSubkeyOf(kAppPathsKey, PathName(programPath).FileName());
}

bool DeleteUninstallEntry(const std::string& name) { return DeleteSubkeyOf(kUninstallKey, name); }
