#pragma once

#include <chrono>
#include <filesystem>

namespace qm {

// An advisory lock (flock) on a file, held while the object lives. Taking it never waits longer
// than the given time: it tries again every few milliseconds until then.
class FileLock {
public:
    FileLock(const std::filesystem::path& path, std::chrono::milliseconds patience);
    ~FileLock();
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

    bool isHeld() const { return mHeld; }
    // The lock file could be neither opened nor created (its folder is missing or not writable).
    bool couldNotOpen() const { return mDescriptor < 0; }

private:
    int mDescriptor = -1;
    bool mHeld = false;
};

} // namespace qm
