// How Windows compares names without letter case: every letter of the Windows-1252
// code page folds to its capital, not only the Latin ones ("Ä" is "ä").
#pragma once

#include <string>

namespace qe {

// Text with each Windows-1252 small letter replaced by its capital; other bytes stay.
std::string FoldCase(const std::string& Text);

} // namespace qe
