#include "foundation/Bundle.h"

#include "foundation/Log.h"
#include "foundation/PropertyList.h"
#include "PlistTestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::ScopedEnvironment;
using test::TempFolder;

// The locale variables, set for one test and restored afterwards.
class Locale {
public:
    Locale(std::optional<std::string> language, std::optional<std::string> all, std::optional<std::string> messages,
           std::optional<std::string> lang)
        : mLanguage("LANGUAGE", language), mAll("LC_ALL", all), mMessages("LC_MESSAGES", messages), mLang("LANG", lang)
    {
    }
    static Locale only(std::string lang) { return Locale(std::nullopt, std::nullopt, std::nullopt, std::move(lang)); }

private:
    ScopedEnvironment mLanguage, mAll, mMessages, mLang;
};

void writeText(const fs::path& path, std::string_view text)
{
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
}

void writePlist(const fs::path& path, const PlistValue& value)
{
    ASSERT_TRUE(PropertyList::writeFileAtomically(path, value, PlistFormat::Xml));
}

// resources/
//   table.plist, plain.txt          (not localized)
//   de.lproj/ table.plist, Localizable.plist { Hello, Only German }
//   de_AT.lproj/ Localizable.plist { Hello }
//   fr.lproj/ Localizable.plist { Hello, Goodbye }
//   en.lproj/ english-only.txt
//   xx.lproj/ Localizable.plist (corrupt)
class BundleTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const fs::path& root = mFolder.path();
        writePlist(root / "table.plist", PlistDictionary{{"where", "root"}});
        writeText(root / "plain.txt", "plain");
        writePlist(root / "de.lproj" / "table.plist", PlistDictionary{{"where", "de"}});
        writePlist(root / "de.lproj" / "Localizable.plist",
                   PlistDictionary{{"Hello", "Hallo"}, {"Only German", "Nur Deutsch"}, {"Not text", 5}});
        writePlist(root / "de_AT.lproj" / "Localizable.plist", PlistDictionary{{"Hello", "Servus"}});
        writePlist(root / "fr.lproj" / "Localizable.plist",
                   PlistDictionary{{"Hello", "Bonjour"}, {"Goodbye", "Au revoir"}});
        writeText(root / "en.lproj" / "english-only.txt", "en");
        writeText(root / "xx.lproj" / "Localizable.plist", "<plist><dict><key>Hello");
    }

    TempFolder mFolder;
    Bundle mBundle{mFolder.path()};
};

