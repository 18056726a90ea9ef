#include "parsers/cAPP13_Segment.h"

#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

void cAPP13_Segment::readFromStream(simpleStream& stream)
{
    cJPEGSegment::readFromStream(stream);
    mPhotoshopResources.clear();
    const std::uint32_t resourcesStart = appNameLength() + 1;
    simpleDataStream payload(std::make_shared<const Bytes>(data()));
    if (resourcesStart < payload.streamByteCount() && payload.setStreamPosition(resourcesStart))
        mPhotoshopResources =
            cPhotoshopImageResource::readPhotoshopImageResources(payload, payload.streamByteCount() - resourcesStart);
}

std::shared_ptr<cPhotoshopImageResource> cAPP13_Segment::photoshopImageResourceByID(std::uint16_t identifier) const
{
    for (const auto& resource : mPhotoshopResources)
        if (resource->identifier() == identifier)
            return resource;
    return nullptr;
}

std::shared_ptr<cPhotoshopIPTCImageResource> cAPP13_Segment::IPTCResource() const
{
    return std::dynamic_pointer_cast<cPhotoshopIPTCImageResource>(
        photoshopImageResourceByID(cPhotoshopImageResource::IPTCIdentifier));
}

std::optional<IPTCRecordArray> cAPP13_Segment::IPTCRecords() const
{
    const auto resource = IPTCResource();
    return resource ? resource->IPTCRecords() : std::nullopt;
}

std::shared_ptr<cIPTCRecord> cAPP13_Segment::IPTCRecordByTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const
{
    const auto resource = IPTCResource();
    return resource ? resource->IPTCRecordByTag(recordType, dataSetNumber) : nullptr;
}

// Mac OS Roman gives every byte a character, so the identification comes back as it was read.
void cAPP13_Segment::writeCustomizedDataToStream(simpleOutputStream& stream) const
{
    const auto name = StringEncodings::encode(appName(Encoding::MacOSRoman).value_or(""), Encoding::MacOSRoman);
    const Bytes identification = name.value_or(Bytes{});
    const std::uint8_t terminator = 0;
    stream.writeBytes(identification.data(), static_cast<std::uint32_t>(identification.size()));
    stream.writeBytes(&terminator, 1);
    for (const auto& resource : mPhotoshopResources)
        resource->writeToStream(stream);
}

} // namespace qm
