#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <span>

#include "foundation/PlistValue.h"

namespace qm {

class simpleStream;
class simpleOutputStream;

// The value types of a TIFF directory entry.
enum IFDEntryType : std::uint16_t {
    IFDTypeBYTE = 1,
    IFDTypeASCII = 2,
    IFDTypeSHORT = 3,
    IFDTypeLONG = 4,
    IFDTypeRATIONAL = 5,
    IFDTypeSBYTE = 6,
    IFDTypeUNDEFINED = 7,
    IFDTypeSSHORT = 8,
    IFDTypeSLONG = 9,
    IFDTypeSRATIONAL = 10,
    IFDTypeFLOAT = 11,
    IFDTypeDOUBLE = 12,
};

// What one walk over a TIFF structure shares: its byte order, where its header lies, the
// directories already read (so that directories pointing at each other are read once) and the
// memory its values may still take, so that a hostile file cannot make it build without end.
struct IFDWalk {
    static constexpr std::uint64_t MemoryBudget = 64u << 20;
    static constexpr int MaximumNesting = 4;

    IFDWalk(bool fileBigEndian, std::uint32_t tiffHeaderOffset) : bigEndian(fileBigEndian), headerOffset(tiffHeaderOffset) {}

    bool bigEndian;
    std::uint32_t headerOffset;
    std::set<std::uint32_t> visitedIFDs;
    std::uint64_t memoryLeft = MemoryBudget;
    int nesting = 0;

    // The stream position of an offset relative to the header; absent past 4 GiB.
    std::optional<std::uint32_t> positionOf(std::uint32_t offset) const;
    // Takes `bytes` from the budget; false (nothing taken) when they are not left.
    bool spend(std::uint64_t bytes);
};

// One 12-byte entry of an image file directory with its value decoded: numbers, [numerator,
// denominator] pairs, strings or one data object. Subclasses read the values of particular tags.
class cIFDEntry {
public:
    static constexpr std::uint32_t ByteCount = 12;

    cIFDEntry() = default;
    virtual ~cIFDEntry();

    // The entry at the stream's position, of the class its tag asks for; the stream is left after
    // its 12 bytes. Null when the 12 bytes are not all there.
    static std::shared_ptr<cIFDEntry> initFromStream(simpleStream& stream, bool fileByteOrderBigEndian,
                                                     std::uint32_t tiffHeaderOffsetFromStartOfFile);
    static std::shared_ptr<cIFDEntry> initFromStream(simpleStream& stream, IFDWalk& walk);

    std::uint16_t tag() const { return mTag; }
    std::uint16_t type() const { return mType; }
    std::uint32_t count() const { return mCount; }
    // The value field as a 32-bit integer: the value's offset when it does not fit in it.
    std::uint32_t offset() const { return mOffset; }
    std::uint16_t rawTag() const { return mTag; }
    std::uint16_t rawType() const { return mType; }
    std::uint32_t rawCount() const { return mCount; }
    std::uint32_t rawOffset() const { return mOffset; }

    // Absent when the type is unknown or the value could not be read.
    const std::optional<PlistArray>& parsedObjects() const { return mParsedObjects; }
    void setParsedObjects(std::optional<PlistArray> objects) { mParsedObjects = std::move(objects); }

    // Bytes per element of a type; 0 for an unknown type.
    static std::uint32_t sizeOfType(std::uint16_t type);
    // Decodes `bytes` as `count` elements of `dataType` (this entry's tag may decode it as another).
    std::optional<PlistArray> readIFDEntryDataAtPointer(std::span<const std::uint8_t> bytes, std::uint16_t dataType,
                                                        std::uint32_t count, bool fileByteOrderBigEndian) const;

    void writeToStream(simpleOutputStream& stream, bool bigEndian) const;

protected:
    // The type a value of this entry's tag is decoded as.
    virtual std::uint16_t decodingType(std::uint16_t declaredType) const { return declaredType; }
    // Reads what the value refers to, once it is decoded.
    virtual void readReferencedData(simpleStream&, IFDWalk&) {}

private:
    static std::shared_ptr<cIFDEntry> entryForTag(std::uint16_t tag);
    void readFields(simpleStream& stream, const IFDWalk& walk);
    void readValue(simpleStream& stream, IFDWalk& walk);
    std::optional<std::vector<std::uint8_t>> valueBytes(simpleStream& stream, IFDWalk& walk) const;

    std::uint16_t mTag = 0;
    std::uint16_t mType = 0;
    std::uint32_t mCount = 0;
    std::uint32_t mOffset = 0;
    std::optional<PlistArray> mParsedObjects;
};

} // namespace qm
