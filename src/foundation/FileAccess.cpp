#include "foundation/FileAccess.h"

#include <sys/stat.h>
#include <unistd.h>

namespace qm {

bool isReadableFile(const std::filesystem::path& path)
{
    struct stat attributes {};
    return ::stat(path.c_str(), &attributes) == 0 && S_ISREG(attributes.st_mode) && ::access(path.c_str(), R_OK) == 0;
}

} // namespace qm
