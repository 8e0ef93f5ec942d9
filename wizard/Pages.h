// The page table: which page object each page id makes, the page that
// follows it and the one Back returns to (fixed, or decided by a named rule),
// and its unattended progress percentage.
#pragma once
#include "wizard/base/Wizard.h"

#include <cstdint>
#include <vector>

class SetupContext;

// The rows of this program's wizard.
std::vector<PageRow> StandardPageTable();

// The rules of the conditional rows.
// Rule A, after 104: 1552 when an earlier installation was found, else 1557.
int32_t NextAfterSelectDirectory(const SetupContext& setup);
// Rule B, after 115: 1554 when realtime protection is installed, else the end.
int32_t NextAfterComplete(const SetupContext& setup);
// After 114: the file removal in removal mode, else the memory scan.
int32_t NextAfterReadingSetup(const SetupContext& setup);
// After 1537: on to 125 when the conditions are met (the page is then passed
// over) or in batch mode, else page 116.
int32_t NextAfterInstallConditions(const SetupContext& setup);
// After 125: the components page for a custom installation, else 104.
int32_t NextAfterSetupType(const SetupContext& setup);
// Back from 104: the components page after a custom choice, else 125.
int32_t BackFromSelectDirectory(const SetupContext& setup);
// Back from 1557: 1552 when it was shown (an earlier installation), else 104.
int32_t BackFromInternetOptions(const SetupContext& setup);

// What a build would check before installing; none are checked today, so
// page 1537 is always passed over.
bool InstallConditionsMet();
