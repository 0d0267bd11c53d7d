#include "ioerror.h"

#include <cerrno>

namespace kelvane::conversion {

IoError::IoError(int code) : ConversionError(ioErrorMessage(code)), code_(code) {}

std::string ioErrorMessage(int code)
{
    switch (code) {
    case 2: return "File not found";
    case 3: return "Invalid filename";
    case 4: return "Too many open files";
    case 5: return "File access denied";
    case 100: return "Read beyond end of file";
    case 101: return "Disk full";
    case 106: return "Invalid numeric input";
    default: return "I/O error " + std::to_string(code);
    }
}

// The one table from system errors to the standard codes.
int ioCodeFromErrno(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return 3; // the path names no place a file can be made
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
        return 5;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 101;
    case EBUSY:
    case ETXTBSY:
        return 32; // held by another program
    case EIO:
        return 29; // write fault
    default:
        return error;
    }
}

} // namespace kelvane::conversion
