#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace qm::bench {

using Bytes = std::vector<std::uint8_t>;

inline void appendBigEndian16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
    bytes.push_back(static_cast<std::uint8_t>(value));
}

inline void appendBigEndian32(Bytes& bytes, std::uint32_t value)
{
    appendBigEndian16(bytes, static_cast<std::uint16_t>(value >> 16));
    appendBigEndian16(bytes, static_cast<std::uint16_t>(value));
}

inline void appendLittleEndian16(Bytes& bytes, std::uint16_t value)
{
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

inline void appendLittleEndian32(Bytes& bytes, std::uint32_t value)
{
    appendLittleEndian16(bytes, static_cast<std::uint16_t>(value));
    appendLittleEndian16(bytes, static_cast<std::uint16_t>(value >> 16));
}

inline void appendText(Bytes& bytes, std::string_view text)
{
    bytes.insert(bytes.end(), text.begin(), text.end());
}

inline void appendBytes(Bytes& bytes, const Bytes& more)
{
    bytes.insert(bytes.end(), more.begin(), more.end());
}

} // namespace qm::bench
