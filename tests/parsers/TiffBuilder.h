#pragma once

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "support/ByteFixtures.h"

namespace qm::test::tiff {

using qm::test::Bytes;
using qm::test::operator+;
using qm::test::text;

inline const char* orderName(bool bigEndian)
{
    return bigEndian ? "MM" : "II";
}

// An integer of `size` bytes in a byte order.
inline Bytes integer(std::uint64_t value, int size, bool bigEndian)
{
    Bytes bytes(size);
    for (int index = 0; index < size; ++index)
        bytes[bigEndian ? size - 1 - index : index] = static_cast<std::uint8_t>(value >> (8 * index));
    return bytes;
}

inline void patch32(Bytes& bytes, std::size_t at, std::uint32_t value, bool bigEndian)
{
    const Bytes field = integer(value, 4, bigEndian);
    std::copy(field.begin(), field.end(), bytes.begin() + static_cast<std::ptrdiff_t>(at));
}

using qm::test::dataset;

// One Photoshop resource block with an empty name.
inline Bytes resource(std::uint16_t identifier, const Bytes& data)
{
    Bytes block = text("8BIM") + integer(identifier, 2, true) + Bytes{0, 0} + integer(data.size(), 4, true) + data;
    if (data.size() % 2)
        block.push_back(0);
    return block;
}

// A directory entry; `value` holds the value's bytes in the file's byte order. An entry with a
// sub-directory (the Exif IFD) gets the sub-directory's offset as its LONG value.
struct TiffEntry {
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t count;
    Bytes value;
    std::vector<TiffEntry> subIFD = {};
};

struct BuiltTiff {
    Bytes bytes;
    std::vector<std::uint32_t> ifdOffsets;        // the top-level directories, in chain order
    std::map<std::uint16_t, std::uint32_t> valueOffsets; // of the values stored outside their entry
    std::uint32_t nextOffsetField(std::size_t ifd, std::size_t entryCount) const
    {
        return ifdOffsets[ifd] + 2 + 12 * static_cast<std::uint32_t>(entryCount);
    }
};

// Lays out a TIFF: the 8-byte header, then each directory followed by its values and its
// sub-directories; the directories are chained in order, the last one pointing to 0.
class TiffBuilder {
public:
    explicit TiffBuilder(bool bigEndian) : mBigEndian(bigEndian) {}

    BuiltTiff build(const std::vector<std::vector<TiffEntry>>& ifds)
    {
        mTiff = {};
        mTiff.bytes = text(mBigEndian ? "MM" : "II") + integer(42, 2, mBigEndian) + integer(8, 4, mBigEndian);
        std::uint32_t previousNextField = 4;
        for (const auto& entries : ifds) {
            patch32(mTiff.bytes, previousNextField, here(), mBigEndian);
            mTiff.ifdOffsets.push_back(here());
            previousNextField = writeIFD(entries);
        }
        return mTiff;
    }

private:
    std::uint32_t here() const { return static_cast<std::uint32_t>(mTiff.bytes.size()); }

    // Writes the directory and what it refers to; returns the position of its next-IFD field.
    std::uint32_t writeIFD(const std::vector<TiffEntry>& entries)
    {
        const std::uint32_t start = here();
        mTiff.bytes = mTiff.bytes + integer(entries.size(), 2, mBigEndian) + Bytes(12 * entries.size() + 4, 0);
        for (std::size_t index = 0; index < entries.size(); ++index)
            writeEntry(entries[index], start + 2 + 12 * static_cast<std::uint32_t>(index));
        return start + 2 + 12 * static_cast<std::uint32_t>(entries.size());
    }

    void writeEntry(const TiffEntry& entry, std::uint32_t at)
    {
        Bytes field = entry.value;
        if (!entry.subIFD.empty()) {
            field = integer(here(), 4, mBigEndian);
            writeIFD(entry.subIFD);
        } else if (entry.value.size() > 4) {
            field = integer(here(), 4, mBigEndian);
            mTiff.valueOffsets[entry.tag] = here();
            mTiff.bytes = mTiff.bytes + entry.value + Bytes(entry.value.size() % 2, 0);
        }
        field.resize(4, 0);
        const Bytes head = integer(entry.tag, 2, mBigEndian) + integer(entry.type, 2, mBigEndian) +
                           integer(entry.count, 4, mBigEndian) + field;
        std::copy(head.begin(), head.end(), mTiff.bytes.begin() + at);
    }

    bool mBigEndian;
    BuiltTiff mTiff;
};

} // namespace qm::test::tiff
