#include "parsers/cIFDEntry.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "foundation/Log.h"
#include "foundation/StringEncodings.h"
#include "metadata/simpleOutputStream.h"
#include "metadata/simpleStream.h"
#include "parsers/QMMetadataParser_TIFF.h"
#include "parsers/cExifIFDEntry.h"
#include "parsers/cIPTCIFDEntry.h"
#include "parsers/cPhotoshopImageResourcesIFDEntry.h"
#include "parsers/cXMPIFDEntry.h"

namespace qm {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Roughly what an entry object takes before its value.
constexpr std::uint64_t EntryCost = sizeof(cPhotoshopImageResourcesIFDEntry) + 64;

template <typename Integer>
Integer elementAt(std::span<const std::uint8_t> bytes, std::size_t index, bool bigEndian)
{
    Integer value = 0;
    if ((index + 1) * sizeof(Integer) <= bytes.size())
        std::memcpy(&value, bytes.data() + index * sizeof(Integer), sizeof(Integer));
    return QMMetadataParser_TIFF::byteswapToHost(value, bigEndian);
}

template <typename Integer>
PlistArray numbers(std::span<const std::uint8_t> bytes, bool bigEndian)
{
    PlistArray values;
    const std::size_t count = bytes.size() / sizeof(Integer);
    values.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        values.emplace_back(elementAt<Integer>(bytes, index, bigEndian));
    return values;
}

template <typename Integer>
PlistArray rationals(std::span<const std::uint8_t> bytes, bool bigEndian)
{
    PlistArray values;
    const std::size_t count = bytes.size() / (2 * sizeof(Integer));
    values.reserve(count);
    for (std::size_t index = 0; index < count; ++index)
        values.emplace_back(PlistArray{elementAt<Integer>(bytes, 2 * index, bigEndian),
                                       elementAt<Integer>(bytes, 2 * index + 1, bigEndian)});
    return values;
}

// The runs of bytes between zero bytes, empty runs left out.
std::vector<std::span<const std::uint8_t>> pieces(std::span<const std::uint8_t> bytes)
{
    std::vector<std::span<const std::uint8_t>> result;
    auto start = bytes.begin();
    while (start != bytes.end()) {
        const auto end = std::find(start, bytes.end(), std::uint8_t{0});
        if (end != start)
            result.emplace_back(start, end);
        start = end == bytes.end() ? end : end + 1;
    }
    return result;
}

PlistArray strings(std::span<const std::uint8_t> bytes)
{
    PlistArray values;
    for (const auto piece : pieces(bytes)) {
        auto text = StringEncodings::decode(piece, Encoding::UTF8);
        if (!text)
            text = StringEncodings::decode(piece, Encoding::ASCII);
        if (!text) {
            Log::format("bad ascii data i readIFDEntryDataAtPointer: %s",
                        Log::excerpt(std::string(piece.begin(), piece.end())).c_str());
            break;
        }
        values.emplace_back(std::move(*text));
    }
    return values;
}

// How many values decoding the bytes as `type` makes (a rational counts its pair and its two numbers).
std::uint64_t decodedValueCount(std::span<const std::uint8_t> bytes, std::uint16_t type)
{
    switch (type) {
    case IFDTypeASCII:
        return pieces(bytes).size();
    case IFDTypeUNDEFINED:
        return 1;
    case IFDTypeRATIONAL:
    case IFDTypeSRATIONAL:
        return 3 * (bytes.size() / 8);
    default:
        return bytes.size() / std::max<std::uint32_t>(cIFDEntry::sizeOfType(type), 1);
    }
}

} // namespace

std::optional<std::uint32_t> IFDWalk::positionOf(std::uint32_t offset) const
{
    const std::uint64_t position = std::uint64_t(headerOffset) + offset;
    if (position > std::numeric_limits<std::uint32_t>::max())
        return std::nullopt;
    return static_cast<std::uint32_t>(position);
}

bool IFDWalk::spend(std::uint64_t bytes)
{
    if (bytes > memoryLeft)
        return false;
    memoryLeft -= bytes;
    return true;
}

