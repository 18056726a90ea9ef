#include <gtest/gtest.h>

#include <fstream>

#include "app/LayoutApplications.h"
#include "app/Quillmark.h"
#include "bridge/LayoutConnectionFixture.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "platform/fake/FakeFrontApplication.h"
#include "platform/fake/FakeHotKeyRegistrar.h"
#include "support/DailyPublication.h"
#include "support/PhotoshopBytes.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm::test {
namespace {

Bytes pressPhoto()
{
    return jpegWithIIM(dataset(2, 80, "Jane Doe") + dataset(2, 120, "Harbour at dawn"));
}

class QuillmarkTest : public LayoutConnectionFixture {
protected:
    void SetUp() override
    {
        LayoutConnectionFixture::SetUp();
        FrontApplication::install(mFront);
        HotKeyRegistrar::install(mRegistrar);
        std::ofstream(mImage, std::ios::binary).write(reinterpret_cast<const char*>(mPhoto.data()), mPhoto.size());
        PublicationStore::setPublications({publication()}, mDefaults);
        mDefaults.setObject("alertMissingStyles", PlistValue(true));
        mController = std::make_unique<Quillmark>(mDefaults, mConnection);
    }
    void TearDown() override
    {
        mController.reset();
        QMMetadataParserCache::flush();
        FrontApplication::install(nullptr);
        HotKeyRegistrar::install(nullptr);
        LayoutConnectionFixture::TearDown();
    }

    static quillmarkPublication::Pointer publication() { return dailyPublication(); }

    FakeLayoutApplication& scribusShowing(std::vector<std::string> frames, std::optional<std::size_t> selected = 0)
    {
        auto& scribus = startScribus();
        FakeLayoutApplication::Document document;
        document.pictureFrames = std::move(frames);
        document.selectedPictureFrame = selected;
        document.paragraphStyles = {"Byline"};
        scribus.setDocument(document);
        return scribus;
    }

    void showImage()
    {
        mController->currentImage().updateFromFilePath(mImage.string());
        ASSERT_TRUE(runMainThreadUntil([&] { return mController->currentImage().IPTCRecords().has_value(); }));
    }

    static std::vector<nlohmann::json> textFrames(const FakeLayoutApplication& scribus)
    {
        return scribus.document()->textFrames;
    }

    std::optional<std::string> bylineID() { return mController->currentPublication()->defaultBylineSpec()->uniqueIDString(); }

    Bytes mPhoto = pressPhoto();
    std::filesystem::path mImage = mFolder.path() / "photo.jpg";
    UserDefaults mDefaults{mFolder.path() / "defaults.plist"};
    std::shared_ptr<FakeFrontApplication> mFront = std::make_shared<FakeFrontApplication>();
    std::shared_ptr<FakeHotKeyRegistrar> mRegistrar = std::make_shared<FakeHotKeyRegistrar>();
    std::shared_ptr<LayoutConnection> mConnection = std::make_shared<LayoutConnection>(bundle());
    std::unique_ptr<Quillmark> mController;
};

TEST_F(QuillmarkTest, FrameCommandStopsAtTheFirstProblemInOneAlert)
{
    showImage();
    const std::string image = mImage.string();
    const struct {
        const char* label;
        std::optional<std::vector<std::string>> frames; // none: Scribus not running
        std::optional<std::size_t> selected;
        std::string message;
    } cases[] = {
        {"not running", std::nullopt, 0, "Scribus isn't running"},
        {"nothing selected", std::vector<std::string>{image}, std::nullopt, "Nothing is selected in Scribus"},
        {"no image in the frame", std::vector<std::string>{""}, 0, "The selected frame in Scribus doesn't contain an image"},
        {"image missing", std::vector<std::string>{image + ".gone"}, 0, "The image file " + image + ".gone can't be found"},
    };
    for (const auto& c : cases) {
        mRunningApplications.clear();
        mProcesses->setProcesses({});
        auto alerts = std::make_shared<FakeAlertPresenter>();
        AlertPresenter::install(alerts);
        FakeLayoutApplication* scribus = c.frames ? &scribusShowing(*c.frames, c.selected) : nullptr;
        mController->makeTextFrameForTextBlockSpecID(bylineID());
        ASSERT_EQ(alerts->alerts().size(), 1u) << c.label;
        EXPECT_EQ(alerts->alerts()[0].alert.messageText, "The text can't be created.") << c.label;
        EXPECT_EQ(alerts->alerts()[0].alert.informativeText, c.message) << c.label;
        if (scribus)
            EXPECT_TRUE(textFrames(*scribus).empty()) << c.label;
    }
}

TEST_F(QuillmarkTest, FrameIsMadeDespiteMissingStylesAndBothFramesAreNotSelected)
{
    showImage();
    auto& scribus = scribusShowing({mImage.string()});
    mController->makeTextFrameForTextBlockSpecID(bylineID());
    ASSERT_EQ(textFrames(scribus).size(), 1u);
    EXPECT_EQ(textFrames(scribus)[0][1], "Jane Doe");
    EXPECT_TRUE(mAlerts->alerts().empty());

    auto document = *scribus.document();
    document.paragraphStyles.clear();
    scribus.setDocument(document);
    mAlerts->setResponse({.suppressionChecked = true});
    mController->makeDefaultBylineAndCaptionAction(mController->currentPublication());
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, "The text may not look as expected.");
    EXPECT_FALSE(mDefaults.boolForKey("alertMissingStyles")) << "the suppression box turns the alert off";
    const auto frames = textFrames(scribus);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[1][1], "Jane Doe");
    EXPECT_EQ(frames[2][1], "Harbour at dawn");
    EXPECT_EQ(frames[1][14], false);
    EXPECT_EQ(frames[2][14], false);
}

