// Turns a zlib result into the setup's exceptions: ok and stream end pass;
// errno gives a file exception, memory a memory exception, stream/data/buffer
// errors CZLibException 2/3/4, anything else CZLibException 1.
#pragma once

namespace archive {

void CheckZlibResult(int result);

} // namespace archive
