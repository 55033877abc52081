// The simulated Windows compares names as the real one does (platform/CaseFolding.h).
#pragma once

#include "platform/CaseFolding.h"

namespace qe::sim {

using qe::FoldCase;

} // namespace qe::sim
