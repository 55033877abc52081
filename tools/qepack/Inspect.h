// Reading installers and uninstallers back: what the program itself would load from
// them, and their payloads as files (the check of every payload is package/PackageVerify.h).
#pragma once

#include <ostream>
#include <string>

#include "platform/stdio/StdioFiles.h"

namespace qe {

// Prints the model loaded from Path; Json gives the machine-readable form.
void InspectFile(const std::string& Path, TStdioFiles& Files, bool Json, std::ostream& Out);

// Writes every payload of the installer at Path below Dir, at its target with the
// macro as a folder name ("{app}\\Manual.txt" as Dir/{app}/Manual.txt), with the
// package's times, and reports each file. Refuses, before writing anything, a target
// that would leave Dir.
void ExtractFile(const std::string& Path, const std::string& Dir, TStdioFiles& Files, std::ostream& Out);

} // namespace qe
