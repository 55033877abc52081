// A command-line program's arguments in UTF-8, as all of its text. On Windows they come
// from the wide command line (the narrow ones are in the ANSI code page, which cannot write
// every name) and the console shows the program's output as UTF-8; elsewhere they are
// taken as given.
#pragma once

#include <string>
#include <vector>

namespace qe {

std::vector<std::string> Utf8Arguments(int Count, char** Arguments);

} // namespace qe
