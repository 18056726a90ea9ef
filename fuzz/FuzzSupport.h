#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

namespace qm::fuzz {

// The input as the data object that data streams read from.
std::shared_ptr<const std::vector<std::uint8_t>> dataOf(const std::uint8_t* bytes, std::size_t size);

// Stops the run as a crash, naming the broken expectation, when the condition is false.
void require(bool condition, const char* expectation);

} // namespace qm::fuzz
