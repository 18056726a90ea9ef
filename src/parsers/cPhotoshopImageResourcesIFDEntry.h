#pragma once

#include <optional>
#include <string>

#include "metadata/cIPTCRecord.h"
#include "parsers/cIFDEntry.h"
#include "parsers/cPhotoshopImageResource.h"

namespace qm {

// The entry of tag 34377: a sequence of Photoshop image resource blocks, kept as one data object
// whatever its declared type and read into resources.
class cPhotoshopImageResourcesIFDEntry : public cIFDEntry {
public:
    const cPhotoshopImageResource::ResourceArray& photoshopResources() const { return mPhotoshopResources; }
    std::shared_ptr<cPhotoshopImageResource> photoshopImageResourceByID(std::uint16_t identifier) const;

    // The records of resource 1028; absent when there is no such IPTC resource.
    std::optional<IPTCRecordArray> IPTCRecords() const;
    // Sets the records of resource 1028; false when there is no such IPTC resource.
    bool setIPTCRecords(std::optional<IPTCRecordArray> records);
    // Resource 1002, else 1060, decoded as UTF-8; absent when neither is there or it is not UTF-8.
    std::optional<std::string> XMP() const;
    // The packet's bytes become the data of resources 1002 and 1060, each where it exists; an
    // absent packet changes nothing. False when neither resource exists.
    bool setXMP(const std::optional<std::string>& packet);

protected:
    std::uint16_t decodingType(std::uint16_t) const override { return IFDTypeUNDEFINED; }
    void readReferencedData(simpleStream& stream, IFDWalk& walk) override;

private:
    cPhotoshopImageResource::ResourceArray mPhotoshopResources;
};

} // namespace qm
