#include "foundation/UserDefaults.h"

#include <algorithm>

#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "PlistTestSupport.h"

#include <algorithm>
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;
using test::TempFolder;

std::string readText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeText(const fs::path& path, std::string_view text)
{
    std::ofstream(path, std::ios::binary) << text;
}

// The files beside the settings file other than its lock file.
std::vector<fs::path> otherFiles(const fs::path& settings)
{
    std::vector<fs::path> others;
    for (const auto& entry : fs::directory_iterator(settings.parent_path()))
        if (entry.path() != settings && entry.path().extension() != ".lock")
            others.push_back(entry.path());
    return others;
}

// What observers heard: key and new value, in order.
struct Heard {
    std::mutex mutex;
    std::vector<std::pair<std::string, std::optional<PlistValue>>> calls;

    UserDefaults::Observer recorder()
    {
        return [this](const std::string& key, const std::optional<PlistValue>& value) {
            std::lock_guard lock(mutex);
            calls.emplace_back(key, value);
        };
    }
    size_t size()
    {
        std::lock_guard lock(mutex);
        return calls.size();
    }
};

class UserDefaultsTest : public ::testing::Test {
protected:
    fs::path file() const { return mFolder.path() / "config" / "defaults.plist"; }

    TempFolder mFolder;
};

TEST_F(UserDefaultsTest, MissingFileIsAnEmptyDomainAndIsNotCreatedUntilAChange)
{
    LogCapture log;
    UserDefaults defaults(file());
    EXPECT_TRUE(defaults.persistentDomain().empty());
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_FALSE(fs::exists(file()));
    EXPECT_TRUE(log.lines().empty());

    EXPECT_TRUE(defaults.setObject("key", "value"));
    EXPECT_TRUE(fs::exists(file())) << "the missing folder is created too";
}

