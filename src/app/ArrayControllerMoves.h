#pragma once

#include <cstddef>
#include <optional>
#include <utility>

#include "app/ArrayController.h"

namespace qm {

// Exchanges two objects; the selection goes to b when it was on a, else to a. Nothing happens
// when either index is out of range or both are the same.
template <typename T>
void swapObjectAtIndex(ArrayController<T>& controller, std::optional<std::size_t> a, std::optional<std::size_t> b)
{
    const std::size_t count = controller.arrangedObjects.size();
    if (!a || !b || *a >= count || *b >= count || *a == *b)
        return;
    const bool selectionWasA = controller.selectionIndex == a;
    std::swap(controller.arrangedObjects[*a], controller.arrangedObjects[*b]);
    controller.selectionIndex = selectionWasA ? *b : *a;
}

template <typename T>
void moveSelectedItemUpAction(ArrayController<T>& controller)
{
    const auto selected = controller.selectionIndex;
    if (selected && *selected > 0)
        swapObjectAtIndex(controller, selected, *selected - 1);
}

template <typename T>
void moveSelectedItemDownAction(ArrayController<T>& controller)
{
    const auto selected = controller.selectionIndex;
    if (selected && *selected + 1 < controller.arrangedObjects.size())
        swapObjectAtIndex(controller, selected, *selected + 1);
}

} // namespace qm
