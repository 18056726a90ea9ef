#pragma once

#include <string>

namespace qm {

// A picture's path as the layout application reports it, as a path of this system. A path that
// starts with "/" is a POSIX path and is taken as it is: a colon is part of a file name there. Only
// a path in the volume form ("Volume:folder:file", no "/" before its first colon) has its colons
// turned into slashes.
std::string posixImagePath(std::string path);

// Whether the path is in the volume form described above.
bool isVolumeFormPath(const std::string& path);

} // namespace qm
