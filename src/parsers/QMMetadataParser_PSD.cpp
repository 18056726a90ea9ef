#include "parsers/QMMetadataParser_PSD.h"

#include "foundation/Log.h"
#include "foundation/StringEncodings.h"
#include "metadata/simpleStream.h"
#include "parsers/cPhotoshopIPTCImageResource.h"

namespace qm {

namespace {

constexpr std::uint32_t ColourModeLengthOffset = 26;
constexpr std::uint64_t ColourModeDataOffset = 30;
constexpr std::size_t ThumbnailHeaderSize = 28;

// From the colour-mode length on: skips the colour-mode data and reads the resources section.
cPhotoshopImageResource::ResourceArray readResourcesSection(simpleStream& stream)
{
    const std::uint32_t colourModeLength = cPhotoshopImageResource::readBigEndianUInt32(stream);
    const std::uint64_t sectionLengthOffset = ColourModeDataOffset + colourModeLength;
    if (sectionLengthOffset + 4 > stream.streamByteCount() ||
        !stream.setStreamPosition(static_cast<std::uint32_t>(sectionLengthOffset))) {
        Log::format("QMMetadataParser_PSD: colour-mode data of %u bytes runs past the end of the document",
                    colourModeLength);
        return {};
    }
    const std::uint32_t sectionLength = cPhotoshopImageResource::readBigEndianUInt32(stream);
    return cPhotoshopImageResource::readPhotoshopImageResources(stream, sectionLength);
}

} // namespace

QMMetadataParser_PSD::QMMetadataParser_PSD(std::filesystem::path path) : QMMetadataParser(std::move(path)) {}

std::optional<QMMetadataParser_PSD::ResourceArray>
QMMetadataParser_PSD::readImageResourcesFromPhotoshopFile(simpleStream& stream)
{
    const std::uint32_t start = stream.streamPosition();
    if (!stream.setStreamPosition(ColourModeLengthOffset))
        return std::nullopt;
    auto resources = readResourcesSection(stream);
    stream.setStreamPosition(start);
    return resources;
}

bool QMMetadataParser_PSD::parseImageStream(simpleStream& stream, Error*)
{
    mImageResources = readImageResourcesFromPhotoshopFile(stream).value_or(ResourceArray{});
    return true;
}

PlistValue QMMetadataParser_PSD::structureSummary() const
{
    PlistArray summary;
    for (const auto& resource : mImageResources) {
        PlistDictionary entry{{"id", resource->identifier()}, {"size", resource->size()}};
        if (resource->name())
            entry.emplace("name", *resource->name());
        summary.emplace_back(std::move(entry));
    }
    return summary;
}

std::shared_ptr<cPhotoshopImageResource> QMMetadataParser_PSD::photoshopImageResourceByID(std::uint16_t identifier) const
{
    for (const auto& resource : mImageResources)
        if (resource->identifier() == identifier)
            return resource;
    return nullptr;
}

std::shared_ptr<cPhotoshopIPTCImageResource> QMMetadataParser_PSD::IPTCResource() const
{
    return std::dynamic_pointer_cast<cPhotoshopIPTCImageResource>(
        photoshopImageResourceByID(cPhotoshopImageResource::IPTCIdentifier));
}

std::optional<IPTCRecordArray> QMMetadataParser_PSD::IPTCRecords() const
{
    const auto resource = IPTCResource();
    return resource ? resource->IPTCRecords() : std::nullopt;
}

void QMMetadataParser_PSD::setIPTCRecords(std::optional<IPTCRecordArray> records)
{
    if (const auto resource = IPTCResource())
        resource->setIPTCRecords(std::move(records));
}

std::shared_ptr<cPhotoshopImageResource> QMMetadataParser_PSD::XMPResource() const
{
    return cPhotoshopImageResource::XMPResource(mImageResources);
}

// An empty resource, or one that is not UTF-8, holds no packet.
std::optional<std::string> QMMetadataParser_PSD::XMP() const
{
    return cPhotoshopImageResource::XMPOfResources(mImageResources);
}

void QMMetadataParser_PSD::setXMP(std::optional<std::string> packet)
{
    if (const auto resource = XMPResource())
        resource->setData(packet ? cPhotoshopImageResource::Bytes(packet->begin(), packet->end())
                                 : cPhotoshopImageResource::Bytes{});
}

std::optional<Bitmap> QMMetadataParser_PSD::thumbnailFromResource() const
{
    const auto resource = photoshopImageResourceByID(cPhotoshopImageResource::ThumbnailIdentifier);
    if (!resource || resource->data().size() <= ThumbnailHeaderSize)
        return std::nullopt;
    const std::span<const std::uint8_t> jpeg(resource->data());
    return ImageLibrary::current()->decodeImage(jpeg.subspan(ThumbnailHeaderSize));
}

std::optional<Bitmap> QMMetadataParser_PSD::thumbnail()
{
    if (!cachedThumbnail())
        if (auto image = thumbnailFromResource())
            setCachedThumbnail(std::move(image));
    return QMMetadataParser::thumbnail();
}

bool QMMetadataParser_PSD::updateFileToURLBypassingCoreGraphics(const std::filesystem::path&, Error*)
{
    Log::message("PSD doesnt write yet");
    return false;
}

} // namespace qm
