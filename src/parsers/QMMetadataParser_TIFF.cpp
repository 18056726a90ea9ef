#include "parsers/QMMetadataParser_TIFF.h"

#include <array>
#include <cstring>

#include "metadata/simpleStream.h"
#include "parsers/cExifIFDEntry.h"
#include "parsers/cIPTCIFDEntry.h"
#include "parsers/cPhotoshopImageResourcesIFDEntry.h"
#include "parsers/cXMPIFDEntry.h"

namespace qm {

namespace {

// The directory and, after it, the Exif IFDs its entries lead to.
void summarize(const cIFD& ifd, const std::string& name, PlistArray& summary)
{
    PlistArray tags;
    for (const auto& entry : ifd.IFDentries())
        tags.emplace_back(entry->tag());
    summary.emplace_back(PlistDictionary{{"name", name}, {"offset", ifd.offset()}, {"tags", std::move(tags)}});
    for (const auto& entry : ifd.IFDentries())
        if (const auto* exif = dynamic_cast<const cExifIFDEntry*>(entry.get()); exif && exif->exifIFD())
            summarize(*exif->exifIFD(), "ExifIFD", summary);
}

} // namespace

QMMetadataParser_TIFF::QMMetadataParser_TIFF(std::filesystem::path path) : QMMetadataParser(std::move(path)) {}

std::shared_ptr<QMMetadataParser_TIFF> QMMetadataParser_TIFF::initFromStream(simpleStream&)
{
    return std::make_shared<QMMetadataParser_TIFF>(std::filesystem::path());
}

// Bytes other than "MM" are taken as little-endian; the 42 is not checked here.
IFDArray QMMetadataParser_TIFF::readIFDsFromStreamAtTiffHeader(simpleStream& stream, bool* outByteOrderIsBigEndian,
                                                               std::uint64_t* outMemoryUsed)
{
    const std::uint32_t headerPosition = stream.streamPosition();
    std::array<std::uint8_t, 4> header{};
    const bool complete = stream.readBytes(header.data(), header.size()) == header.size();
    const bool bigEndian = std::memcmp(header.data(), "MM", 2) == 0;
    if (outByteOrderIsBigEndian)
        *outByteOrderIsBigEndian = bigEndian;
    if (!complete)
        return {};
    return readIFDsFromStreamAtFirstIFD(stream, bigEndian, headerPosition, outMemoryUsed);
}

// The chain ends at offset 0, at an offset outside the stream, at a directory already read, or
// after a directory whose entries (or next offset) the stream does not hold.
IFDArray QMMetadataParser_TIFF::readIFDsFromStreamAtFirstIFD(simpleStream& stream, bool byteOrderIsBigEndian,
                                                             std::uint32_t tiffHeaderOffsetFromFileStart,
                                                             std::uint64_t* outMemoryUsed)
{
    IFDWalk walk(byteOrderIsBigEndian, tiffHeaderOffsetFromFileStart);
    IFDArray ifds;
    std::uint32_t offset = stream.remainingByteCount() >= 4 ? byteswapToHost(stream.readUInt32(), walk.bigEndian) : 0;
    while (offset != 0) {
        auto ifd = cIFD::readAtOffset(stream, offset, walk);
        if (!ifd)
            break;
        ifds.push_back(ifd);
        if (!ifd->isComplete() || stream.remainingByteCount() < 4)
            break;
        offset = byteswapToHost(stream.readUInt32(), walk.bigEndian);
    }
    if (outMemoryUsed)
        *outMemoryUsed = IFDWalk::MemoryBudget - walk.memoryLeft;
    return ifds;
}

PlistValue QMMetadataParser_TIFF::structureSummary() const
{
    PlistArray summary;
    for (std::size_t index = 0; index < mIFDs.size(); ++index)
        summarize(*mIFDs[index], "IFD" + std::to_string(index), summary);
    return summary;
}

std::size_t QMMetadataParser_TIFF::heldByteCount() const
{
    return QMMetadataParser::heldByteCount() + static_cast<std::size_t>(mIFDsByteCount);
}

bool QMMetadataParser_TIFF::parseImageStream(simpleStream& stream, Error*)
{
    parseImageStreamAtTiffHeader(stream, 0);
    return true;
}

bool QMMetadataParser_TIFF::parseImageStreamAtTiffHeader(simpleStream& stream, std::uint32_t headerPosition)
{
    mIFDs.clear();
    mIFDsByteCount = 0;
    mFileByteOrderIsBigEndian = false;
    mTiffHeaderOffsetInFile = headerPosition;
    mIPTCRecordsWithoutEntry.reset();
    mXMPWithoutEntry.reset();
    if (!stream.setStreamPosition(headerPosition))
        return false;
    mIFDs = readIFDsFromStreamAtTiffHeader(stream, &mFileByteOrderIsBigEndian, &mIFDsByteCount);
    return true;
}

std::shared_ptr<cIFDEntry> QMMetadataParser_TIFF::IFDEntryByTag(std::uint16_t tag) const
{
    for (const auto& ifd : mIFDs)
        if (auto entry = ifd->IFDEntryByTag(tag))
            return entry;
    return nullptr;
}

template <typename Entry>
std::shared_ptr<Entry> QMMetadataParser_TIFF::entryOfClass(std::uint16_t tag) const
{
    return std::dynamic_pointer_cast<Entry>(IFDEntryByTag(tag));
}

std::optional<IPTCRecordArray> QMMetadataParser_TIFF::IPTCRecords() const
{
    if (const auto iptc = entryOfClass<cIPTCIFDEntry>(IPTCTag); iptc && iptc->IPTCRecords())
        return iptc->IPTCRecords();
    if (const auto photoshop = entryOfClass<cPhotoshopImageResourcesIFDEntry>(PhotoshopTag))
        if (auto records = photoshop->IPTCRecords())
            return records;
    return mIPTCRecordsWithoutEntry;
}

void QMMetadataParser_TIFF::setIPTCRecords(std::optional<IPTCRecordArray> records)
{
    if (const auto iptc = entryOfClass<cIPTCIFDEntry>(IPTCTag))
        return iptc->setIPTCRecords(std::move(records));
    const auto photoshop = entryOfClass<cPhotoshopImageResourcesIFDEntry>(PhotoshopTag);
    if (!photoshop || !photoshop->setIPTCRecords(records))
        mIPTCRecordsWithoutEntry = std::move(records);
}

std::optional<std::string> QMMetadataParser_TIFF::XMP() const
{
    if (const auto xmp = entryOfClass<cXMPIFDEntry>(XMPTag))
        if (auto packet = xmp->XMP())
            return packet;
    if (const auto photoshop = entryOfClass<cPhotoshopImageResourcesIFDEntry>(PhotoshopTag))
        if (auto packet = photoshop->XMP())
            return packet;
    return mXMPWithoutEntry;
}

void QMMetadataParser_TIFF::setXMP(std::optional<std::string> packet)
{
    const auto xmp = entryOfClass<cXMPIFDEntry>(XMPTag);
    const auto photoshop = entryOfClass<cPhotoshopImageResourcesIFDEntry>(PhotoshopTag);
    const bool storedInPhotoshop = photoshop && photoshop->setXMP(packet);
    if (xmp)
        xmp->setXMP(packet);
    if (!xmp && !storedInPhotoshop)
        mXMPWithoutEntry = std::move(packet);
}

} // namespace qm
