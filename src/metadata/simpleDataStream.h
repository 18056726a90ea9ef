#pragma once

#include "metadata/simpleStream.h"

#include <memory>

namespace qm {

// A stream over an immutable data object that it keeps alive for its own life.
class simpleDataStream : public simpleStream {
public:
    explicit simpleDataStream(std::shared_ptr<const std::vector<std::uint8_t>> data);

private:
    std::shared_ptr<const std::vector<std::uint8_t>> mData;
};

} // namespace qm
