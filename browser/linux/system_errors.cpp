#include "browser/linux/system_errors.h"

#include <cerrno>

namespace kestrum {

std::int64_t SystemErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
            return 3;  // ERROR_PATH_NOT_FOUND
        case EACCES:
        case EPERM:
            return 5;  // ERROR_ACCESS_DENIED
        case ENOMEM:
            return 8;  // ERROR_NOT_ENOUGH_MEMORY
        case EROFS:
            return 19;  // ERROR_WRITE_PROTECT
        case EEXIST:
            return 183;  // ERROR_ALREADY_EXISTS
        case ENOSPC:
        case EDQUOT:
            return 112;  // ERROR_DISK_FULL
        case ENAMETOOLONG:
            return 206;  // ERROR_FILENAME_EXCED_RANGE
        case ENOTDIR:
            return 267;  // ERROR_DIRECTORY
        case EINVAL:
            return 87;  // ERROR_INVALID_PARAMETER
        default:
            return 31;  // ERROR_GEN_FAILURE
    }
}

}  // namespace kestrum
