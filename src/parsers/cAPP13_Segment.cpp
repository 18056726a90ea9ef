#include "parsers/cAPP13_Segment.h"

#include <algorithm>

#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

namespace {

cAPP13_Segment::ResourceArray readResources(std::span<const std::uint8_t> bytes)
{
    simpleDataStream stream(std::make_shared<const cJPEGSegment::Bytes>(bytes.begin(), bytes.end()));
    return cPhotoshopImageResource::readPhotoshopImageResources(stream, stream.streamByteCount());
}

} // namespace

void cAPP13_Segment::readFromStream(simpleStream& stream)
{
    cJPEGSegment::readFromStream(stream);
    mContinuations.clear();
    mHead.reset();
    mIsContinuation = false;
    mPhotoshopResources = readResources(resourceBytes());
}

bool cAPP13_Segment::hasPhotoshopIdentification() const
{
    return data().size() >= PhotoshopIdentification.size() &&
           std::equal(PhotoshopIdentification.begin(), PhotoshopIdentification.end(), data().begin());
}

std::span<const std::uint8_t> cAPP13_Segment::resourceBytes() const
{
    const std::size_t start = std::min<std::size_t>(appNameLength() + 1, data().size());
    return std::span<const std::uint8_t>(data()).subspan(start);
}

void cAPP13_Segment::joinContinuations(const std::vector<std::shared_ptr<cAPP13_Segment>>& continuations)
{
    mContinuations = continuations;
    for (const auto& continuation : mContinuations) {
        continuation->mIsContinuation = true;
        continuation->mHead = weak_from_this();
        continuation->mPhotoshopResources.clear();
    }
    const Bytes joined = joinedResourceBytes();
    mPhotoshopResources = readResources(joined);
}

cJPEGSegment::Bytes cAPP13_Segment::joinedResourceBytes() const
{
    const auto own = resourceBytes();
    Bytes joined(own.begin(), own.end());
    for (const auto& continuation : mContinuations) {
        const auto more = continuation->resourceBytes();
        joined.insert(joined.end(), more.begin(), more.end());
    }
    return joined;
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
    std::shared_ptr<cPhotoshopIPTCImageResource> first;
    for (const auto& resource : mPhotoshopResources) {
        auto iptc = std::dynamic_pointer_cast<cPhotoshopIPTCImageResource>(resource);
        if (!iptc || iptc->identifier() != cPhotoshopImageResource::IPTCIdentifier)
            continue;
        if (!iptc->data().empty())
            return iptc;
        if (!first)
            first = std::move(iptc);
    }
    return first;
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
    const Bytes resources = serialisedResources(mPhotoshopResources);
    stream.writeBytes(resources.data(), static_cast<std::uint32_t>(resources.size()));
}

cJPEGSegment::Bytes cAPP13_Segment::serialisedResources(const ResourceArray& resources) const
{
    simpleOutputStream stream(static_cast<std::uint32_t>(data().size()));
    for (const auto& resource : resources)
        resource->writeToStream(stream);
    return Bytes(stream.basePtr(), stream.basePtr() + stream.streamPosition());
}

// Serialising never gives back bytes a reader skipped (a resource read in part, an unsorted IIM
// block), so the comparison is between two serialisations: of the resources as they are now and
// of those the segments hold.
bool cAPP13_Segment::resourcesAreAsRead() const
{
    return serialisedResources(mPhotoshopResources) == serialisedResources(readResources(joinedResourceBytes()));
}

bool cAPP13_Segment::writeUpdatedSegment(simpleOutputStream& stream) const
{
    if (mIsContinuation) {
        const auto head = mHead.lock();
        return head && !head->resourcesAreAsRead() ? true : writeSegmentAsRead(stream);
    }
    if (resourcesAreAsRead())
        return writeSegmentAsRead(stream);
    if (!hasPhotoshopIdentification())
        return cJPEGSegment::writeUpdatedSegment(stream);
    return writeSplitSegments(stream);
}

// Each segment holds the identification and as much of the resource stream as fits.
bool cAPP13_Segment::writeSplitSegments(simpleOutputStream& stream) const
{
    const Bytes resources = serialisedResources(mPhotoshopResources);
    const std::size_t room = LargestPayloadSize - PhotoshopIdentification.size();
    std::size_t offset = 0;
    do {
        const std::size_t count = std::min(room, resources.size() - offset);
        Bytes payload(PhotoshopIdentification.begin(), PhotoshopIdentification.end());
        payload.insert(payload.end(), resources.begin() + offset, resources.begin() + offset + count);
        writeNewSegment(stream, segmentMarker(), payload);
        offset += count;
    } while (offset < resources.size());
    return true;
}

} // namespace qm
