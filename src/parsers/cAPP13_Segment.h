#pragma once

#include <span>
#include <string_view>

#include "metadata/cIPTCRecord.h"
#include "parsers/cJPEGSegment.h"
#include "parsers/cPhotoshopImageResource.h"

namespace qm {

class cPhotoshopIPTCImageResource;

// The APP13 segment: a zero-terminated identification ("Photoshop 3.0"), then Photoshop image
// resource blocks up to the end of the payload. A resource stream too large for one segment is
// stored over several consecutive segments with the Photoshop identification, and may be cut
// anywhere between them: the first of them (the head) then reads its resources from the joined
// payloads, and the others are its continuations.
//
// Written back, a head whose resources serialise as those it read gives its segments' bytes as
// they were read; a changed one is serialised anew and split over as many segments as it needs.
class cAPP13_Segment : public cJPEGSegment, public std::enable_shared_from_this<cAPP13_Segment> {
public:
    using ResourceArray = cPhotoshopImageResource::ResourceArray;

    // The identification with its zero byte.
    static constexpr std::string_view PhotoshopIdentification{"Photoshop 3.0\0", 14};

    ResourceArray& photoshopResources() { return mPhotoshopResources; }
    const ResourceArray& photoshopResources() const { return mPhotoshopResources; }
    // The first resource with the identifier, or null.
    std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const;
    // The first resource 1028 that holds data, else the first one (an empty block may come
    // before the one with the datasets); null without any.
    std::shared_ptr<cPhotoshopIPTCImageResource> IPTCResource() const;
    // The records of IPTCResource(); absent without it.
    std::optional<IPTCRecordArray> IPTCRecords() const;
    std::shared_ptr<cIPTCRecord> IPTCRecordByTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const;

    bool hasPhotoshopIdentification() const;
    // The payload after the identification's zero byte.
    std::span<const std::uint8_t> resourceBytes() const;
    // Makes the segments continuations of this one and reads the resources from the joined payloads.
    void joinContinuations(const std::vector<std::shared_ptr<cAPP13_Segment>>& continuations);
    bool isContinuation() const { return mIsContinuation; }

    // The identification in Mac OS Roman with its zero byte, then every resource in order.
    void writeCustomizedDataToStream(simpleOutputStream& stream) const override;

protected:
    void readFromStream(simpleStream& stream) override;
    bool interpretsPayload() const override { return true; }
    bool hasCustomizedData() const override { return true; }
    bool writeUpdatedSegment(simpleOutputStream& stream) const override;

private:
    Bytes joinedResourceBytes() const;
    Bytes serialisedResources(const ResourceArray& resources) const;
    bool resourcesAreAsRead() const;
    bool writeSplitSegments(simpleOutputStream& stream) const;

    ResourceArray mPhotoshopResources;
    std::vector<std::shared_ptr<cAPP13_Segment>> mContinuations;
    std::weak_ptr<const cAPP13_Segment> mHead;
    bool mIsContinuation = false;
};

} // namespace qm
