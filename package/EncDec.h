// The text encoding of package and uninstall-record strings: 3 bytes become 4 printable
// symbols of the program's own code table, with a pad symbol for a short last group.
#pragma once

#include <string>

#include "package/TagStreams.h"

namespace qe {

// Positions 0 to 63 are the symbols of the 6-bit values, position 64 the pad.
inline constexpr char CodeTable[] = "4s83gPJGRMTadL6twAFBufqSKY0jWb9_IeNxDE5Zol7kQ2vpzyhmOcnHUX-1iCrV.";
static_assert(sizeof(CodeTable) == 66, "the code table holds 65 symbols");

std::string EncodeString(const std::string& Source);
// Never fails: unknown characters count as symbol 0, missing ones as pad.
std::string DecodeString(const std::string& Text);

// A string record of both formats: stored encoded, read back decoded.
void WriteEncoded(TTagStreamAdapter& Tags, int32_t Id, const std::string& Text);
std::string ReadDecoded(TTagStreamAdapter& Tags);

} // namespace qe
