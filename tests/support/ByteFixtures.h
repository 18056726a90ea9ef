#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Building test inputs byte by byte.
namespace qm::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

inline Bytes text(std::string_view s)
{
    return Bytes(s.begin(), s.end());
}

// `piece` `count` times over.
inline std::string repeated(std::string_view piece, std::size_t count)
{
    std::string result;
    for (std::size_t index = 0; index < count; ++index)
        result += piece;
    return result;
}

// One IIM dataset: tag marker, record, dataset, two-byte length, data.
inline Bytes dataset(std::uint8_t record, std::uint8_t dataSet, const Bytes& data)
{
    return Bytes{0x1C, record, dataSet, static_cast<std::uint8_t>(data.size() >> 8),
                 static_cast<std::uint8_t>(data.size() & 0xFF)} + data;
}

inline Bytes dataset(std::uint8_t record, std::uint8_t dataSet, std::string_view data)
{
    return dataset(record, dataSet, text(data));
}

} // namespace qm::test