cIFDEntry::~cIFDEntry() = default;

std::shared_ptr<cIFDEntry> cIFDEntry::initFromStream(simpleStream& stream, bool fileByteOrderBigEndian,
                                                     std::uint32_t tiffHeaderOffsetFromStartOfFile)
{
    IFDWalk walk(fileByteOrderBigEndian, tiffHeaderOffsetFromStartOfFile);
    return initFromStream(stream, walk);
}

std::shared_ptr<cIFDEntry> cIFDEntry::initFromStream(simpleStream& stream, IFDWalk& walk)
{
    if (stream.remainingByteCount() < ByteCount || !walk.spend(EntryCost))
        return nullptr;
    const std::uint32_t start = stream.streamPosition();
    auto entry = entryForTag(QMMetadataParser_TIFF::byteswapToHost(stream.peekUInt16(), walk.bigEndian));
    entry->readFields(stream, walk);
    entry->readValue(stream, walk);
    entry->readReferencedData(stream, walk);
    stream.setStreamPosition(start + ByteCount);
    return entry;
}

std::shared_ptr<cIFDEntry> cIFDEntry::entryForTag(std::uint16_t tag)
{
    switch (tag) {
    case QMMetadataParser_TIFF::XMPTag:
        return std::make_shared<cXMPIFDEntry>();
    case QMMetadataParser_TIFF::IPTCTag:
        return std::make_shared<cIPTCIFDEntry>();
    case QMMetadataParser_TIFF::PhotoshopTag:
        return std::make_shared<cPhotoshopImageResourcesIFDEntry>();
    case QMMetadataParser_TIFF::ExifTag:
        return std::make_shared<cExifIFDEntry>();
    default:
        return std::make_shared<cIFDEntry>();
    }
}

void cIFDEntry::readFields(simpleStream& stream, const IFDWalk& walk)
{
    mTag = QMMetadataParser_TIFF::byteswapToHost(stream.readUInt16(), walk.bigEndian);
    mType = QMMetadataParser_TIFF::byteswapToHost(stream.readUInt16(), walk.bigEndian);
    mCount = QMMetadataParser_TIFF::byteswapToHost(stream.readUInt32(), walk.bigEndian);
    mOffset = QMMetadataParser_TIFF::byteswapToHost(stream.readUInt32(), walk.bigEndian);
}

void cIFDEntry::readValue(simpleStream& stream, IFDWalk& walk)
{
    if (mType == 0 || mType > IFDTypeSRATIONAL) {
        Log::format("cIFDEntry::initFromStream unknown data type: %d tag: %d stream!", int(mType), int(mTag));
        return;
    }
    const auto bytes = valueBytes(stream, walk);
    if (!bytes)
        return;
    if (!walk.spend(decodedValueCount(*bytes, decodingType(mType)) * sizeof(PlistValue))) {
        Log::format("cIFDEntry: the values of tag %d are more than this file may take; not decoded", int(mTag));
        return;
    }
    mParsedObjects = readIFDEntryDataAtPointer(*bytes, mType, mCount, walk.bigEndian);
}

// The value field's own bytes when the value fits in them, else the bytes it points to (as many
// as the stream holds); absent when none are there or they are more than the walk may take.
std::optional<Bytes> cIFDEntry::valueBytes(simpleStream& stream, IFDWalk& walk) const
{
    const std::uint64_t byteCount = std::uint64_t(mCount) * sizeOfType(mType);
    if (byteCount <= 4) {
        const std::uint32_t field = QMMetadataParser_TIFF::byteswapFromHost(mOffset, walk.bigEndian);
        Bytes bytes(4);
        std::memcpy(bytes.data(), &field, 4);
        bytes.resize(byteCount);
        return bytes;
    }
    const auto position = walk.positionOf(mOffset);
    if (!position || *position >= stream.streamByteCount()) {
        Log::format("cIFDEntry: the value of tag %d at offset %u lies outside the stream", int(mTag), mOffset);
        return std::nullopt;
    }
    const std::uint64_t present = std::min<std::uint64_t>(byteCount, stream.streamByteCount() - *position);
    if (present < byteCount)
        Log::format("cIFDEntry: the value of tag %d runs past the end; %llu of its %llu bytes are there", int(mTag),
                    static_cast<unsigned long long>(present), static_cast<unsigned long long>(byteCount));
    if (!walk.spend(present)) {
        Log::format("cIFDEntry: the value of tag %d (%llu bytes) is more than this file may take; not read", int(mTag),
                    static_cast<unsigned long long>(present));
        return std::nullopt;
    }
    if (!stream.setStreamPosition(*position))
        return std::nullopt;
    return stream.data(static_cast<std::uint32_t>(present));
}

