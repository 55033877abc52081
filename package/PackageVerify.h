// The report of `qepack verify`: the check the installer makes before it installs
// anything (package/Integrity.h), run on an installer file, one line per file entry.
#pragma once

#include <ostream>
#include <string>

#include "platform/stdio/StdioFiles.h"

namespace qe {

// Deciphers every payload of the installer at Path to nowhere and reports each file;
// returns false when any payload is at fault or the file holds no package.
bool VerifyFile(const std::string& Path, TStdioFiles& Files, std::ostream& Out);

} // namespace qe
