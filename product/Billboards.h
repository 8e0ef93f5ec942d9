// The four billboards shown while the copy page installs: one modeless
// picture dialog at a time, chosen by how far the bytes have come, each
// starting its sound as it appears.
#pragma once
#include <cstdint>

void BillboardStart(uint64_t totalBytes);
void BillboardStep(uint64_t byteCount);
void BillboardClose();
// The index shown now, -1 when none (tests).
int ShownBillboard();
// How often a billboard was created since BillboardStart (tests).
int BillboardChanges();
