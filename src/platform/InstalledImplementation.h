#pragma once

#include <memory>
#include <mutex>

namespace qm {

// The implementation of a platform interface that the program installed, with a stand-in of
// type Fallback until then (and again when nothing is installed). Safe to use from any thread.
template <typename Interface, typename Fallback>
class InstalledImplementation {
public:
    std::shared_ptr<Interface> current()
    {
        std::lock_guard lock(mMutex);
        return mImplementation;
    }

    void install(std::shared_ptr<Interface> implementation)
    {
        std::lock_guard lock(mMutex);
        mImplementation = implementation ? std::move(implementation) : std::make_shared<Fallback>();
    }

private:
    std::mutex mMutex;
    std::shared_ptr<Interface> mImplementation = std::make_shared<Fallback>();
};

// The one process-wide InstalledImplementation of an interface.
template <typename Interface, typename Fallback>
InstalledImplementation<Interface, Fallback>& installedImplementation()
{
    static InstalledImplementation<Interface, Fallback> instance;
    return instance;
}

} // namespace qm
