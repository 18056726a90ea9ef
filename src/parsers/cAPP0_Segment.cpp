#include "parsers/cAPP0_Segment.h"

#include "foundation/Log.h"

namespace qm {

namespace {
constexpr std::uint32_t IdentifierSize = 5;
constexpr std::uint32_t UnitsOffset = 7;
constexpr std::uint32_t ResolutionSize = 5;
constexpr std::uint32_t ThumbnailOffset = 14;
constexpr std::uint32_t BytesPerPixel = 3;
} // namespace

std::optional<std::string> cAPP0_Segment::fileIdentifier() const
{
    return stringAtOffset(0, IdentifierSize, Encoding::UTF8);
}

std::optional<cJPEGSegment::Bytes> cAPP0_Segment::thumbnailData() const
{
    const auto width = thumbnailWidth();
    const auto height = thumbnailHeight();
    if (!width || !height)
        return std::nullopt;
    return dataAtOffset(ThumbnailOffset, std::uint32_t{*width} * *height * BytesPerPixel);
}

// All three fields or none: units, then the two 16-bit densities.
bool cAPP0_Segment::setResolution(std::uint8_t units, std::uint16_t xDensity, std::uint16_t yDensity)
{
    if (!dataAtOffset(UnitsOffset, ResolutionSize)) {
        Log::message("can't set data beyond data bounds!");
        return false;
    }
    return setUInt8(units, UnitsOffset) && setUInt16(xDensity, UnitsOffset + 1) && setUInt16(yDensity, UnitsOffset + 3);
}

} // namespace qm
