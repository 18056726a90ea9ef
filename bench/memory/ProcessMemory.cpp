#include "memory/ProcessMemory.h"

#include <fstream>
#include <string>

namespace qm::bench {

ProcessMemory ProcessMemory::current()
{
    ProcessMemory memory;
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            memory.residentKiB = std::stoul(line.substr(6));
        else if (line.rfind("VmHWM:", 0) == 0)
            memory.peakResidentKiB = std::stoul(line.substr(6));
    }
    return memory;
}

} // namespace qm::bench
