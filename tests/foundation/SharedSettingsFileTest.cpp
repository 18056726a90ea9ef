// Several writers of one settings file: each save puts only its own changed keys on top of what
// the file holds then, and a reload takes in the others' keys.
#include "foundation/UserDefaults.h"

#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "PlistTestSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sys/stat.h>

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

TEST(SharedSettingsFileTest, AReloadKeepsChangesThatCouldNotBeSavedYet)
{
    TempFolder folder;
    const fs::path file = folder.path() / "defaults.plist";
    UserDefaults here(file);
    UserDefaults other(file);
    ASSERT_TRUE(other.setObject("theirs", 1));
    ::chmod(file.c_str(), 0444);
    LogCapture log;
    EXPECT_FALSE(here.setObject("mine", 2));
    here.reloadFromDisk();
    EXPECT_EQ(here.persistentDomain(), (PlistDictionary{{"theirs", 1}, {"mine", 2}}));
}

TEST(SharedSettingsFileTest, AReadOnlyFileIsNeverReplacedAndTheFailureIsTold)
{
    TempFolder folder;
    const fs::path file = folder.path() / "defaults.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistDictionary{{"kept", true}}, PlistFormat::Xml));
    ::chmod(file.c_str(), 0444);
    UserDefaults defaults(file);
    EXPECT_TRUE(defaults.isReadOnly());
    std::vector<std::string> told;
    defaults.setSaveFailureHandler([&](SettingsFile::Failure failure, const std::string& text) {
        EXPECT_EQ(failure, SettingsFile::Failure::ReadOnly);
        told.push_back(text);
    });
    LogCapture log;
    EXPECT_FALSE(defaults.setObject("changed", 1));
    EXPECT_EQ(storedIn(file), (PlistDictionary{{"kept", true}}));
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0444u) << "the file was replaced";
    ASSERT_EQ(told.size(), 1u);
    EXPECT_NE(told.front().find("read-only"), std::string::npos) << told.front();
    EXPECT_NE(told.front().find(file.string()), std::string::npos) << told.front();
}

TEST(SharedSettingsFileTest, TemporaryFilesOfKilledSavesAreRemovedByTheNextSave)
{
    TempFolder folder;
    const fs::path file = folder.path() / "defaults.plist";
    const std::vector<fs::path> stale{folder.path() / ".defaults.plist.a1B2c3", folder.path() / ".defaults.plist.ZZZZZZ"};
    const std::vector<fs::path> others{folder.path() / ".defaults.plist.keep", folder.path() / ".other.plist.a1B2c3"};
    for (const auto& path : stale)
        std::ofstream(path) << "partial";
    for (const auto& path : others)
        std::ofstream(path) << "not ours";
    UserDefaults defaults(file);
    ASSERT_TRUE(defaults.setObject("key", 1));
    for (const auto& path : stale)
        EXPECT_FALSE(fs::exists(path)) << path;
    for (const auto& path : others)
        EXPECT_TRUE(fs::exists(path)) << path;
}

} // namespace
} // namespace qm
