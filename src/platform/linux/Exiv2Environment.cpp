#include "platform/linux/Exiv2Environment.h"

#include <exiv2/exiv2.hpp>

#include <mutex>

namespace qm {

namespace {

std::mutex& xmpToolkitMutex()
{
    static std::mutex mutex;
    return mutex;
}

void lockXmpToolkit(void*, bool lock)
{
    if (lock)
        xmpToolkitMutex().lock();
    else
        xmpToolkitMutex().unlock();
}

} // namespace

void Exiv2Environment::prepare()
{
    static const bool prepared = [] {
        Exiv2::LogMsg::setLevel(Exiv2::LogMsg::mute);
        return Exiv2::XmpParser::initialize(lockXmpToolkit, nullptr);
    }();
    (void)prepared;
}

} // namespace qm
