#include "platform/sim/SimErrors.h"

namespace qe::sim {

std::string SysErrorMessage(uint32_t Code)
{
    switch (Code) {
    case ErrorSuccess: return "The operation completed successfully";
    case ErrorFileNotFound: return "The system cannot find the file specified";
    case ErrorPathNotFound: return "The system cannot find the path specified";
    case ErrorAccessDenied: return "Access is denied";
    case ErrorSharingViolation: return "The process cannot access the file because it is being used by another process";
    case ErrorFileExists: return "The file exists";
    case ErrorDiskFull: return "There is not enough space on the disk";
    case ErrorInvalidName: return "The filename, directory name, or volume label syntax is incorrect";
    case ErrorDirNotEmpty: return "The directory is not empty";
    case ErrorAlreadyExists: return "Cannot create a file when that file already exists";
    case ErrorFilenameExcedRange: return "The filename or extension is too long";
    case ErrorDirectory: return "The directory name is invalid";
    case ErrorCantResolveFilename: return "The name of the file cannot be resolved by the system";
    default: return "System error code: " + std::to_string(Code);
    }
}

} // namespace qe::sim