TEST_F(UserDefaultsTest, StoredValuesHideRegisteredOnes)
{
    UserDefaults defaults(file());
    defaults.registerDefaults({{"both", "registered"}, {"registeredOnly", 1}});
    defaults.registerDefaults({{"registeredOnly", 2}, {"later", true}}); // later registration wins
    ASSERT_TRUE(defaults.setObject("both", "stored"));
    ASSERT_TRUE(defaults.setObject("storedOnly", 3.5));

    const struct {
        const char* key;
        std::optional<PlistValue> expected;
    } cases[] = {
        {"both", PlistValue("stored")},
        {"registeredOnly", PlistValue(2)},
        {"later", PlistValue(true)},
        {"storedOnly", PlistValue(3.5)},
        {"neither", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(defaults.object(c.key), c.expected);
    }
    EXPECT_EQ(defaults.registrationDomain(),
              (PlistDictionary{{"both", "registered"}, {"registeredOnly", 2}, {"later", true}}));
    EXPECT_EQ(defaults.persistentDomain(), (PlistDictionary{{"both", "stored"}, {"storedOnly", 3.5}}));
    EXPECT_EQ(defaults.dictionaryRepresentation(),
              (PlistDictionary{{"both", "stored"}, {"registeredOnly", 2}, {"later", true}, {"storedOnly", 3.5}}));
}

TEST_F(UserDefaultsTest, RemovalFallsBackToTheRegisteredValue)
{
    UserDefaults defaults(file());
    defaults.registerDefaults({{"key", "registered"}});
    ASSERT_TRUE(defaults.setObject("key", "stored"));
    ASSERT_TRUE(defaults.removeObject("key"));
    EXPECT_EQ(defaults.object("key"), PlistValue("registered"));
    ASSERT_TRUE(defaults.setObject("other", 1));
    ASSERT_TRUE(defaults.setObject("other", PlistValue())); // a null value removes
    EXPECT_EQ(defaults.object("other"), std::nullopt);
    EXPECT_EQ(UserDefaults(file()).persistentDomain(), PlistDictionary{});
}

TEST_F(UserDefaultsTest, ReplacingTheStoredValuesTellsOnlyTheKeysThatChange)
{
    UserDefaults defaults(file());
    ASSERT_TRUE(defaults.setObject("kept", 1));
    ASSERT_TRUE(defaults.setObject("changed", "before"));
    const PlistDictionary saved = defaults.persistentDomain();
    ASSERT_TRUE(defaults.setObject("changed", "after"));
    ASSERT_TRUE(defaults.setObject("added", true));
    std::vector<std::string> heard;
    defaults.addObserver("", [&](const std::string& key, const auto&) { heard.push_back(key); });

    ASSERT_TRUE(defaults.replacePersistentDomain(saved));

    EXPECT_EQ(UserDefaults(file()).persistentDomain(), saved);
    std::sort(heard.begin(), heard.end());
    EXPECT_EQ(heard, (std::vector<std::string>{"added", "changed"}));
}

TEST_F(UserDefaultsTest, ValuesPersistAcrossObjectsOnTheSameFile)
{
    const PlistValue nested = PlistDictionary{{"list", PlistArray{1, "zwei", PlistData{3}}}, {"date", PlistDate{86400}}};
    {
        UserDefaults first(file());
        ASSERT_TRUE(first.setObject("text", "Grüße aus Zürich"));
        ASSERT_TRUE(first.setObject("negative", -42));
        ASSERT_TRUE(first.setObject("nested", nested));
        ASSERT_TRUE(first.setObject("removed", true));
        ASSERT_TRUE(first.removeObject("removed"));
    }
    UserDefaults second(file());
    EXPECT_EQ(second.persistentDomain(),
              (PlistDictionary{{"text", "Grüße aus Zürich"}, {"negative", -42}, {"nested", nested}}));
    EXPECT_TRUE(second.registrationDomain().empty()) << "registrations are not stored";
}

TEST_F(UserDefaultsTest, SavedFileIsReadableXml)
{
    UserDefaults defaults(file());
    ASSERT_TRUE(defaults.setObject("key", "value"));
    EXPECT_EQ(readText(file()).rfind("<?xml", 0), 0u);
    EXPECT_EQ(PropertyList::readFile(file()), PlistValue(PlistDictionary{{"key", "value"}}));
    EXPECT_EQ(otherFiles(file()), std::vector<fs::path>{}) << "a temporary file was left";
}

TEST_F(UserDefaultsTest, ObserversHearTheirKeyAndAllKeysWithTheNewValue)
{
    UserDefaults defaults(file());
    defaults.registerDefaults({{"watched", "registered"}});
    Heard watched, all;
    const auto watchedId = defaults.addObserver("watched", watched.recorder());
    const auto allId = defaults.addObserver("", all.recorder());

    ASSERT_TRUE(defaults.setObject("watched", "one"));
    ASSERT_TRUE(defaults.setObject("other", 2));
    ASSERT_TRUE(defaults.removeObject("watched")); // falls back to the registered value
    ASSERT_TRUE(defaults.removeObject("other"));   // nothing left
    ASSERT_TRUE(defaults.removeObject("never"));   // nothing changed: no notification

    using Calls = std::vector<std::pair<std::string, std::optional<PlistValue>>>;
    EXPECT_EQ(watched.calls, (Calls{{"watched", PlistValue("one")}, {"watched", PlistValue("registered")}}));
    EXPECT_EQ(all.calls, (Calls{{"watched", PlistValue("one")},
                                {"other", PlistValue(2)},
                                {"watched", PlistValue("registered")},
                                {"other", std::nullopt}}));

    defaults.removeObserver(watchedId);
    defaults.removeObserver(allId);
    ASSERT_TRUE(defaults.setObject("watched", "two"));
    EXPECT_EQ(watched.calls.size(), 2u) << "a removed observer was called";
    EXPECT_EQ(all.calls.size(), 4u) << "a removed observer was called";
}

TEST_F(UserDefaultsTest, ObserversRunAfterTheValueIsSaved)
{
    UserDefaults defaults(file());
    std::optional<PlistValue> onDisk;
    defaults.addObserver("key", [&](const std::string&, const std::optional<PlistValue>&) {
        onDisk = PropertyList::readFile(file());
    });
    ASSERT_TRUE(defaults.setObject("key", 7));
    EXPECT_EQ(onDisk, PlistValue(PlistDictionary{{"key", 7}}));
}

TEST_F(UserDefaultsTest, RegistrationNotifiesOnlyVisibleChanges)
{
    UserDefaults defaults(file());
    ASSERT_TRUE(defaults.setObject("stored", "user's choice"));
    Heard all;
    defaults.addObserver("", all.recorder());

    defaults.registerDefaults({{"fresh", 1}, {"stored", "default"}});
    defaults.registerDefaults({{"fresh", 1}});  // same value again
    defaults.registerDefaults({{"fresh", 2}});  // changed
    defaults.registerDefaults({{"stored", "other default"}});

    using Calls = std::vector<std::pair<std::string, std::optional<PlistValue>>>;
    EXPECT_EQ(all.calls, (Calls{{"fresh", PlistValue(1)}, {"fresh", PlistValue(2)}}));
    EXPECT_EQ(PropertyList::readFile(file()), PlistValue(PlistDictionary{{"stored", "user's choice"}}))
        << "registrations are never saved";
}

TEST_F(UserDefaultsTest, ObserversMayChangeDefaultsAndRemoveObserversFromTheirCallback)
{
    UserDefaults defaults(file());
    int selfRemovingCalls = 0;
    int victimCalls = 0;
    UserDefaults::ObserverId selfId = 0;
    UserDefaults::ObserverId victimId = 0;
    selfId = defaults.addObserver("key", [&](const std::string&, const std::optional<PlistValue>&) {
        ++selfRemovingCalls;
        defaults.removeObserver(selfId);
        defaults.removeObserver(victimId); // registered later: must not be called for this change
        EXPECT_EQ(defaults.object("key"), PlistValue(1)) << "reading from a callback";
        EXPECT_TRUE(defaults.setObject("echo", "from callback")) << "writing from a callback";
    });
    victimId = defaults.addObserver("key", [&](const std::string&, const std::optional<PlistValue>&) { ++victimCalls; });

    ASSERT_TRUE(defaults.setObject("key", 1));
    ASSERT_TRUE(defaults.setObject("key", 2));
    EXPECT_EQ(selfRemovingCalls, 1);
    EXPECT_EQ(victimCalls, 0);
    EXPECT_EQ(UserDefaults(file()).object("echo"), PlistValue("from callback"));
}

TEST_F(UserDefaultsTest, CorruptFileIsKeptBeforeItIsReplaced)
{
    fs::create_directories(file().parent_path());
    const std::string garbage = "<?xml version=\"1.0\"?><plist><dict><key>lost";
    writeText(file(), garbage);

    LogCapture log;
    UserDefaults defaults(file());
    EXPECT_TRUE(log.contains("cannot be read"));
    EXPECT_TRUE(defaults.persistentDomain().empty());
    defaults.registerDefaults({{"registered", 1}});
    EXPECT_TRUE(defaults.synchronize());
    EXPECT_EQ(readText(file()), garbage) << "replaced although nothing changed";
    EXPECT_EQ(defaults.keptUnreadableCopy(), fs::path(file().string() + ".corrupt")) << "kept at once, to be named";
    EXPECT_TRUE(log.contains(file().string() + ".corrupt"));

    ASSERT_TRUE(defaults.setObject("key", "new"));
    EXPECT_EQ(readText(file().string() + ".corrupt"), garbage);
    EXPECT_EQ(PropertyList::readFile(file()), PlistValue(PlistDictionary{{"key", "new"}}));

    // A second unreadable file does not overwrite the first copy.
    writeText(file(), "second garbage");
    UserDefaults again(file());
    ASSERT_TRUE(again.setObject("key", "newer"));
    EXPECT_EQ(readText(file().string() + ".corrupt"), garbage);
    EXPECT_EQ(readText(file().string() + ".corrupt.1"), "second garbage");
}

TEST_F(UserDefaultsTest, FileThatIsNotADictionaryCountsAsCorrupt)
{
    fs::create_directories(file().parent_path());
    ASSERT_TRUE(PropertyList::writeFileAtomically(file(), PlistArray{1, 2}, PlistFormat::Xml));
    LogCapture log;
    UserDefaults defaults(file());
    EXPECT_TRUE(defaults.persistentDomain().empty());
    ASSERT_TRUE(defaults.setObject("key", 1));
    EXPECT_EQ(PropertyList::readFile(file().string() + ".corrupt"), PlistValue(PlistArray{1, 2}));
}

TEST_F(UserDefaultsTest, UnwritableFileKeepsTheValueInMemory)
{
    writeText(mFolder.path() / "not-a-folder", "");
    UserDefaults defaults(mFolder.path() / "not-a-folder" / "defaults.plist");
    Heard heard;
    defaults.addObserver("key", heard.recorder());
    LogCapture log;
    EXPECT_FALSE(defaults.setObject("key", "kept"));
    EXPECT_EQ(log.lines().size(), 2u) << "one line from the writer, one from the defaults";
    EXPECT_TRUE(log.contains("not-a-folder"));
    EXPECT_EQ(defaults.object("key"), PlistValue("kept"));
    EXPECT_EQ(heard.size(), 1u) << "the visible value changed";
    EXPECT_FALSE(defaults.synchronize()) << "the change is still unsaved";
}

TEST_F(UserDefaultsTest, ValuesAPropertyListCannotHoldAreRefused)
{
    UserDefaults defaults(file());
    ASSERT_TRUE(defaults.setObject("key", "old"));
    for (const PlistValue& value : {PlistValue(PlistArray{PlistValue()}), PlistValue(std::string("\xFF")),
                                    PlistValue(PlistDate{1e12})}) {
        LogCapture log;
        EXPECT_FALSE(defaults.setObject("key", value));
        EXPECT_TRUE(log.contains("\"key\""));
        EXPECT_EQ(defaults.object("key"), PlistValue("old"));
    }
    EXPECT_EQ(UserDefaults(file()).object("key"), PlistValue("old"));
}

TEST_F(UserDefaultsTest, TypedAccessorsReadLenientlyOrStrictly)
{
    UserDefaults defaults(file());
    const struct {
        const char* name;
        std::optional<PlistValue> value;
        bool boolean;
        std::int64_t integer;
        double real;
        std::optional<std::string> text;
    } cases[] = {
        {"absent", std::nullopt, false, 0, 0.0, std::nullopt},
        {"true", PlistValue(true), true, 1, 1.0, "1"},
        {"false", PlistValue(false), false, 0, 0.0, "0"},
        {"integer", PlistValue(42), true, 42, 42.0, "42"},
        {"negative integer", PlistValue(-3), true, -3, -3.0, "-3"},
        {"real", PlistValue(2.75), true, 2, 2.75, "2.75"},
        {"numeric string", PlistValue("17"), true, 17, 17.0, "17"},
        {"YES", PlistValue("YES"), true, 0, 0.0, "YES"},
        {"NO", PlistValue("NO"), false, 0, 0.0, "NO"},
        {"word", PlistValue("word"), false, 0, 0.0, "word"},
        {"data", PlistValue(PlistData{1}), false, 0, 0.0, std::nullopt},
        {"array", PlistValue(PlistArray{1}), false, 0, 0.0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.value) {
            ASSERT_TRUE(defaults.setObject(c.name, *c.value));
        }
        EXPECT_EQ(defaults.boolForKey(c.name), c.boolean);
        EXPECT_EQ(defaults.integerForKey(c.name), c.integer);
        EXPECT_EQ(defaults.doubleForKey(c.name), c.real);
        EXPECT_EQ(defaults.stringForKey(c.name), c.text);
    }
    ASSERT_TRUE(defaults.setObject("dictionary", PlistDictionary{{"a", 1}}));
    EXPECT_EQ(defaults.dataForKey("data"), PlistData{1});
    EXPECT_EQ(defaults.arrayForKey("array"), PlistArray{1});
    EXPECT_EQ(defaults.dictionaryForKey("dictionary"), (PlistDictionary{{"a", 1}}));
    EXPECT_EQ(defaults.dataForKey("array"), std::nullopt);
    EXPECT_EQ(defaults.arrayForKey("dictionary"), std::nullopt);
    EXPECT_EQ(defaults.dictionaryForKey("data"), std::nullopt);
    EXPECT_EQ(defaults.dictionaryForKey("absent"), std::nullopt);
}

TEST_F(UserDefaultsTest, ChangesFromManyThreadsAreAllSavedAndHeard)
{
    constexpr int kThreads = 4;
    constexpr int kChanges = 25;
    UserDefaults defaults(file());
    std::atomic<int> heard = 0;
    defaults.addObserver("", [&](const std::string&, const std::optional<PlistValue>&) { ++heard; });
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&, t] {
            for (int i = 0; i < kChanges; ++i) {
                EXPECT_TRUE(defaults.setObject("thread" + std::to_string(t) + "." + std::to_string(i), i));
                (void)defaults.dictionaryRepresentation();
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(heard, kThreads * kChanges);
    EXPECT_EQ(UserDefaults(file()).persistentDomain().size(), size_t(kThreads * kChanges));
    EXPECT_EQ(otherFiles(file()), std::vector<fs::path>{}) << "a temporary file was left";
}

TEST(UserDefaultsPathTest, DefaultFilePathFollowsTheEnvironment)
{
    const struct {
        const char* name;
        std::optional<std::string> defaults, config, home;
        fs::path expected;
    } cases[] = {
        {"QUILLMARK_DEFAULTS first", "/tmp/x/mine.plist", "/cfg", "/home/u", "/tmp/x/mine.plist"},
        {"XDG_CONFIG_HOME", std::nullopt, "/cfg", "/home/u", "/cfg/quillmark/defaults.plist"},
        {"empty QUILLMARK_DEFAULTS is unset", "", "/cfg", "/home/u", "/cfg/quillmark/defaults.plist"},
        {"relative XDG_CONFIG_HOME is ignored", std::nullopt, "cfg", "/home/u", "/home/u/.config/quillmark/defaults.plist"},
        {"HOME", std::nullopt, std::nullopt, "/home/u", "/home/u/.config/quillmark/defaults.plist"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ScopedEnvironment defaults("QUILLMARK_DEFAULTS", c.defaults);
        ScopedEnvironment config("XDG_CONFIG_HOME", c.config);
        ScopedEnvironment home("HOME", c.home);
        EXPECT_EQ(UserDefaults::defaultFilePath(), c.expected);
    }
}

TEST(UserDefaultsPathTest, StandardUsesTheDefaultFile)
{
    // The test main points QUILLMARK_DEFAULTS at a file of its own.
    EXPECT_EQ(UserDefaults::standard().filePath(), UserDefaults::defaultFilePath());
    EXPECT_EQ(&UserDefaults::standard(), &UserDefaults::standard());
}

} // namespace
} // namespace qm
