#include "product/BackupPage.h"

#include "config/ProductSettings.h"
#include "engine/SetupApp.h"
#include "product/ProductLibraries.h"
#include "resources/ids.h"

#include <cstring>
#include <string>

namespace {

// The home directory the settings writer stored; empty when unreadable.
std::string HomeDirectory()
{
    const std::string path = std::string(kProductKey) + "\\Path";
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return {};
    char home[260] = {};
    DWORD size = sizeof home - 1; // room for a terminator the value may lack
    DWORD type = 0;
    LONG status = RegQueryValueExA(key, "HOME", nullptr, &type, reinterpret_cast<BYTE*>(home), &size);
    RegCloseKey(key);
    if (status != ERROR_SUCCESS || type != REG_SZ) return {};
    return std::string(home, strnlen(home, size));
}

} // namespace

bool BackupPage::OnInitDialog()
{
    WizardPage::OnInitDialog();
    RepaintMainWindow();
    return true;
}

int32_t BackupPage::RunWork()
{
    ShowWindow(Handle(), SW_HIDE);
    const std::string home = HomeDirectory();
    if (home.empty()) return NextPageId;
    const std::string library = home + "\\rescue.dll";
    if (library.size() > kMaxConfigPath) return NextPageId;
    HMODULE rescue = LoadLibraryA(library.c_str());
    if (!rescue) return NextPageId;
    // Through void*: the entry point's real type is the one the header declares.
    auto create =
        reinterpret_cast<CreateRescueDiskFn>(reinterpret_cast<void*>(GetProcAddress(rescue, kCreateRescueDiskName)));
    SetupApp* app = SetupApp::Instance();
    if (create) create(Handle(), app ? app->UnattendedMode : 0);
    FreeLibrary(rescue);
    return NextPageId;
}
