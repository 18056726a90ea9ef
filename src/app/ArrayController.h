#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <vector>

namespace qm {

// A list a window edits: its objects in order, the selected one, and how a new object is made.
template <typename T>
struct ArrayController {
    std::vector<T> arrangedObjects;
    std::optional<std::size_t> selectionIndex;
    std::function<T()> newObject;
};

} // namespace qm
