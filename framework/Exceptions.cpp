#include "framework/Exceptions.h"

#include <cerrno>

namespace fw {

int32_t FileException::CauseFromErrno(int err)
{
    switch (err) {
    case 0: return kFileNone;
    case ENOENT: return kFileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case EXDEV: return kFileBadPath;
    case EMFILE:
    case ENFILE: return kFileTooManyOpen;
    case EACCES:
    case EPERM:
    case EEXIST:
    case EROFS:
    case EISDIR: return kFileAccessDenied;
    case EBADF: return kFileInvalid;
    case ENOSPC:
    case EFBIG: return kFileDiskFull;
    case ESPIPE: return kFileBadSeek;
    case EIO: return kFileHardIo;
#ifdef EDEADLOCK
    case EDEADLOCK: return kFileLockViolation;
#endif
    default: return kFileGeneric;
    }
}

int32_t FileException::CauseFromOsError(uint32_t e)
{
    // Win32 error numbers, written out so that this stays free of <windows.h>.
    switch (e) {
    case 0: return kFileNone;
    case 2: return kFileNotFound;          // ERROR_FILE_NOT_FOUND
    case 3:                                // ERROR_PATH_NOT_FOUND
    case 15:                               // ERROR_INVALID_DRIVE
    case 53:                               // ERROR_BAD_NETPATH
    case 67:                               // ERROR_BAD_NET_NAME
    case 123:                              // ERROR_INVALID_NAME
    case 161:                              // ERROR_BAD_PATHNAME
    case 206: return kFileBadPath;         // ERROR_FILENAME_EXCED_RANGE
    case 4: return kFileTooManyOpen;       // ERROR_TOO_MANY_OPEN_FILES
    case 5:                                // ERROR_ACCESS_DENIED
    case 19:                               // ERROR_WRITE_PROTECT
    case 80:                               // ERROR_FILE_EXISTS
    case 145:                              // ERROR_DIR_NOT_EMPTY
    case 183: return kFileAccessDenied;    // ERROR_ALREADY_EXISTS
    case 6: return kFileInvalid;           // ERROR_INVALID_HANDLE
    case 16: return kFileRemoveCurrentDir; // ERROR_CURRENT_DIRECTORY
    case 82: return kFileDirectoryFull;    // ERROR_CANNOT_MAKE
    case 25:                               // ERROR_SEEK
    case 131:                              // ERROR_NEGATIVE_SEEK
    case 132: return kFileBadSeek;         // ERROR_SEEK_ON_DEVICE
    case 21:                               // ERROR_NOT_READY
    case 23:                               // ERROR_CRC
    case 27:                               // ERROR_SECTOR_NOT_FOUND
    case 29:                               // ERROR_WRITE_FAULT
    case 30:                               // ERROR_READ_FAULT
    case 31: return kFileHardIo;           // ERROR_GEN_FAILURE
    case 32: return kFileSharingViolation; // ERROR_SHARING_VIOLATION
    case 33:                               // ERROR_LOCK_VIOLATION
    case 158: return kFileLockViolation;   // ERROR_NOT_LOCKED
    case 39:                               // ERROR_HANDLE_DISK_FULL
    case 112: return kFileDiskFull;        // ERROR_DISK_FULL
    case 38: return kFileEndOfFile;        // ERROR_HANDLE_EOF
    default: return kFileGeneric;
    }
}

} // namespace fw
