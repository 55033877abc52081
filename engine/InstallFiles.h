// File operations shared by the install and uninstaller steps.
#pragma once

#include <string>

#include "platform/Platform.h"

namespace qe {

// A shell link at LinkPath to Target, starting in Target's folder.
void WriteShellLink(IShell& Shell, const std::string& Target, const std::string& LinkPath);

// Creates Path (replacing an old file) with Bytes; write failures raise.
void WriteWholeFile(IFileSystem& FileSystem, const std::string& Path, const std::string& Bytes);

// Text with its lines (ended by CR, LF or CR LF) each ended by CR LF, the last included.
std::string WithCrLfLines(const std::string& Text);

// The contents of an Internet shortcut file for Url.
std::string InternetShortcut(const std::string& Url);

} // namespace qe
