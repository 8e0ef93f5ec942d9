#include "engine/base/FileVersion.h"

#include <windows.h>

bool FileVersion::Read(const std::string& file)
{
    data_.clear();
    parts_ = {};
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (size == 0) return false;
    data_.assign(size + 1, 0);
    if (!GetFileVersionInfoA(file.c_str(), 0, size, data_.data())) {
        data_.clear();
        return false;
    }
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    char root[] = "\\";
    if (VerQueryValueA(data_.data(), root, reinterpret_cast<void**>(&info), &length) && info &&
        length >= sizeof(VS_FIXEDFILEINFO)) {
        parts_ = {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS),
                  LOWORD(info->dwFileVersionLS)};
    }
    return true;
}
