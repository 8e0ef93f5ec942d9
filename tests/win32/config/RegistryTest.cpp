#include "config/Registry.h"
#include "tests/win32/support/WinTest.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char kBase[] = "SOFTWARE\\BrantokeTest";

bool KeyExists(HKEY root, const std::string& path)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

using wintest::RegistryValue;

} // namespace

TEST(Registry, KeyPathComposition)
{
    std::string path;
    EXPECT_TRUE(ComposeKeyPath("A\\B", "C", path));
    EXPECT_EQ(path, "A\\B\\C");
    EXPECT_TRUE(ComposeKeyPath("A\\B", "", path));
    EXPECT_EQ(path, "A\\B");
    EXPECT_TRUE(ComposeKeyPath("A\\B", nullptr, path));
    EXPECT_EQ(path, "A\\B");
    EXPECT_TRUE(ComposeKeyPath(std::string(251, 'k').c_str(), "abc", path));
    EXPECT_EQ(path.size(), 255u);
    EXPECT_FALSE(ComposeKeyPath(std::string(252, 'k').c_str(), "abc", path));
}

TEST(Registry, WritesLandUnderLocalMachineWithTheirTypes)
{
    const std::string key = std::string(kBase) + "\\Writes";
    EXPECT_EQ(CfgWriteDword(kBase, "Writes", "Count", 0x12345678), ERROR_SUCCESS);
    EXPECT_EQ(CfgWriteString(kBase, "Writes", "Name", "Brantoke"), ERROR_SUCCESS);
    const unsigned char bytes[5] = {0, 1, 2, 0, 0xff};
    EXPECT_EQ(CfgWriteBinary(kBase, "Writes", "Blob", bytes, 5), ERROR_SUCCESS);
    EXPECT_EQ(CfgWriteString(kBase, "", "Top", "t"), ERROR_SUCCESS);

    DWORD type = 0;
    std::string v = RegistryValue(HKEY_LOCAL_MACHINE, key, "Count", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    ASSERT_EQ(v.size(), 4u);
    EXPECT_EQ(*reinterpret_cast<const DWORD*>(v.data()), 0x12345678u);
    v = RegistryValue(HKEY_LOCAL_MACHINE, key, "Name", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(v, std::string("Brantoke\0", 9)); // the terminator is stored
    v = RegistryValue(HKEY_LOCAL_MACHINE, key, "Blob", &type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(v, std::string(reinterpret_cast<const char*>(bytes), 5));
    EXPECT_EQ(RegistryValue(HKEY_LOCAL_MACHINE, kBase, "Top", &type), std::string("t\0", 2));
    // An empty subkey adds no empty-named key level.
    HKEY base = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_READ, &base), ERROR_SUCCESS);
    char name[256];
    for (DWORD i = 0; RegEnumKeyA(base, i, name, sizeof name) == ERROR_SUCCESS; ++i) EXPECT_STRNE(name, "");
    RegCloseKey(base);

    // An overlong path writes nothing anywhere.
    EXPECT_NE(CfgWriteDword(std::string(300, 'x').c_str(), nullptr, "v", 1), ERROR_SUCCESS);
}

TEST(Registry, ValueExistsOnlyWhenItFits1024Bytes)
{
    std::string fits(1024, 'a');
    std::string tooBig(1025, 'b');
    ASSERT_EQ(CfgWriteBinary(kBase, "Exists", "Fits", fits.data(), 1024), ERROR_SUCCESS);
    ASSERT_EQ(CfgWriteBinary(kBase, "Exists", "TooBig", tooBig.data(), 1025), ERROR_SUCCESS);
    EXPECT_TRUE(CfgValueExists(HKEY_LOCAL_MACHINE, kBase, "Exists", "Fits"));
    EXPECT_FALSE(CfgValueExists(HKEY_LOCAL_MACHINE, kBase, "Exists", "TooBig"));
    EXPECT_FALSE(CfgValueExists(HKEY_LOCAL_MACHINE, kBase, "Exists", "Absent"));
    EXPECT_FALSE(CfgValueExists(HKEY_LOCAL_MACHINE, kBase, "NoSuchKey", "Fits"));
    EXPECT_FALSE(CfgValueExists(HKEY_CURRENT_USER, kBase, "Exists", "Fits"));
}

TEST(Registry, ReadStringResults)
{
    char buffer[64];
    ASSERT_EQ(CfgWriteString(kBase, "Read", "Empty", ""), ERROR_SUCCESS);
    ASSERT_EQ(CfgWriteString(kBase, "Read", "Home", "C:\\AV"), ERROR_SUCCESS);
    EXPECT_EQ(CfgReadString(kBase, "Read", "Home", "def", buffer, sizeof buffer), 6u);
    EXPECT_STREQ(buffer, "C:\\AV");
    EXPECT_EQ(CfgReadString(kBase, "Read", "Empty", "def", buffer, sizeof buffer), 1u);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(CfgReadString(kBase, "Read", "Missing", "default", buffer, sizeof buffer), 7u);
    EXPECT_STREQ(buffer, "default");
    EXPECT_EQ(CfgReadString(kBase, "NoKey", "Home", "", buffer, sizeof buffer), 0u);
    EXPECT_STREQ(buffer, "");

    // Too long for the buffer: the default, never a cut or unterminated text.
    std::string longText(100, 'L');
    ASSERT_EQ(CfgWriteString(kBase, "Read", "Long", longText.c_str()), ERROR_SUCCESS);
    EXPECT_EQ(CfgReadString(kBase, "Read", "Long", "d", buffer, sizeof buffer), 1u);
    EXPECT_STREQ(buffer, "d");
    // Other types are not checked, but the result is always terminated.
    ASSERT_EQ(CfgWriteDword(kBase, "Read", "Number", 0x00414243), ERROR_SUCCESS);
    EXPECT_EQ(CfgReadString(kBase, "Read", "Number", "d", buffer, sizeof buffer), 4u);
    EXPECT_STREQ(buffer, "CBA");
    char small[4];
    ASSERT_EQ(CfgWriteBinary(kBase, "Read", "Four", "WXYZ", 4), ERROR_SUCCESS);
    EXPECT_EQ(CfgReadString(kBase, "Read", "Four", "long default", small, sizeof small), 3u);
    EXPECT_STREQ(small, "lon");
}

TEST(Registry, UserStringGoesToCurrentUser)
{
    EXPECT_EQ(CfgWriteUserString(kBase, "User", "Who", "me"), ERROR_SUCCESS);
    DWORD type = 0;
    EXPECT_EQ(RegistryValue(HKEY_CURRENT_USER, std::string(kBase) + "\\User", "Who", &type), std::string("me\0", 3));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\User"));
    EXPECT_EQ(CfgWriteUserString(std::string(300, 'u').c_str(), nullptr, "v", "x"), 1);
}

TEST(Registry, DeleteKeyTreeThreeLevels)
{
    const std::string root = std::string(kBase) + "\\Tree";
    for (const char* a : {"A", "B", "C"})
        for (const char* b : {"x", "y"})
            for (const char* c : {"1", "2", "3"}) {
                std::string sub = std::string(a) + "\\" + b + "\\" + c;
                ASSERT_EQ(CfgWriteString(root.c_str(), sub.c_str(), "v", sub.c_str()), ERROR_SUCCESS);
            }
    ASSERT_EQ(CfgWriteString(root.c_str(), "A", "level1", "x"), ERROR_SUCCESS);
    ASSERT_EQ(CfgWriteString(kBase, "Sibling", "keep", "x"), ERROR_SUCCESS);

    HKEY base = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kBase, 0, KEY_ALL_ACCESS, &base), ERROR_SUCCESS);
    EXPECT_TRUE(CfgDeleteKeyTree(base, "Tree"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, root));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Sibling"));
    // Absent: false, and nothing else changes.
    EXPECT_FALSE(CfgDeleteKeyTree(base, "Tree"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Sibling"));
    // No subkey names the parent itself: refused, the parent keeps its keys.
    EXPECT_FALSE(CfgDeleteKeyTree(base, ""));
    EXPECT_FALSE(CfgDeleteKeyTree(base, nullptr));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::string(kBase) + "\\Sibling"));
    RegCloseKey(base);

    // Under the root itself, as the completion page does it.
    ASSERT_EQ(CfgWriteString("SOFTWARE\\Brantoke\\Korvisan95", "CurrentVersion\\Path", "HOME", "C:\\AV"),
              ERROR_SUCCESS);
    EXPECT_TRUE(CfgDeleteKeyTree(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke\\Korvisan95"));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "SOFTWARE\\Brantoke"));
}

TEST(Registry, RestartGoesThroughTheSeam)
{
    int requests = 0;
    RestartHandler previous = SetRestartHandler([&] {
        ++requests;
        return TRUE;
    });
    EXPECT_TRUE(CfgRestartWindows());
    EXPECT_EQ(requests, 1);
    SetRestartHandler(previous);
}
