// Registry access for the configuration writers. Every call connects, opens
// or creates its key, does one read or write and closes everything again;
// nothing is cached. Keys live under HKEY_LOCAL_MACHINE, reached through
// RegConnectRegistry for the local machine (CfgWriteUserString: under
// HKEY_CURRENT_USER). The key path is "base\subkey", or base alone when the
// subkey is null or empty; a path longer than 255 characters is refused.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

// "base\subkey" or base; false when the result exceeds 255 characters.
bool ComposeKeyPath(const char* base, const char* subkey, std::string& path);

// True when the value can be read into 1024 bytes.
bool CfgValueExists(HKEY root, const char* base, const char* subkey, const char* valueName);
// The registry status (0 = success).
LONG CfgWriteDword(const char* base, const char* subkey, const char* valueName, DWORD value);
LONG CfgWriteString(const char* base, const char* subkey, const char* valueName, const char* text);
LONG CfgWriteBinary(const char* base, const char* subkey, const char* valueName, const void* bytes, DWORD count);
// 1 when the key cannot be created, else the status of the write.
LONG CfgWriteUserString(const char* base, const char* subkey, const char* valueName, const char* text);
// The byte count read (terminator included), or, when the value cannot be
// read whole as terminated text, the default copied in and its length.
DWORD CfgReadString(const char* base, const char* subkey, const char* valueName, const char* defaultText, char* buffer,
                    DWORD bufferSize);
// Deletes the subkey and everything below it; false when it cannot be opened
// or something in it cannot be deleted. A null or empty subkey is refused.
bool CfgDeleteKeyTree(HKEY parent, const char* subkey);
// Asks Windows to restart (not forced).
BOOL CfgRestartWindows();

// Replaces what CfgRestartWindows does (null: the platform's restart again),
// so that a test sees the request instead of a restart. Returns the previous.
using RestartHandler = std::function<BOOL()>;
RestartHandler SetRestartHandler(RestartHandler handler);
