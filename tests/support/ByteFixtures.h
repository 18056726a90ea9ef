#pragma once

#include <cstdint>
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

} // namespace qm::test
