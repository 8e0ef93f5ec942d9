// Page 108: the installation proper. Copies the six product files straight
// from the media, then runs the copy engine with the gauge, the two texts
// and the billboards, makes the program items and writes the install record.
#pragma once
#include "engine/CopyEngine.h"
#include "engine/Gauge.h"
#include "engine/IntervalGate.h"
#include "wizard/base/WizardPage.h"

#include <memory>
#include <string>

class CopyPage : public WizardPage, public CopyView {
public:
    using WizardPage::WizardPage;

    void PositionPage() override;
    Work RunWork() override;

    // CopyView
    void ShowItem(const std::string& fileName) override;
    void SetGaugeRange(int64_t min, int64_t max) override;
    void ShowProgress(int64_t gaugePosition, const std::string& destinationText, uint64_t byteCount) override;
    bool TakeCancelRequest() override;
    bool ConfirmLeave() override { return ConfirmCancel(); }

    Gauge* GaugeControl() const { return gauge_.get(); }

protected:
    void InitPage() override;
    // The gauge and text 1009 of the progress step (the billboards are the rest).
    void ShowGaugeAndText(int64_t gaugePosition, const std::string& destinationText);
    void OnCancel() override { cancelRequested_ = true; }

private:
    void CopyProductFiles();

    std::unique_ptr<Gauge> gauge_;
    bool cancelRequested_ = false;
    std::string shownDestination_;
    IntervalGate paintGate_{40};
};

// The files page 108 copies straight from the media into the home directory.
extern const char* const kDirectCopyFiles[6];
