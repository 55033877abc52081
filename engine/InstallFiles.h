// File operations shared by the install and uninstaller steps.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qe {

// A shell link at LinkPath to Target, starting in Target's folder, with the folders it
// goes into (those it made added to Made, when given). The shell reports nothing when it
// cannot save a link, so a folder that cannot be made raises "Unable to create
// directory" here instead of passing unseen.
void WriteShellLink(const TPlatform& Platform, const std::string& Target, const std::string& LinkPath,
                    std::vector<std::string>* Made = nullptr);

// Writes the file Path through Write, which fills the new file's stream. A file that
// exists already is replaced only once the new contents are complete: they go to a file
// beside it, which then takes its name. On a failure the unfinished file is removed and
// an old file stays as it was. KnownNew (the caller believes there is no such file)
// saves looking the name up: the file is created as new, and only when that fails is it
// looked up and written the careful way.
void WriteFileSafely(IFileSystem& FileSystem, const std::string& Path, const std::function<void(TStream&)>& Write,
                     bool KnownNew = false);

// Creates Path (replacing an old file) with Bytes, as WriteFileSafely does.
void WriteWholeFile(IFileSystem& FileSystem, const std::string& Path, const std::string& Bytes);

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
