// Checks that a file can serve as the stub of an installer.
#pragma once

#include <string>

#include "platform/Streams.h"

namespace qe {

// A stub is a Windows executable whose bytes 136 to 139 are free: its PE header starts
// beyond them and they hold zeros, and it carries no signature. Raises qe::Exception naming Path otherwise.
void CheckStub(TStream& Stub, const std::string& Path);

} // namespace qe
