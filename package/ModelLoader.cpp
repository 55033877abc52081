#include "package/ModelLoader.h"

#include "platform/Paths.h"

namespace qe {

bool IsUninstallerName(const std::string& Path)
{
    const size_t Slash = Path.find_last_of("\\/:");
    return SameText(Path.substr(Slash == std::string::npos ? 0 : Slash + 1), UninstallerFileName);
}

TQeData& TProgramModel::Data() const
{
    if (Install)
        return *Install;
    return *Uninstall;
}

TProgramModel CreateModel(const TPlatform& Platform, const std::string& Path)
{
    TProgramModel Model;
    if (IsUninstallerName(Path))
        Model.Uninstall = std::make_unique<TQeUninstall>(Platform);
    else
        Model.Install = std::make_unique<TQeInstall>(Platform);
    return Model;
}

TProgramModel LoadModel(const TPlatform& Platform, const std::string& Path)
{
    TProgramModel Model = CreateModel(Platform, Path);
    Model.Data().LoadFromFile(Path);
    return Model;
}

TProgramModel LoadModel(const TPlatform& Platform, const std::string& Path, TStream& Stream)
{
    TProgramModel Model = CreateModel(Platform, Path);
    Model.Data().LoadFromStream(Stream);
    Model.Data().FileName = Path;
    return Model;
}

} // namespace qe