// A hot key acts only while the layout application or this program is in front and the
// preferences are closed.
TEST_F(QuillmarkTest, HotKeysActOnlyWhileOursIsInFront)
{
    const hotKey makeByline(KeyEvent{KeyEvent::KeyDown, 11, ModifierFlag::Command, "b"});
    mDefaults.setObject(GlobalHotKeys::DefaultsKeys[0], PlistValue(*archivedData(makeByline)));
    bool preferencesOpen = false;
    mController->setWindowHooks({.isPreferencesWindowVisible = [&] { return preferencesOpen; }});
    mController->awakeFromNib();
    showImage();
    auto& scribus = scribusShowing({mImage.string()});
    const FakeHotKeyRegistrar::Combination commandB{11, 0x0100};

    mFront->switchTo({77, "/usr/bin/gimp"});
    mRegistrar->press(commandB);
    mFront->switchTo({ScribusPid, "/usr/bin/scribus"});
    preferencesOpen = true;
    mRegistrar->press(commandB);
    EXPECT_TRUE(textFrames(scribus).empty());
    preferencesOpen = false;
    mRegistrar->press(commandB);
    EXPECT_EQ(textFrames(scribus).size(), 1u);
}

TEST_F(QuillmarkTest, FollowsTheLayoutSelectionAndTheFrontApplication)
{
    bool panelVisible = true;
    mController->setWindowHooks({.isIPTCPanelVisible = [&] { return panelVisible; },
                                 .orderIPTCPanelFront = [&] { panelVisible = true; },
                                 .hideIPTCPanel = [&] { panelVisible = false; }});
    mDefaults.setObject("iptcPanelHideOnSuspend", PlistValue(true));
    mController->awakeFromNib();
    auto& scribus = scribusShowing({mImage.string()});
    ASSERT_TRUE(mConnection->isRunning());
    scribus.sendEvent("selectionChanged");
    ASSERT_TRUE(runMainThreadUntil([&] { return mController->currentImage().IPTCRecords().has_value(); }));
    EXPECT_EQ(mController->currentImage().currentImagePath(), mImage.string());
    EXPECT_EQ(mController->currentImage().currentBylineText(), "Jane Doe");
    // A change that names its picture is taken as named, without asking; a named nothing clears.
    const auto calls = scribus.calls().size();
    const std::string other = (mFolder.path() / "other.jpg").string();
    scribus.sendEvent("selectionChanged", {{"imagePath", other}});
    ASSERT_TRUE(runMainThreadUntil([&] { return mController->currentImage().currentImagePath() == other; }));
    scribus.sendEvent("selectionChanged", {{"imagePath", ""}});
    ASSERT_TRUE(runMainThreadUntil([&] { return !mController->currentImage().currentImagePath(); }));
    EXPECT_EQ(scribus.calls().size(), calls);

    mFront->switchTo({::getpid(), "/usr/bin/quillmark"});
    EXPECT_TRUE(panelVisible);
    mFront->switchTo({77, "/usr/bin/gimp"});
    EXPECT_FALSE(panelVisible);
    mFront->switchTo({ScribusPid, "/usr/bin/scribus"});
    EXPECT_TRUE(panelVisible);
}

