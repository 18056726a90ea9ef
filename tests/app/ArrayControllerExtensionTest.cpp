#include <gtest/gtest.h>

#include <string>

#include "app/ArrayControllerExtension.h"
#include "textgen/textBlockSpec_Byline.h"

namespace qm::test {
namespace {

using Letters = ArrayController<std::string>;
using Index = std::optional<std::size_t>;

TEST(ArrayControllerExtensionTest, MovingAndSwappingKeepTheSelectionOnTheMovedObject)
{
    struct Case {
        const char* name;
        Index selection;
        std::function<void(Letters&)> act;
        std::vector<std::string> objects;
        Index selected;
    } cases[] = {
        {"first up does nothing", 0, ArrayControllerExtension::moveSelectedItemUpAction<std::string>, {"a", "b", "c"}, 0},
        {"last down does nothing", 2, ArrayControllerExtension::moveSelectedItemDownAction<std::string>, {"a", "b", "c"}, 2},
        {"nothing selected moves nothing", std::nullopt, ArrayControllerExtension::moveSelectedItemDownAction<std::string>,
         {"a", "b", "c"}, std::nullopt},
        {"down keeps the selection", 0, ArrayControllerExtension::moveSelectedItemDownAction<std::string>, {"b", "a", "c"}, 1},
        {"up keeps the selection", 2, ArrayControllerExtension::moveSelectedItemUpAction<std::string>, {"a", "c", "b"}, 1},
        {"swapping two unselected selects the first index given", 1,
         [](Letters& c) { ArrayControllerExtension::swapObjectAtIndex(c, 2, 0); }, {"c", "b", "a"}, 2},
        {"swapping the selected one follows it", 0, [](Letters& c) { ArrayControllerExtension::swapObjectAtIndex(c, 0, 2); },
         {"c", "b", "a"}, 2},
        {"an index past the end does nothing", 1, [](Letters& c) { ArrayControllerExtension::swapObjectAtIndex(c, 0, 3); },
         {"a", "b", "c"}, 1},
        {"no index does nothing", 1,
         [](Letters& c) { ArrayControllerExtension::swapObjectAtIndex(c, std::nullopt, 0); }, {"a", "b", "c"}, 1},
        {"the same index does nothing", 1, [](Letters& c) { ArrayControllerExtension::swapObjectAtIndex(c, 2, 2); },
         {"a", "b", "c"}, 1},
        {"removing selects the next", 1, ArrayControllerExtension::removeSelectedItem<std::string>, {"a", "c"}, 1},
        {"removing the last selects the new last", 2, ArrayControllerExtension::removeSelectedItem<std::string>,
         {"a", "b"}, 1},
    };
    for (const auto& test : cases) {
        Letters controller{{"a", "b", "c"}, test.selection, nullptr};
        test.act(controller);
        EXPECT_EQ(controller.arrangedObjects, test.objects) << test.name;
        EXPECT_EQ(controller.selectionIndex, test.selected) << test.name;
    }
}

TEST(ArrayControllerExtensionTest, DuplicatingInsertsTheSelectedObjectsCopyAfterItAndSelectsIt)
{
    auto portrait = textBlockSpec_Byline::create();
    portrait->setName("Portrait");
    portrait->setPrefix("Photo: ");
    ArrayController<textBlockSpec_Byline::Pointer> controller{{portrait, textBlockSpec_Byline::create()}, 0, nullptr};
    ArrayControllerExtension::duplicateSelectedItem(controller);
    ASSERT_EQ(controller.arrangedObjects.size(), 3u);
    EXPECT_EQ(controller.selectionIndex, Index(1));
    const auto& copy = controller.arrangedObjects[1];
    EXPECT_EQ(copy->name(), "Portrait copy");
    EXPECT_EQ(copy->prefix(), "Photo: ");
    EXPECT_FALSE(copy->sameUniqueID(*portrait));

    controller.selectionIndex.reset();
    ArrayControllerExtension::duplicateSelectedItem(controller);
    EXPECT_EQ(controller.arrangedObjects.size(), 3u) << "nothing is duplicated without a selection";
}

TEST(ArrayControllerExtensionTest, AFilteredListsChangesKeepTheHiddenObjectsInPlace)
{
    using Names = std::vector<std::string>;
    const std::function<bool(const std::string&)> listed = [](const std::string& name) { return name != "-"; };
    const Names content{"a", "-", "b", "c", "-"};
    struct Case {
        const char* name;
        Index selection;
        std::function<void(Letters&)> act;
        Names content;
    } cases[] = {
        {"moving across a hidden one", 0, ArrayControllerExtension::moveSelectedItemDownAction<std::string>,
         {"b", "-", "a", "c", "-"}},
        {"a duplicate follows its original", 0, ArrayControllerExtension::duplicateSelectedItem<std::string>,
         {"a", "a", "-", "b", "c", "-"}},
        {"a duplicate of the last goes before the hidden end", 2,
         ArrayControllerExtension::duplicateSelectedItem<std::string>, {"a", "-", "b", "c", "c", "-"}},
        {"removing leaves the hidden ones", 1, ArrayControllerExtension::removeSelectedItem<std::string>,
         {"a", "-", "c", "-"}},
    };
    for (const auto& test : cases) {
        Letters controller{ArrayControllerExtension::arrangedObjects(content, listed), test.selection, nullptr};
        ASSERT_EQ(controller.arrangedObjects, (Names{"a", "b", "c"}));
        test.act(controller);
        EXPECT_EQ(ArrayControllerExtension::contentWithArrangedObjects(content, listed, controller.arrangedObjects),
                  test.content)
            << test.name;
    }
    EXPECT_EQ(ArrayControllerExtension::contentWithArrangedObjects(Names{"-"}, listed, Names{"new"}), (Names{"-", "new"}))
        << "into a list showing nothing";
}

} // namespace
} // namespace qm::test