TEST_F(BundleTest, PreferredLanguagesFollowTheLocaleVariables)
{
    using Strings = std::vector<std::string>;
    const struct {
        const char* name;
        std::optional<std::string> language, all, messages, lang;
        Strings expected;
    } cases[] = {
        {"nothing set", {}, {}, {}, {}, {}},
        {"LANG with territory and codeset", {}, {}, {}, "de_DE.UTF-8", {"de_DE", "de"}},
        {"LANG with modifier", {}, {}, {}, "de_AT@euro", {"de_AT", "de"}},
        {"LANG language only", {}, {}, {}, "fr", {"fr"}},
        {"C", {}, {}, {}, "C", {}},
        {"C.UTF-8", {}, {}, {}, "C.UTF-8", {}},
        {"POSIX", {}, {}, {}, "POSIX", {}},
        {"LC_ALL before LANG", {}, "fr_FR.UTF-8", {}, "de_DE.UTF-8", {"fr_FR", "fr"}},
        {"LC_MESSAGES before LANG", {}, {}, "it_IT", "de_DE", {"it_IT", "it"}},
        {"LC_ALL C hides LANG", {}, "C", {}, "de_DE", {}},
        {"empty LC_ALL is unset", {}, "", {}, "de_DE", {"de_DE", "de"}},
        {"LANGUAGE list first", "fr_CA:de::es", {}, {}, "it_IT.UTF-8", {"fr_CA", "fr", "de", "es", "it_IT", "it"}},
        {"duplicates once", "de:de_DE", {}, {}, "de_DE.UTF-8", {"de", "de_DE"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Locale locale(c.language, c.all, c.messages, c.lang);
        EXPECT_EQ(Bundle::preferredLanguages(), c.expected);
    }
}

TEST_F(BundleTest, PathForResourcePrefersLocalizedThenRootThenEnglish)
{
    const struct {
        const char* name;
        const char* lang;
        const char* resource;
        const char* type;
        std::optional<fs::path> expected;
    } cases[] = {
        {"German user, localized file", "de_DE.UTF-8", "table", "plist", fs::path("de.lproj/table.plist")},
        {"French user, root file", "fr_FR.UTF-8", "table", "plist", fs::path("table.plist")},
        {"no language, root file", "C", "table", "plist", fs::path("table.plist")},
        {"German user, English-only file", "de_DE", "english-only", "txt", fs::path("en.lproj/english-only.txt")},
        {"English user, English-only file", "en_GB", "english-only", "txt", fs::path("en.lproj/english-only.txt")},
        {"empty type: the name is the file name", "C", "plain.txt", "", fs::path("plain.txt")},
        {"folder resource", "C", "de", "lproj", fs::path("de.lproj")},
        {"missing resource", "de_DE", "missing", "plist", std::nullopt},
        {"wrong type", "C", "plain", "plist", std::nullopt},
        {"empty name", "C", "", "plist", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto locale = Locale::only(c.lang);
        const auto path = mBundle.pathForResource(c.resource, c.type);
        if (c.expected)
            EXPECT_EQ(path, mFolder.path() / *c.expected);
        else
            EXPECT_EQ(path, std::nullopt);
    }
}

TEST_F(BundleTest, PlistResourceReadsOrLogs)
{
    auto locale = Locale::only("C");
    EXPECT_EQ(mBundle.plistResource("table"), PlistValue(PlistDictionary{{"where", "root"}}));
    {
        LogCapture log;
        EXPECT_EQ(mBundle.plistResource("missing"), std::nullopt);
        EXPECT_TRUE(log.contains("missing.plist"));
    }
    writeText(mFolder.path() / "broken.plist", "bplist00 broken");
    {
        LogCapture log;
        EXPECT_EQ(mBundle.plistResource("broken"), std::nullopt);
        EXPECT_TRUE(log.contains("broken.plist"));
    }
}

TEST_F(BundleTest, LocalizedStringFallsBackPerKeyThenToTheKey)
{
    const struct {
        const char* name;
        const char* language;
        const char* lang;
        const char* key;
        const char* expected;
    } cases[] = {
        {"German", "", "de_DE.UTF-8", "Hello", "Hallo"},
        {"Austrian before German", "", "de_AT.UTF-8", "Hello", "Servus"},
        {"Austrian falls back to German", "", "de_AT.UTF-8", "Only German", "Nur Deutsch"},
        {"French", "", "fr_FR", "Goodbye", "Au revoir"},
        {"German then French list, German text", "de:fr", "C", "Hello", "Hallo"},
        {"German then French list, French text", "de:fr", "C", "Goodbye", "Au revoir"},
        {"no translation anywhere", "de:fr", "C", "Unknown text", "Unknown text"},
        {"non-text entry is ignored", "", "de_DE", "Not text", "Not text"},
        {"language without a table", "", "es_ES", "Hello", "Hello"},
        {"C locale", "", "C", "Hello", "Hello"},
        {"key with non-ASCII text", "", "de_DE", "Grüße – %@", "Grüße – %@"},
        {"empty key", "", "de_DE", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Locale locale(std::string(c.language), std::nullopt, std::nullopt, std::string(c.lang));
        EXPECT_EQ(mBundle.localizedString(c.key), c.expected);
    }
}

TEST_F(BundleTest, CorruptStringTableIsLoggedOnceAndGivesKeys)
{
    auto locale = Locale::only("xx");
    LogCapture log;
    EXPECT_EQ(mBundle.localizedString("Hello"), "Hello");
    EXPECT_TRUE(log.contains("Localizable.plist"));
    log.clear();
    EXPECT_EQ(mBundle.localizedString("Hello"), "Hello");
    EXPECT_TRUE(log.lines().empty()) << "the table was read twice";
}

TEST_F(BundleTest, EachStringTableIsReadOnce)
{
    auto locale = Locale::only("fr_FR");
    EXPECT_EQ(mBundle.localizedString("Hello"), "Bonjour");
    writePlist(mFolder.path() / "fr.lproj" / "Localizable.plist", PlistDictionary{{"Hello", "Salut"}});
    EXPECT_EQ(mBundle.localizedString("Hello"), "Bonjour");
    EXPECT_EQ(mBundle.localizedString("Goodbye"), "Au revoir");
    EXPECT_EQ(Bundle(mFolder.path()).localizedString("Hello"), "Salut") << "another bundle reads afresh";
}

TEST_F(BundleTest, LocalizedStringsFromManyThreads)
{
    Locale locale(std::string("de_AT:fr"), std::nullopt, std::nullopt, std::string("C"));
    std::vector<std::thread> threads;
    std::atomic<int> wrong = 0;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 200; ++i) {
                if (mBundle.localizedString("Hello") != "Servus" || mBundle.localizedString("Goodbye") != "Au revoir" ||
                    mBundle.localizedString("Only German") != "Nur Deutsch")
                    ++wrong;
            }
        });
    }
    for (auto& thread : threads)
        thread.join();
    EXPECT_EQ(wrong, 0);
}

TEST(BundleMainTest, UsesQuillmarkResources)
{
    // The test main points QUILLMARK_RESOURCES at the source tree's resources folder.
    const char* resources = std::getenv("QUILLMARK_RESOURCES");
    ASSERT_NE(resources, nullptr);
    EXPECT_EQ(Bundle::main().resourcePath(), fs::path(resources));
    EXPECT_EQ(&Bundle::main(), &Bundle::main());
}

} // namespace
} // namespace qm
