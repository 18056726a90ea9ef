#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "foundation/PropertyList.h"
#include "foundation/UserDefaults.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "textgen/PublicationSettingsFile.h"
#include "textgen/PublicationStore.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using Outcome = PublicationSettingsFile::ImportOutcome;

class SettingsFileImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        AlertPresenter::install(mAlerts);
        mFolder = fs::temp_directory_path() / ("quillmark-settings-" + std::to_string(::getpid()));
        fs::create_directories(mFolder);
        mDefaults.registerDefaults({{"alertMissingPublicationSettingsFile", true}, {"defaultTextEncoding", 12}});
    }
    void TearDown() override
    {
        AlertPresenter::install(nullptr);
        fs::remove_all(mFolder);
        fs::remove(mDefaults.filePath());
    }
    std::string write(const char* name, const PlistValue& contents)
    {
        const auto path = mFolder / name;
        EXPECT_TRUE(PropertyList::writeFileAtomically(path, contents, PlistFormat::Xml));
        return path.string();
    }

    std::shared_ptr<FakeAlertPresenter> mAlerts = std::make_shared<FakeAlertPresenter>();
    fs::path mFolder;
    UserDefaults mDefaults{fs::temp_directory_path() / ("quillmark-settings-defaults-" + std::to_string(::getpid()))};
};

TEST_F(SettingsFileImport, ImportsListedKeysInOrder)
{
    auto publication = quillmarkPublication::create();
    publication->setName("Evening");
    const PlistData archived = *PublicationStore::archivedPublications({publication});
    mDefaults.setObject("respectUTF8Marker", true);

    std::vector<std::string> changed;
    mDefaults.addObserver("", [&](const std::string& key, const auto&) { changed.push_back(key); });
    const auto onlyPublications = write("only.plist", PlistDictionary{{"publications", archived}, {"captionMode", 2}});
    EXPECT_EQ(PublicationSettingsFile::importTextExtractionSettingsFromFile(onlyPublications, mDefaults), Outcome::Imported);
    EXPECT_EQ(changed, std::vector<std::string>{"publications"});
    EXPECT_EQ(PublicationStore::publications(mDefaults).at(0)->name(), "Evening");
    EXPECT_EQ(mDefaults.integerForKey("defaultTextEncoding"), 12);
    EXPECT_TRUE(mDefaults.boolForKey("respectUTF8Marker"));
    EXPECT_FALSE(mDefaults.object("captionMode")) << "keys outside the list are ignored";

    changed.clear();
    publication->setName("Morning");
    PlistDictionary everything;
    for (const auto& key : PublicationSettingsFile::importedKeys())
        everything[key] = key == "publications" ? PlistValue(*PublicationStore::archivedPublications({publication}))
                                                : PlistValue(7);
    PublicationSettingsFile::importTextExtractionSettingsFromFile(write("all.plist", everything), mDefaults);
    EXPECT_EQ(changed, PublicationSettingsFile::importedKeys());
}

TEST_F(SettingsFileImport, UnusableFilesChangeNothing)
{
    mDefaults.setObject("publications", *PublicationStore::archivedPublications({quillmarkPublication::create()}));
    const PlistDictionary before = mDefaults.persistentDomain();
    const auto notADictionary = write("array.plist", PlistArray{1, 2});
    EXPECT_EQ(PublicationSettingsFile::importTextExtractionSettingsFromFile(notADictionary, mDefaults),
              Outcome::NotADictionary);
    std::ofstream(mFolder / "text.plist") << "not a property list";
    EXPECT_EQ(PublicationSettingsFile::importTextExtractionSettingsFromFile((mFolder / "text.plist").string(), mDefaults),
              Outcome::NotADictionary);
    const auto badPublications = write("bad.plist", PlistDictionary{{"publications", PlistData{1, 2, 3}}, {"corruptUTF8To", 5}});
    EXPECT_EQ(PublicationSettingsFile::importTextExtractionSettingsFromFile(badPublications, mDefaults), Outcome::Imported);
    EXPECT_EQ(mDefaults.object("publications"), before.at("publications")) << "unreadable publications are not stored";
    EXPECT_EQ(mDefaults.integerForKey("corruptUTF8To"), 5);
    EXPECT_TRUE(mAlerts->alerts().empty());
}

TEST_F(SettingsFileImport, MissingFileAlertAndItsSuppression)
{
    const std::string missing = (mFolder / "Shared Settings.plist").string();
    EXPECT_EQ(PublicationSettingsFile::importTextExtractionSettingsFromFile(missing, mDefaults), Outcome::Missing);
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    const Alert alert = mAlerts->alerts()[0].alert;
    EXPECT_EQ(alert.messageText, "The publication settings file \"Shared Settings.plist\" couldn't be found.");
    EXPECT_NE(alert.informativeText.find("\"" + missing + "\""), std::string::npos);
    EXPECT_EQ(alert.windowTitle, "Quillmark error");
    EXPECT_TRUE(alert.showsSuppressionButton);
    EXPECT_EQ(mAlerts->activations(), 1);

    PublicationSettingsFile::importTextExtractionSettingsFromFile(std::nullopt, mDefaults);
    ASSERT_EQ(mAlerts->alerts().size(), 2u);
    EXPECT_EQ(mAlerts->alerts()[1].alert.messageText, "No publication settings file is specified.");

    mAlerts->setResponse({0, true});
    PublicationSettingsFile::importTextExtractionSettingsFromFile(missing, mDefaults);
    EXPECT_FALSE(mDefaults.boolForKey("alertMissingPublicationSettingsFile"));
    PublicationSettingsFile::importTextExtractionSettingsFromFile(missing, mDefaults);
    EXPECT_EQ(mAlerts->alerts().size(), 3u) << "suppressed from then on";
}

} // namespace
} // namespace qm
