// The Windows error codes that the simulated Windows gives, with the system's texts.
#pragma once

#include <cstdint>
#include <string>

namespace qe::sim {

enum TErrorCode : uint32_t {
    ErrorSuccess = 0,
    ErrorFileNotFound = 2,
    ErrorPathNotFound = 3,
    ErrorAccessDenied = 5,
    ErrorSharingViolation = 32,
    ErrorFileExists = 80,
    ErrorDiskFull = 112,
    ErrorInvalidName = 123,
    ErrorDirNotEmpty = 145,
    ErrorAlreadyExists = 183,
    ErrorFilenameExcedRange = 206,
    ErrorDirectory = 267,
    ErrorCantResolveFilename = 1921,
};

// The system's message text for Code, without the final period, as error messages
// quote it.
std::string SysErrorMessage(uint32_t Code);

} // namespace qe::sim
