#include "parsers/cPhotoshopImageResourcesIFDEntry.h"

#include "foundation/Log.h"
#include "foundation/StringEncodings.h"
#include "metadata/simpleDataStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

namespace {

// Roughly what one resource object, or one record of the IPTC resource, takes besides its bytes.
constexpr std::uint64_t ObjectCost = sizeof(cPhotoshopIPTCImageResource) + 64;

std::uint64_t objectCount(const cPhotoshopImageResource::ResourceArray& resources)
{
    std::uint64_t count = resources.size();
    for (const auto& resource : resources)
        if (const auto* iptc = dynamic_cast<const cPhotoshopIPTCImageResource*>(resource.get()))
            count += iptc->IPTCRecords().value_or(IPTCRecordArray{}).size();
    return count;
}

} // namespace

void cPhotoshopImageResourcesIFDEntry::readReferencedData(simpleStream&, IFDWalk& walk)
{
    if (!parsedObjects() || parsedObjects()->empty() || !parsedObjects()->front().data())
        return;
    const PlistData& block = *parsedObjects()->front().data();
    if (!walk.spend(block.size())) {
        Log::format("cPhotoshopImageResourcesIFDEntry: %zu bytes of resources are more than this file may take; "
                    "not read", block.size());
        return;
    }
    simpleDataStream stream(std::make_shared<const PlistData>(block));
    auto resources = cPhotoshopImageResource::readPhotoshopImageResources(stream, stream.streamByteCount());
    if (!walk.spend(objectCount(resources) * ObjectCost)) {
        Log::format("cPhotoshopImageResourcesIFDEntry: %zu resources are more than this file may take; not kept",
                    resources.size());
        return;
    }
    mPhotoshopResources = std::move(resources);
}

std::shared_ptr<cPhotoshopImageResource>
cPhotoshopImageResourcesIFDEntry::photoshopImageResourceByID(std::uint16_t identifier) const
{
    for (const auto& resource : mPhotoshopResources)
        if (resource->identifier() == identifier)
            return resource;
    return nullptr;
}

std::optional<IPTCRecordArray> cPhotoshopImageResourcesIFDEntry::IPTCRecords() const
{
    const auto resource = photoshopImageResourceByID(cPhotoshopImageResource::IPTCIdentifier);
    if (const auto* iptc = dynamic_cast<const cPhotoshopIPTCImageResource*>(resource.get()))
        return iptc->IPTCRecords();
    return std::nullopt;
}

bool cPhotoshopImageResourcesIFDEntry::setIPTCRecords(std::optional<IPTCRecordArray> records)
{
    const auto resource = photoshopImageResourceByID(cPhotoshopImageResource::IPTCIdentifier);
    auto* iptc = dynamic_cast<cPhotoshopIPTCImageResource*>(resource.get());
    if (iptc)
        iptc->setIPTCRecords(std::move(records));
    return iptc != nullptr;
}

std::optional<std::string> cPhotoshopImageResourcesIFDEntry::XMP() const
{
    return cPhotoshopImageResource::XMPOfResources(photoshopResources());
}

bool cPhotoshopImageResourcesIFDEntry::setXMP(const std::optional<std::string>& packet)
{
    const auto resource = cPhotoshopImageResource::XMPResource(photoshopResources());
    if (resource && packet)
        resource->setData(cPhotoshopImageResource::Bytes(packet->begin(), packet->end()));
    return resource != nullptr;
}

} // namespace qm
