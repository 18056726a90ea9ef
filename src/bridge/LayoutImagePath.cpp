#include "bridge/LayoutImagePath.h"

#include <algorithm>

namespace qm {

bool isVolumeFormPath(const std::string& path)
{
    const auto colon = path.find(':');
    return !path.empty() && path.front() != '/' && colon != std::string::npos && colon > 0 &&
           path.find('/') > colon;
}

std::string posixImagePath(std::string path)
{
    if (isVolumeFormPath(path))
        std::replace(path.begin(), path.end(), ':', '/');
    return path;
}

} // namespace qm
