// The engine's shared system bookkeeping in the local registry: a thin key
// wrapper, a double-word value bound to a key, the shared-use count of files
// installed into the System directory, and the removal of the product's App
// Paths and Uninstall entries. Nothing here raises: every operation returns
// false and keeps the platform's result code. (The product configuration's
// own registry operations are config/Registry.h.)
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

class RegKey {
public:
    RegKey() = default;
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    virtual ~RegKey() { Close(); }

    bool Open(HKEY root, const std::string& subkey, REGSAM access);
    bool Create(HKEY root, const std::string& subkey, const char* keyClass, REGSAM access);
    bool DeleteKey(HKEY root, const std::string& subkey);
    // True when no key is open.
    bool Close();
    bool DeleteValue(const std::string& name);
    // False with result 1804 (ERROR_INVALID_DATATYPE) for any value that is
    // not a 4-byte REG_DWORD; `out` is then left alone.
    bool QueryDword(const std::string& name, uint32_t& out);
    bool SetDword(const std::string& name, uint32_t value);

    bool IsOpen() const { return key_ != nullptr; }
    LONG Result() const { return result_; }

protected:
    HKEY key_ = nullptr;
    LONG result_ = ERROR_SUCCESS;
    // Where the open key is, for the undo journal.
    HKEY keyRoot_ = nullptr;
    std::string keyPath_;
};

// One REG_DWORD value: loaded at construction when asked, written back at
// destruction when it changed and write-back is on.
class RegDword : public RegKey {
public:
    RegDword(HKEY root, std::string subkey, std::string valueName, uint32_t defaultValue, bool load, bool writeBack);
    ~RegDword() override;

    uint32_t Value() const { return value_; }
    void SetValue(uint32_t value);
    bool Changed() const { return changed_; }
    // Creates the key (full access) when it is not open, sets the value and
    // clears the changed flag.
    bool Write();

protected:
    HKEY root_;
    std::string subkey_;
    std::string name_;
    uint32_t value_;
    bool changed_ = false;
    bool writeBack_;
};

// The use count of one shared file under HKLM\...\SharedDLLs, keyed by the
// file's full path. Destruction stores a non-zero count and removes a zero
// one.
class SharedDllCount : public RegDword {
public:
    explicit SharedDllCount(const std::string& path);
    ~SharedDllCount() override;

    // Stops at the largest count instead of wrapping to 0 (a wrapped count
    // would declare a file in use unused).
    void Increment();
    // Never goes below 0.
    void Decrement();
    bool IsUsed() const { return value_ != 0; }
};

extern const char kSharedDllsKey[]; // "Software\Microsoft\Windows\CurrentVersion\SharedDLLs"
extern const char kAppPathsKey[];   // "...\App Paths"
extern const char kUninstallKey[];  // "...\Uninstall"

// Deletes HKLM\...\App Paths\<name and extension of programPath>.
bool DeleteAppPath(const std::string& programPath);
// Deletes HKLM\...\Uninstall\<name>.
bool DeleteUninstallEntry(const std::string& name);
