#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

#include "app/ArrayController.h"

namespace qm {

// What the list buttons of the preference panes do to an array controller: move the selected
// object up or down, swap two objects, duplicate or remove the selected one. A filtered list works
// on its arranged objects and puts them back into the content with contentWithArrangedObjects.
class ArrayControllerExtension {
public:
    template <typename T>
    static void moveSelectedItemUpAction(ArrayController<T>& controller)
    {
        const auto selected = selection(controller);
        if (selected && *selected > 0)
            swapObjectAtIndex(controller, *selected, *selected - 1);
    }

    template <typename T>
    static void moveSelectedItemDownAction(ArrayController<T>& controller)
    {
        const auto selected = selection(controller);
        if (selected && *selected + 1 < controller.arrangedObjects.size())
            swapObjectAtIndex(controller, *selected, *selected + 1);
    }

    // Exchanges the objects at a and b; the selection goes to b when it was on a, else to a.
    template <typename T>
    static void swapObjectAtIndex(ArrayController<T>& controller, std::optional<std::size_t> a,
                                  std::optional<std::size_t> b)
    {
        auto& objects = controller.arrangedObjects;
        if (!a || !b || *a >= objects.size() || *b >= objects.size() || *a == *b)
            return;
        const auto wasSelected = controller.selectionIndex;
        std::swap(objects[*a], objects[*b]);
        controller.selectionIndex = wasSelected == a ? b : a;
    }

    // Puts the selected object's copy right after it and selects the copy; nothing when nothing is
    // selected or the object does not copy.
    template <typename T>
    static void duplicateSelectedItem(ArrayController<T>& controller)
    {
        const auto selected = selection(controller);
        if (!selected)
            return;
        T duplicate = copyOf(controller.arrangedObjects[*selected]);
        if constexpr (requires { typename T::element_type; })
            if (!duplicate)
                return;
        const std::size_t index = *selected + 1;
        controller.arrangedObjects.insert(controller.arrangedObjects.begin() + static_cast<std::ptrdiff_t>(index),
                                          std::move(duplicate));
        controller.selectionIndex = index;
    }

    // Removes the selected object; the object that takes its place, else the new last one, is selected.
    template <typename T>
    static void removeSelectedItem(ArrayController<T>& controller)
    {
        const auto selected = selection(controller);
        if (!selected)
            return;
        auto& objects = controller.arrangedObjects;
        objects.erase(objects.begin() + static_cast<std::ptrdiff_t>(*selected));
        controller.selectionIndex =
            objects.empty() ? std::nullopt : std::optional<std::size_t>(std::min(*selected, objects.size() - 1));
    }

    // The objects of the content that the filter keeps, in order.
    template <typename T>
    static std::vector<T> arrangedObjects(const std::vector<T>& content, const std::function<bool(const T&)>& filter)
    {
        std::vector<T> arranged;
        std::copy_if(content.begin(), content.end(), std::back_inserter(arranged), filter);
        return arranged;
    }

    // The content after its arranged objects were swapped, or one was inserted or removed: objects
    // the filter hides keep their places, and an inserted object follows the one before it.
    template <typename T>
    static std::vector<T> contentWithArrangedObjects(std::vector<T> content, const std::function<bool(const T&)>& filter,
                                                     const std::vector<T>& arranged)
    {
        std::vector<std::size_t> places;
        for (std::size_t index = 0; index < content.size(); ++index)
            if (filter(content[index]))
                places.push_back(index);
        const std::size_t changed = firstDifference(content, places, arranged);
        if (arranged.size() == places.size() + 1) {
            const std::size_t at = changed > 0 ? places[changed - 1] + 1 : (places.empty() ? content.size() : places[0]);
            content.insert(content.begin() + static_cast<std::ptrdiff_t>(at), arranged[changed]);
            places.insert(places.begin() + static_cast<std::ptrdiff_t>(changed), at);
            std::for_each(places.begin() + static_cast<std::ptrdiff_t>(changed) + 1, places.end(),
                          [](std::size_t& place) { ++place; });
        } else if (arranged.size() + 1 == places.size()) {
            content.erase(content.begin() + static_cast<std::ptrdiff_t>(places[changed]));
            places.erase(places.begin() + static_cast<std::ptrdiff_t>(changed));
            std::for_each(places.begin() + static_cast<std::ptrdiff_t>(changed), places.end(),
                          [](std::size_t& place) { --place; });
        }
        for (std::size_t index = 0; index < std::min(places.size(), arranged.size()); ++index)
            content[places[index]] = arranged[index];
        return content;
    }

private:
    template <typename T>
    static std::optional<std::size_t> selection(const ArrayController<T>& controller)
    {
        const auto selected = controller.selectionIndex;
        return selected && *selected < controller.arrangedObjects.size() ? selected : std::nullopt;
    }

    // An object's own copy: copy() of a shared object (a text block's keeps its kind), else the value.
    template <typename T>
    static T copyOf(const T& object)
    {
        if constexpr (requires { object->copy(); }) {
            if (!object)
                return nullptr;
            auto copied = object->copy();
            if constexpr (std::is_same_v<decltype(copied), T>)
                return copied;
            else
                return std::dynamic_pointer_cast<typename T::element_type>(copied);
        } else {
            return object;
        }
    }

    template <typename T>
    static std::size_t firstDifference(const std::vector<T>& content, const std::vector<std::size_t>& places,
                                       const std::vector<T>& arranged)
    {
        std::size_t index = 0;
        while (index < places.size() && index < arranged.size() && content[places[index]] == arranged[index])
            ++index;
        return index;
    }
};

} // namespace qm
