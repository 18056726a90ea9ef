#pragma once

#include "metadata/cIPTCRecord.h"
#include "parsers/cJPEGSegment.h"
#include "parsers/cPhotoshopImageResource.h"

namespace qm {

class cPhotoshopIPTCImageResource;

// The APP13 segment: a zero-terminated identification ("Photoshop 3.0"), then Photoshop image
// resource blocks up to the end of the payload. It is always written anew from its resources.
class cAPP13_Segment : public cJPEGSegment {
public:
    using ResourceArray = cPhotoshopImageResource::ResourceArray;

    ResourceArray& photoshopResources() { return mPhotoshopResources; }
    const ResourceArray& photoshopResources() const { return mPhotoshopResources; }
    // The first resource with the identifier, or null.
    std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const;
    // The records of resource 1028; absent without it.
    std::optional<IPTCRecordArray> IPTCRecords() const;
    std::shared_ptr<cIPTCRecord> IPTCRecordByTag(std::uint8_t recordType, std::uint8_t dataSetNumber) const;

    // The identification in Mac OS Roman with its zero byte, then every resource in order.
    void writeCustomizedDataToStream(simpleOutputStream& stream) const override;

protected:
    void readFromStream(simpleStream& stream) override;
    bool hasCustomizedData() const override { return true; }

private:
    std::shared_ptr<cPhotoshopIPTCImageResource> IPTCResource() const;

    ResourceArray mPhotoshopResources;
};

} // namespace qm
