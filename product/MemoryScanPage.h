// Page 1568: before anything is installed, the engine is extracted from the
// "Engine" group's archive into the temporary directory, loaded from there,
// scans memory while its progress moves bar 1052, and is removed again.
#pragma once
#include "product/ProductLibraries.h"
#include "wizard/base/WizardPage.h"

#include <string>

class MemoryScanPage : public WizardPage {
public:
    using WizardPage::WizardPage;

    Work RunWork() override;

protected:
    void InitPage() override;
    bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result) override;

private:
    // The first "Engine" item's members into the directory; false when a
    // failure or a cancel stopped the walk.
    bool ExtractEngine(const std::string& directory);
    // The outcome of a scan that found something: true to go on.
    bool ReportScanResult(EngineStatus result);
    // Page 116 for a failed or cancelled scan.
    Work Stop();
};
