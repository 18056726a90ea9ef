#include "metadata/simpleDataStream.h"

#include "foundation/Log.h"

#include <algorithm>
#include <limits>

namespace qm {

simpleDataStream::simpleDataStream(std::shared_ptr<const std::vector<std::uint8_t>> data)
    : mData(std::move(data))
{
    if (!mData)
        return;
    constexpr std::size_t largest = std::numeric_limits<std::uint32_t>::max();
    if (mData->size() > largest)
        Log::format("simpleDataStream: data of %zu bytes; only its first %zu are readable", mData->size(), largest);
    mBytes = mData->data();
    mByteCount = static_cast<std::uint32_t>(std::min(mData->size(), largest));
}

} // namespace qm
