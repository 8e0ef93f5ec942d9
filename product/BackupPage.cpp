#include "product/BackupPage.h"

#include "config/ProductSettings.h"
#include "config/InstallSettings.h"
#include "engine/SetupContext.h"
#include "engine/journal/UndoLog.h"
#include "product/ProductLibraries.h"
#include "resources/ids.h"

#include <cstring>
#include <string>

void BackupPage::InitPage() { RepaintMainWindow(); }

WizardPage::Work BackupPage::RunWork()
{
    ShowWindow(Handle(), SW_HIDE);
    // The home directory the settings writer stored.
    const std::string home = RecordedHomeDirectory(kProductKey);
    if (home.empty()) return Work::Next;
    const std::string library = home + "\\rescue.dll";
    if (library.size() > kMaxConfigPath) return Work::Next;
    HMODULE rescue = LoadLibraryA(library.c_str());
    if (!rescue) return Work::Next;
    // Through void*: the entry point's real type is the one the header declares.
    auto create =
        reinterpret_cast<CreateRescueDiskFn>(reinterpret_cast<void*>(GetProcAddress(rescue, kCreateRescueDiskName)));
    // A rescue diskette once written stays written: the journal can only say so.
    if (create && undojournal::RecordCall(kCreateRescueDiskName, "")) create(Handle(), Setup().UnattendedMode);
    FreeLibrary(rescue);
    return Work::Next;
}
