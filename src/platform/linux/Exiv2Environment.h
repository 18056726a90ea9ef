#pragma once

namespace qm {

// Prepares Exiv2 once per process before its first use from any thread: its own logging is
// muted (failures reach qm::Log through the callers) and the XMP toolkit is initialised with
// a lock, so that images may be read on several threads at once.
class Exiv2Environment {
public:
    static void prepare();
};

} // namespace qm