std::uint32_t cIFDEntry::sizeOfType(std::uint16_t type)
{
    switch (type) {
    case IFDTypeBYTE:
    case IFDTypeASCII:
    case IFDTypeSBYTE:
    case IFDTypeUNDEFINED:
        return 1;
    case IFDTypeSHORT:
    case IFDTypeSSHORT:
        return 2;
    case IFDTypeLONG:
    case IFDTypeSLONG:
    case IFDTypeFLOAT:
        return 4;
    case IFDTypeRATIONAL:
    case IFDTypeSRATIONAL:
    case IFDTypeDOUBLE:
        return 8;
    default:
        return 0;
    }
}

// A value decoded as another type than its declared one (UNDEFINED, say) still takes all the
// bytes of its declared count and type.
std::optional<PlistArray> cIFDEntry::readIFDEntryDataAtPointer(std::span<const std::uint8_t> bytes,
                                                               std::uint16_t dataType, std::uint32_t count,
                                                               bool bigEndian) const
{
    const std::uint64_t declaredSize = std::uint64_t(count) * std::max<std::uint32_t>(sizeOfType(dataType), 1);
    const auto value = bytes.first(static_cast<std::size_t>(std::min<std::uint64_t>(bytes.size(), declaredSize)));
    switch (const std::uint16_t type = decodingType(dataType)) {
    case IFDTypeBYTE: return numbers<std::uint8_t>(value, bigEndian);
    case IFDTypeSBYTE: return numbers<std::int8_t>(value, bigEndian);
    case IFDTypeSHORT: return numbers<std::uint16_t>(value, bigEndian);
    case IFDTypeSSHORT: return numbers<std::int16_t>(value, bigEndian);
    case IFDTypeLONG: return numbers<std::uint32_t>(value, bigEndian);
    case IFDTypeSLONG: return numbers<std::int32_t>(value, bigEndian);
    case IFDTypeRATIONAL: return rationals<std::uint32_t>(value, bigEndian);
    case IFDTypeSRATIONAL: return rationals<std::int32_t>(value, bigEndian);
    case IFDTypeUNDEFINED: return PlistArray{PlistData(value.begin(), value.end())};
    case IFDTypeASCII: return strings(value);
    case IFDTypeFLOAT:
    case IFDTypeDOUBLE: return std::nullopt;
    default:
        Log::format("cIFDEntry::readIFDEntryDataAtPointer unknown data type: %d !", int(type));
        return std::nullopt;
    }
}

void cIFDEntry::writeToStream(simpleOutputStream& stream, bool bigEndian) const
{
    const std::uint16_t tag = QMMetadataParser_TIFF::byteswapFromHost(mTag, bigEndian);
    const std::uint16_t type = QMMetadataParser_TIFF::byteswapFromHost(mType, bigEndian);
    const std::uint32_t count = QMMetadataParser_TIFF::byteswapFromHost(mCount, bigEndian);
    const std::uint32_t offset = QMMetadataParser_TIFF::byteswapFromHost(mOffset, bigEndian);
    stream.writeBytes(&tag, sizeof tag);
    stream.writeBytes(&type, sizeof type);
    stream.writeBytes(&count, sizeof count);
    stream.writeBytes(&offset, sizeof offset);
}

} // namespace qm
