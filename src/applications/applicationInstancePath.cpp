#include "applications/applicationInstancePath.h"

#include <filesystem>

#include "platform/Workspace.h"

namespace qm {

std::string applicationInstancePath::description() const
{
    if (!mPath)
        return "[Application not found]";
    if (auto name = Workspace::current()->displayName(*mPath))
        return *name;
    std::error_code error;
    if (std::filesystem::exists(*mPath, error))
        return std::filesystem::path(*mPath).filename().string();
    return "[Application not found]";
}

void applicationInstancePath::encodeWithCoder(ArchiveWriter& coder) const
{
    coder.encode(mPath ? PlistValue(*mPath) : ArchiveWriter::nullItem());
}

applicationInstancePath::Pointer applicationInstancePath::initWithCoder(ArchiveReader& coder)
{
    return std::make_shared<applicationInstancePath>(coder.decodeString());
}

} // namespace qm