TEST_F(QuillmarkTest, SettingsChangesRedisplayAndQuittingStoresTheSelection)
{
    mController->awakeFromNib();
    showImage();
    int redisplays = 0;
    mController->currentImage().addObserver("IPTCRecords", [&](const std::string&, KeyValueObservable::Change change) {
        redisplays += change == KeyValueObservable::Change::Did;
    });
    const std::pair<const char*, PlistValue> changes[] = {
        {"corruptUTF8To", PlistValue(std::int64_t{30})},      {"defaultTextEncoding", PlistValue(std::int64_t{30})},
        {"respectUTF8Marker", PlistValue(false)},              {"useAlternateEncodingSpecs", PlistValue(false)},
        {"alternateEncodingSpecs", PlistValue(PlistArray{})},
    };
    for (const auto& [key, value] : changes) {
        const int before = redisplays;
        mDefaults.setObject(key, value);
        EXPECT_EQ(redisplays, before + 1) << key;
    }

    auto renamed = publication();
    renamed->bylines()[0]->setTextGenerationIPTCField(cIPTCCode(2, 120));
    PublicationStore::setPublications({renamed, publication()}, mDefaults);
    EXPECT_EQ(mController->currentImage().currentBylineText(), "Harbour at dawn");

    mController->switchPublication(mController->publications()[1]);
    EXPECT_EQ(mDefaults.integerForKey("currentPublicationIndex"), 1);
    EXPECT_EQ(mController->currentImage().currentBylineText(), "Jane Doe");
    mController->applicationWillQuit();
    EXPECT_EQ(mDefaults.integerForKey("selectedPublication"), 1);
}

TEST_F(QuillmarkTest, TheConnectionAddressesTheLayoutApplicationChosenInThePreferences)
{
    LayoutApplications::setPreferredApplicationPath(mDefaults, "/usr/bin/scribus-ng");
    mController->awakeFromNib();
    const std::optional<std::string> choices[] = {"/usr/bin/scribus-ng", "/opt/scribus/bin/scribus", std::nullopt};
    for (const auto& choice : choices) {
        LayoutApplications::setPreferredApplicationPath(mDefaults, choice);
        EXPECT_EQ(mConnection->preferredAppPath(), choice) << choice.value_or("none");
    }
}

TEST_F(QuillmarkTest, PublicationsEditedInPlaceKeepTheirObjectsAndDefaultsWhenStored)
{
    mController->awakeFromNib();
    showImage();
    auto daily = mController->publications()[0];
    auto second = textBlockSpec_Byline::create();
    second->setName("Caption as byline");
    second->setTextGenerationIPTCField(cIPTCCode(2, 120));
    daily->setBylines({daily->bylines()[0], second});
    daily->setDefaultBylineID(second->uniqueIDString());
    mController->setPublications(mController->publications());
    EXPECT_EQ(mController->shownByline(), second);
    EXPECT_EQ(mController->currentImage().currentBylineText(), "Harbour at dawn");

    for (const char* prefix : {"a: ", "b: "}) {
        second->setPrefix(std::string(prefix));
        PublicationStore::setPublications(mController->publications(), mDefaults);
        EXPECT_EQ(mController->publications()[0], daily) << prefix;
        EXPECT_EQ(mController->shownByline(), second) << prefix;
        EXPECT_EQ(mController->currentImage().currentBylineText(), std::string(prefix) + "Harbour at dawn") << prefix;
    }
    EXPECT_EQ(PublicationStore::publications(mDefaults)[0]->defaultBylineID(), second->uniqueIDString());

    PublicationStore::setPublications({publication()}, mDefaults);
    EXPECT_NE(mController->publications()[0], daily) << "a list stored elsewhere is read";
    EXPECT_EQ(mController->currentImage().currentBylineText(), "Jane Doe");
}

