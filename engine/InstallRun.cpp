#include "package/QeClasses.h"

#include "platform/Exceptions.h"

namespace qe {

// The install run is being built; until then a run refuses to start.
void TQeInstall::Execute()
{
    throw Exception("The install run is not available in this build");
}

} // namespace qe
