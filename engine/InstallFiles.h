// File operations shared by the install and uninstaller steps.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qe {

// A shell link at LinkPath to Target, starting in Target's folder; the caller has made
// its folder. The shell reports nothing when it cannot save a link, so a folder that is
// not there raises "Unable to create directory" here instead of passing unseen.
void WriteShellLink(const TPlatform& Platform, const std::string& Target, const std::string& LinkPath);

// Writes the file Path through Write, which fills the new file's stream. The file is
// created as new, so that nothing already of that name, a file or a link planted there, is
// opened or written through. When the name is taken, the contents go to a new file beside
// it under a name no one can guess ahead, which takes Path's name in one step once the
// contents are complete (replacing a file, or a link as itself). On a failure the
// unfinished file is removed and an old file stays as it was.
void WriteFileSafely(const TPlatform& Platform, const std::string& Path, const std::function<void(TStream&)>& Write);

// Creates Path (replacing an old file) with Bytes, as WriteFileSafely does.
void WriteWholeFile(const TPlatform& Platform, const std::string& Path, const std::string& Bytes);

// Text with its lines (ended by CR, LF or CR LF) each ended by CR LF, the last included.
std::string WithCrLfLines(const std::string& Text);

// The installed file of a document (package/Documents.h): Stem and ".rtf" for RTF, ".txt"
// for plain text.
std::string DocumentFileName(const std::string& Stem, const std::string& Document);
// What that file holds: RTF as it is, plain text after a UTF-8 byte-order mark, so that
// every editor on Windows reads it as UTF-8; both with CR LF line ends.
std::string DocumentFileBytes(const std::string& Document);

// The contents of an Internet shortcut file for Url. The file is 8-bit text, read in
// whatever code page the system has: a byte outside printable ASCII is written as "%" and
// two hexadecimal digits, as a web address carries UTF-8 ("пример" becomes
// "%D0%BF%D1%80..."), and an ASCII address stays as it is.
std::string InternetShortcut(const std::string& Url);

// The address of a product's website: Website without its surrounding blanks, with
// "http://" put in front unless it already names http or https; "" when there is none.
std::string WebsiteUrl(const std::string& Website);

} // namespace qe
