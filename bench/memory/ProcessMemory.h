#pragma once

#include <cstddef>

namespace qm::bench {

// The process's resident size now (VmRSS) and at its peak (VmHWM), in KiB, from /proc/self/status.
struct ProcessMemory {
    std::size_t residentKiB = 0;
    std::size_t peakResidentKiB = 0;

    static ProcessMemory current();
};

} // namespace qm::bench
