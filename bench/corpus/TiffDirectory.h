#pragma once

#include <cstdint>
#include <string_view>

#include "corpus/Bytes.h"

namespace qm::bench {

// One little-endian TIFF image file directory with its out-of-line values, laid out at a given
// offset of the TIFF structure. Entries must be added in ascending tag order.
class TiffDirectory {
public:
    enum Type : std::uint16_t { Byte = 1, Ascii = 2, Short = 3, Long = 4, Rational = 5, Undefined = 7 };

    void addShort(std::uint16_t tag, std::uint16_t value);
    void addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values);
    void addLong(std::uint16_t tag, std::uint32_t value);
    void addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator);
    void addAscii(std::uint16_t tag, std::string_view text);
    void addBytes(std::uint16_t tag, Type type, const Bytes& value);

    // The directory followed by its values, as placed at `offset`; the next-directory link is 0.
    Bytes layOut(std::uint32_t offset) const;
    std::size_t size() const;

private:
    struct Entry {
        std::uint16_t tag;
        Type type;
        std::uint32_t count;
        Bytes value;
    };

    std::vector<Entry> mEntries;
};

} // namespace qm::bench
