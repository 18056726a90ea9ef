#include "corpus/TiffDirectory.h"

namespace qm::bench {

namespace {

std::uint32_t unitSize(TiffDirectory::Type type)
{
    switch (type) {
    case TiffDirectory::Short: return 2;
    case TiffDirectory::Long: return 4;
    case TiffDirectory::Rational: return 8;
    default: return 1;
    }
}

std::size_t padded(std::size_t size) { return size + (size & 1); }

constexpr std::size_t EntrySize = 12;

} // namespace

void TiffDirectory::addShort(std::uint16_t tag, std::uint16_t value) { addShorts(tag, {value}); }

void TiffDirectory::addShorts(std::uint16_t tag, const std::vector<std::uint16_t>& values)
{
    Bytes bytes;
    for (auto value : values)
        appendLittleEndian16(bytes, value);
    addBytes(tag, Short, bytes);
}

void TiffDirectory::addLong(std::uint16_t tag, std::uint32_t value)
{
    Bytes bytes;
    appendLittleEndian32(bytes, value);
    addBytes(tag, Long, bytes);
}

void TiffDirectory::addRational(std::uint16_t tag, std::uint32_t numerator, std::uint32_t denominator)
{
    Bytes bytes;
    appendLittleEndian32(bytes, numerator);
    appendLittleEndian32(bytes, denominator);
    addBytes(tag, Rational, bytes);
}

void TiffDirectory::addAscii(std::uint16_t tag, std::string_view text)
{
    Bytes bytes(text.begin(), text.end());
    bytes.push_back(0);
    addBytes(tag, Ascii, bytes);
}

void TiffDirectory::addBytes(std::uint16_t tag, Type type, const Bytes& value)
{
    mEntries.push_back({tag, type, static_cast<std::uint32_t>(value.size() / unitSize(type)), value});
}

std::size_t TiffDirectory::size() const
{
    std::size_t size = 2 + mEntries.size() * EntrySize + 4;
    for (const auto& entry : mEntries)
        if (entry.value.size() > 4)
            size += padded(entry.value.size());
    return size;
}

Bytes TiffDirectory::layOut(std::uint32_t offset) const
{
    Bytes directory;
    Bytes values;
    std::uint32_t valuesOffset = offset + 2 + static_cast<std::uint32_t>(mEntries.size() * EntrySize) + 4;
    appendLittleEndian16(directory, static_cast<std::uint16_t>(mEntries.size()));
    for (const auto& entry : mEntries) {
        appendLittleEndian16(directory, entry.tag);
        appendLittleEndian16(directory, entry.type);
        appendLittleEndian32(directory, entry.count);
        if (entry.value.size() <= 4) {
            Bytes packed = entry.value;
            packed.resize(4, 0);
            appendBytes(directory, packed);
            continue;
        }
        appendLittleEndian32(directory, valuesOffset + static_cast<std::uint32_t>(values.size()));
        appendBytes(values, entry.value);
        values.resize(padded(values.size()), 0);
    }
    appendLittleEndian32(directory, 0);
    appendBytes(directory, values);
    return directory;
}

} // namespace qm::bench
