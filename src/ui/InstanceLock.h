#pragma once

#include <filesystem>

namespace qm {

// The lock that makes a process the user's one running program: an exclusive flock on a file in
// the runtime folder, held until the object goes (or the process ends, however it ends).
class InstanceLock {
public:
    enum class State { Held, HeldByAnother, Unavailable };

    explicit InstanceLock(std::filesystem::path file) : mFile(std::move(file)) {}
    ~InstanceLock() { release(); }
    InstanceLock(const InstanceLock&) = delete;
    InstanceLock& operator=(const InstanceLock&) = delete;

    // Takes the lock unless held already; Unavailable when the lock file cannot be opened.
    State acquire();
    bool isHeld() const { return mDescriptor >= 0; }
    void release();

    // Whether any process holds the lock on that file; does not take it.
    static bool isHeldByAnyone(const std::filesystem::path& file);

private:
    std::filesystem::path mFile;
    int mDescriptor = -1;
};

} // namespace qm