// The layout script tells that a drop could not take its paragraph style: the program says so, naming
// the style of the current publication, when that publication asks for one and the alerts are on.
TEST_F(QuillmarkTest, ADropThatMissedItsParagraphStyleIsToldNamingTheStyle)
{
    mController->awakeFromNib();
    auto& scribus = scribusShowing({mImage.string()});
    ASSERT_TRUE(mConnection->isRunning());
    const auto publication = mController->currentPublication();
    publication->setDragAndDropParagraphStyle("Photo caption");
    const struct {
        const char* label;
        bool use;
        bool alertMissingStyles;
    } cases[] = {{"no style asked for", false, true}, {"alerts off", true, false}, {"told", true, true}};
    for (const auto& c : cases) {
        publication->setUseDragAndDropParagraphStyle(c.use);
        mDefaults.setObject("alertMissingStyles", PlistValue(c.alertMissingStyles));
        scribus.sendEvent(LayoutConnection::DropMissedParagraphStyleEvent);
        for (const auto settled = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
             std::chrono::steady_clock::now() < settled && mAlerts->alerts().empty();)
            MainThread::waitForTasks(std::chrono::milliseconds(50));
        EXPECT_EQ(mAlerts->alerts().size(), std::string(c.label) == "told" ? 1u : 0u) << c.label;
    }
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    EXPECT_EQ(mAlerts->alerts()[0].alert.messageText, "The text may not look as expected.");
    EXPECT_EQ(mAlerts->alerts()[0].alert.informativeText, "The Scribus paragraph style \"Photo caption\" doesn't exist.");
}

// With the calls on the worker, the layout application is found when it starts (and again after it
// was killed and started anew) with its selection read at once; a command against one that does
// not answer returns at once, drops a second command, and gives one alert for byline and caption.
TEST_F(QuillmarkTest, OnTheWorkerTheLayoutApplicationIsFollowedAndNeverWaitedFor)
{
    const auto current = [&] { return mController->currentImage().currentImagePath(); };
    mController->runLayoutCallsOnWorker();
    const std::string second = (mFolder.path() / "second.jpg").string();
    std::filesystem::copy_file(mImage, second);
    for (const auto& [pid, picture] : {std::pair{ScribusPid, mImage.string()}, std::pair{ScribusPid + 1, second}}) {
        mRunningApplications.clear();
        auto& scribus = startScribus(pid);
        FakeLayoutApplication::Document document;
        document.pictureFrames = {picture};
        document.selectedPictureFrame = 0;
        scribus.setDocument(document);
        const auto started = std::chrono::steady_clock::now();
        ASSERT_TRUE(runMainThreadUntil([&] { return current() == picture; })) << picture;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::milliseconds(2500)) << picture;
    }
    ASSERT_TRUE(runMainThreadUntil([&] { return mController->currentImage().IPTCRecords().has_value(); }));

    mConnection->setCallTimeout(std::chrono::milliseconds(300));
    mRunningApplications.begin()->second->setSilent(true);
    const auto given = std::chrono::steady_clock::now();
    mController->makeDefaultBylineAndCaptionAction(mController->currentPublication());
    EXPECT_FALSE(mController->makeTextFrameForTextBlockSpecID(bylineID())) << "dropped while the first waits";
    EXPECT_LT(std::chrono::steady_clock::now() - given, std::chrono::milliseconds(100));
    ASSERT_TRUE(runMainThreadUntil([&] { return !mAlerts->alerts().empty(); }));
    for (const auto settled = std::chrono::steady_clock::now() + std::chrono::seconds(1); std::chrono::steady_clock::now() < settled;)
        MainThread::waitForTasks(std::chrono::milliseconds(50));
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    EXPECT_NE(mAlerts->alerts()[0].alert.messageText.find("not answering"), std::string::npos)
        << mAlerts->alerts()[0].alert.messageText;
}

} // namespace
} // namespace qm::test
