// The one exception base of the system: every failure carries a message text that the
// user may see (the wizard's error box shows it as it stands).
#pragma once

#include <stdexcept>
#include <string>

namespace qe {

class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& Message) : std::runtime_error(Message) {}
    std::string Message() const { return what(); }
};

// Failures of streams and files.
class EStreamError : public Exception {
public:
    using Exception::Exception;
};

class EFOpenError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
public:
    using EStreamError::EStreamError;
};

// The reason given when the file under the running program's name is no longer the one
// the program was started from.
constexpr const char* RunningProgramReplaced = "Another file has taken the program's name since it started";

// "Cannot open file "%s". %s" and "Cannot create file "%s". %s".
std::string CannotOpenFileMessage(const std::string& Path, const std::string& Reason);
std::string CannotCreateFileMessage(const std::string& Path, const std::string& Reason);

} // namespace qe
