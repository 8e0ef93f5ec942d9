#include "archive/ZlibCheck.h"

#include "engine/base/XException.h"
#include "framework/Exceptions.h"

#include <cerrno>
#include <zlib.h>

namespace archive {

void CheckZlibResult(int result)
{
    switch (result) {
    case Z_OK:
    case Z_STREAM_END: return;
    case Z_ERRNO: {
        int32_t cause = fw::FileException::CauseFromErrno(errno);
        throw fw::FileException(cause == fw::kFileNone ? fw::kFileGeneric : cause);
    }
    case Z_STREAM_ERROR: throw CZLibException(kZStreamError);
    case Z_DATA_ERROR: throw CZLibException(kZDataError);
    case Z_MEM_ERROR: throw fw::MemoryException();
    case Z_BUF_ERROR: throw CZLibException(kZBufferError);
    default: throw CZLibException(kZUnknown);
    }
}

} // namespace archive
