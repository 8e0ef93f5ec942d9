// The page table: which page object each page id makes, the page that
// follows it, and its unattended progress percentage.
#pragma once
#include <cstdint>

class WizardPage;

// A new page for an id of the table, or null (an id not in the table or a
// page not built into this program).
WizardPage* MakeTablePage(int32_t id);

// Next page of 104: 1552 when an earlier installation was found, else 1557.
int32_t NextAfterSelectDirectory();
// Next page of 115: 1554 when realtime protection is installed, else -1.
int32_t NextAfterComplete();
// Next page of 114: the file removal in removal mode, else the memory scan.
int32_t NextAfterReadingSetup();
