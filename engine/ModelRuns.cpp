// The run of a model reached through TQeData: the models are read without the engine,
// so the run is chosen here by the model's class rather than through a virtual function.
#include "package/QeClasses.h"
#include "package/QeUninstall.h"
#include "platform/Exceptions.h"

namespace qe {

void TQeData::Execute()
{
    if (auto* Install = dynamic_cast<TQeInstall*>(this))
        return Install->Execute();
    if (auto* Uninstall = dynamic_cast<TQeUninstall*>(this))
        return Uninstall->Execute();
    throw Exception("The model has no run");
}

} // namespace qe
