// Several writers of one settings file: each save puts only its own changed keys on top of what
// the file holds then, and a reload takes in the others' keys.
#include "foundation/UserDefaults.h"

#include "foundation/PropertyList.h"
#include "PlistTestSupport.h"

#include <gtest/gtest.h>


namespace qm {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

// One step of a case: which writer ("here" or "other") sets a key (a value) or removes it (none).
struct Step {
    const char* writer;
    const char* key;
    std::optional<PlistValue> value;
};

PlistDictionary storedIn(const fs::path& file)
{
    auto value = PropertyList::readFile(file);
    return value && value->dictionary() ? *value->dictionary() : PlistDictionary{};
}

TEST(SharedSettingsFileTest, EachWriterSavesOnlyItsChangesAndAReloadTakesInTheOthers)
{
    const struct {
        const char* name;
        PlistDictionary before;
        std::vector<Step> steps;
        PlistDictionary after;
        std::vector<std::string> heardByHereOnReload;
    } cases[] = {
        {"another writer's new key is kept", {}, {{"other", "a", 1}, {"here", "b", 2}}, {{"a", 1}, {"b", 2}}, {"a"}},
        {"a key removed here is removed there", {{"a", 1}, {"b", 1}}, {{"other", "b", 2}, {"here", "a", std::nullopt}},
         {{"b", 2}}, {"b"}},
        {"the later write of one key wins", {}, {{"here", "k", 1}, {"other", "k", 2}}, {{"k", 2}}, {"k"}},
        {"the later write wins again the other way", {}, {{"other", "k", 2}, {"here", "k", 3}}, {{"k", 3}}, {}},
        {"a key untouched here is not written back stale", {{"a", 1}}, {{"other", "a", 2}, {"here", "b", 1}},
         {{"a", 2}, {"b", 1}}, {"a"}},
        {"another writer's removal is kept", {{"a", 1}}, {{"other", "a", std::nullopt}, {"here", "b", 1}}, {{"b", 1}},
         {"a"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const fs::path file = folder.path() / "defaults.plist";
        if (!c.before.empty()) {
            ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistValue(c.before), PlistFormat::Xml));
        }
        UserDefaults here(file);
        UserDefaults other(file);
        for (const auto& step : c.steps) {
            UserDefaults& writer = std::string_view(step.writer) == "here" ? here : other;
            ASSERT_TRUE(step.value ? writer.setObject(step.key, *step.value) : writer.removeObject(step.key));
        }
        EXPECT_EQ(storedIn(file), c.after);

        std::vector<std::string> heard;
        here.addObserver("", [&](const std::string& key, const auto&) { heard.push_back(key); });
        here.reloadFromDisk();
        EXPECT_EQ(heard, c.heardByHereOnReload);
        EXPECT_EQ(here.persistentDomain(), c.after);
    }
}

} // namespace
} // namespace qm
