// The FileSystem of setup.exe: Win32 file handles, errors mapped from
// GetLastError. (Win32 build only.)
#pragma once
#include "archive/ByteStream.h"

namespace archive {

FileSystem& Win32FileSystem();

} // namespace archive
