// The key wrapper, the double-word value and the shared-use counts against
// Wine's registry, read back with the raw registry calls.
#include "engine/SystemRegistry.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kScratch[] = "Software\\KorvisanTest\\Scratch";

struct RawValue {
    bool present = false;
    DWORD type = 0;
    DWORD dword = 0;
    std::string bytes;
};

RawValue ReadRaw(const std::string& subkey, const std::string& name)
{
    RawValue v;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
    char buf[256] = {};
    DWORD size = sizeof buf;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &v.type, reinterpret_cast<BYTE*>(buf), &size) == ERROR_SUCCESS) {
        v.present = true;
        v.bytes.assign(buf, size);
        if (size == 4) memcpy(&v.dword, buf, 4);
    }
    RegCloseKey(key);
    return v;
}

void WriteRaw(const std::string& subkey, const std::string& name, DWORD type, const void* data, DWORD size)
{
    HKEY key;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
}

bool KeyExists(const std::string& subkey)
{
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

TEST(RegKey, OperationsKeepTheResultCode)
{
    RegKey key;
    EXPECT_TRUE(key.Close()); // nothing open
    EXPECT_FALSE(key.Open(HKEY_LOCAL_MACHINE, "Software\\KorvisanTest\\Missing", KEY_READ));
    EXPECT_EQ(key.Result(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(key.IsOpen());

    ASSERT_TRUE(key.Create(HKEY_LOCAL_MACHINE, kScratch, nullptr, KEY_ALL_ACCESS));
    EXPECT_TRUE(key.SetDword("n", 0xDEADBEEF));
    uint32_t value = 0;
    EXPECT_TRUE(key.QueryDword("n", value));
    EXPECT_EQ(value, 0xDEADBEEFu);
    RawValue raw = ReadRaw(kScratch, "n");
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.bytes.size(), 4u);

    value = 7;
    EXPECT_FALSE(key.QueryDword("absent", value));
    EXPECT_EQ(key.Result(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(value, 7u);

    EXPECT_TRUE(key.DeleteValue("n"));
    EXPECT_FALSE(ReadRaw(kScratch, "n").present);
    EXPECT_FALSE(key.DeleteValue("n"));
    EXPECT_TRUE(key.Close());
    EXPECT_FALSE(key.IsOpen());
    EXPECT_TRUE(key.DeleteKey(HKEY_LOCAL_MACHINE, kScratch));
    EXPECT_FALSE(KeyExists(kScratch));
    EXPECT_FALSE(key.DeleteKey(HKEY_LOCAL_MACHINE, kScratch));
}

TEST(RegKey, ValuesOfOtherTypesAreNotDoubleWords)
{
    WriteRaw(kScratch, "text", REG_SZ, "12", 3);
    WriteRaw(kScratch, "long text", REG_SZ, "a text longer than four bytes", 30);
    const char four[4] = {1, 0, 0, 0};
    WriteRaw(kScratch, "binary", REG_BINARY, four, 4);
    WriteRaw(kScratch, "short", REG_DWORD, four, 2);
    RegKey key;
    ASSERT_TRUE(key.Open(HKEY_LOCAL_MACHINE, kScratch, KEY_READ));
    for (const char* name : {"text", "long text", "binary", "short"}) {
        uint32_t value = 99;
        EXPECT_FALSE(key.QueryDword(name, value)) << name;
        EXPECT_EQ(key.Result(), 1804) << name;
        EXPECT_EQ(value, 99u) << name;
    }
    key.Close();
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kScratch);
}

TEST(RegDword, LoadsWritesBackOnlyWhenChangedAndAsked)
{
    const std::string sub = std::string(kScratch) + "\\Dword";
    {
        RegDword missing(HKEY_LOCAL_MACHINE, sub, "v", 5, true, true);
        EXPECT_EQ(missing.Value(), 5u); // no key yet: the default
        EXPECT_FALSE(missing.IsOpen());
    }
    EXPECT_FALSE(KeyExists(sub)); // unchanged: nothing written

    {
        RegDword created(HKEY_LOCAL_MACHINE, sub, "v", 5, true, true);
        created.SetValue(6);
    }
    EXPECT_EQ(ReadRaw(sub, "v").dword, 6u); // key created on write-back

    {
        RegDword loaded(HKEY_LOCAL_MACHINE, sub, "v", 5, true, false);
        EXPECT_EQ(loaded.Value(), 6u);
        loaded.SetValue(8); // no write-back
    }
    EXPECT_EQ(ReadRaw(sub, "v").dword, 6u);

    {
        RegDword unloaded(HKEY_LOCAL_MACHINE, sub, "v", 5, false, true);
        EXPECT_EQ(unloaded.Value(), 5u);
        EXPECT_TRUE(unloaded.Write());
        EXPECT_FALSE(unloaded.Changed());
    }
    EXPECT_EQ(ReadRaw(sub, "v").dword, 5u);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, sub.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kScratch);
}

TEST(SharedDllCount, FirstInstallCountsOneAndFurtherInstallsAddUp)
{
    const std::string file = "C:\\WINDOWS\\SYSTEM\\KORFIRST.DLL";
    ASSERT_FALSE(ReadRaw(kSharedDllsKey, file).present);
    {
        SharedDllCount count(file);
        EXPECT_FALSE(count.IsUsed());
        count.Increment();
        EXPECT_TRUE(count.IsUsed());
    }
    RawValue raw = ReadRaw(kSharedDllsKey, file);
    ASSERT_TRUE(raw.present);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.dword, 1u);
    {
        SharedDllCount count(file);
        EXPECT_EQ(count.Value(), 1u);
        count.Increment();
    }
    EXPECT_EQ(ReadRaw(kSharedDllsKey, file).dword, 2u);
}

TEST(SharedDllCount, RemovalDecrementsAndDeletesAtZero)
{
    const std::string file = "C:\\WINDOWS\\SYSTEM\\KORTWO.DLL";
    DWORD two = 2;
    WriteRaw(kSharedDllsKey, file, REG_DWORD, &two, 4);
    {
        SharedDllCount count(file);
        count.Decrement();
        EXPECT_TRUE(count.IsUsed());
    }
    EXPECT_EQ(ReadRaw(kSharedDllsKey, file).dword, 1u);
    {
        SharedDllCount count(file);
        count.Decrement();
        EXPECT_FALSE(count.IsUsed());
    }
    EXPECT_FALSE(ReadRaw(kSharedDllsKey, file).present);
}

TEST(SharedDllCount, DecrementOfAMissingValueCreatesNothing)
{
    const std::string file = "C:\\WINDOWS\\SYSTEM\\KORNONE.DLL";
    {
        SharedDllCount count(file);
        count.Decrement();
        EXPECT_EQ(count.Value(), 0u);
        EXPECT_FALSE(count.IsUsed());
    }
    EXPECT_FALSE(ReadRaw(kSharedDllsKey, file).present);
}

TEST(SharedDllCount, ValueOfAnotherTypeCountsAsZeroAndIsOverwritten)
{
    const std::string file = "C:\\WINDOWS\\SYSTEM\\KORTEXT.DLL";
    WriteRaw(kSharedDllsKey, file, REG_SZ, "5", 2);
    {
        SharedDllCount count(file);
        EXPECT_EQ(count.Value(), 0u);
        count.Increment();
    }
    RawValue raw = ReadRaw(kSharedDllsKey, file);
    EXPECT_EQ(raw.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(raw.dword, 1u);
}

TEST(SharedDllCount, TheLargestCountDoesNotWrapToUnused)
{
    const std::string file = "C:\\WINDOWS\\SYSTEM\\KORMAX.DLL";
    DWORD max = 0xFFFFFFFF;
    WriteRaw(kSharedDllsKey, file, REG_DWORD, &max, 4);
    {
        SharedDllCount count(file);
        count.Increment();
        EXPECT_TRUE(count.IsUsed());
    }
    EXPECT_EQ(ReadRaw(kSharedDllsKey, file).dword, 0xFFFFFFFFu);
}

TEST(SystemEntries, DeleteAppPathDeletesOnlyTheProgramsKey)
{
    const std::string mine = std::string(kAppPathsKey) + "\\korvi95.exe";
    const std::string other = std::string(kAppPathsKey) + "\\other.exe";
    WriteRaw(mine, "", REG_SZ, "C:\\AV\\korvi95.exe", 18);
    WriteRaw(other, "", REG_SZ, "C:\\X\\other.exe", 15);
    EXPECT_TRUE(DeleteAppPath("C:\\AV\\korvi95.exe"));
    EXPECT_FALSE(KeyExists(mine));
    EXPECT_TRUE(KeyExists(other));
    EXPECT_TRUE(KeyExists(kAppPathsKey));
    EXPECT_FALSE(DeleteAppPath("C:\\AV\\korvi95.exe")); // already gone
    // A path without a file name names no program: the parent stays.
    EXPECT_FALSE(DeleteAppPath("C:\\AV\\"));
    EXPECT_TRUE(KeyExists(kAppPathsKey));
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, other.c_str());
}

TEST(SystemEntries, DeleteUninstallEntry)
{
    const std::string entry = std::string(kUninstallKey) + "\\Brantoke AntiVirus for Windows 95";
    WriteRaw(entry, "DisplayName", REG_SZ, "x", 2);
    EXPECT_TRUE(DeleteUninstallEntry("Brantoke AntiVirus for Windows 95"));
    EXPECT_FALSE(KeyExists(entry));
    EXPECT_TRUE(KeyExists(kUninstallKey));
    EXPECT_FALSE(DeleteUninstallEntry(""));
    EXPECT_TRUE(KeyExists(kUninstallKey));
}

} // namespace
