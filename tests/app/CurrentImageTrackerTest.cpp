#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

#include "app/CurrentImageTracker.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParserCache.h"
#include "support/PhotoshopBytes.h"
#include "support/HeldParser.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "textgen/iptcTextConcatSpec.h"
#include "textgen/textBlockSpec_Byline.h"

namespace qm {
namespace {

namespace fs = std::filesystem;
using test::HeldParser;
using test::operator+;

std::shared_ptr<cIPTCRecord> record(std::uint8_t dataSet, const std::string& text)
{
    return std::make_shared<cIPTCRecord>(2, dataSet, test::text(text));
}

class CurrentImageTrackerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fs::create_directories(mFolder);
        mDefaults.setObject("defaultTextEncoding", PlistValue(std::int64_t{30}));
        mTracker.setParseStarter([this](std::string path, QMAsynchronousMetadataParser::Finalization done) {
            mParses.push_back({std::move(path), std::move(done)});
        });
    }
    void TearDown() override
    {
        QMMetadataParserCache::flush();
        fs::remove_all(mFolder);
    }

    std::string file(const std::string& name, const test::Bytes& bytes)
    {
        const fs::path path = mFolder / name;
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        return path.string();
    }

    void complete(std::size_t parse, IPTCRecordArray records)
    {
        mParses.at(parse).done(std::make_shared<HeldParser>(std::move(records), std::nullopt, mParses[parse].path));
    }

    struct Parse {
        std::string path;
        QMAsynchronousMetadataParser::Finalization done;
    };
    fs::path mFolder = fs::temp_directory_path() / ("quillmark-tracker-" + std::to_string(::getpid()));
    UserDefaults mDefaults{mFolder / "defaults.plist"};
    CurrentImageTracker mTracker{mDefaults};
    std::vector<Parse> mParses;
};

TEST_F(CurrentImageTrackerTest, ParsesEachNewPathOnceAndShowsOnlyTheCurrentPathsCompletion)
{
    const std::string first = file("a.jpg", {0xFF, 0xD8}), second = file("b.jpg", {0xFF, 0xD8});
    mTracker.updateFromFilePath(first);
    mTracker.updateFromFilePath(first);
    EXPECT_EQ(mParses.size(), 1u) << "the same uncached path again starts nothing";
    EXPECT_TRUE(mTracker.parsingImageAsynchronously());
    EXPECT_TRUE(mTracker.currentImageFileExists());

    mTracker.updateFromFilePath(second);
    ASSERT_EQ(mParses.size(), 2u);
    complete(0, {record(120, "First")});
    EXPECT_FALSE(mTracker.currentImageParser()) << "a completion for a path no longer current is dropped";
    EXPECT_TRUE(mTracker.parsingImageAsynchronously());
    complete(1, {record(120, "Second")});
    EXPECT_EQ(mTracker.currentImageParser()->path(), second);
    EXPECT_EQ(mTracker.currentImagePath(), second);
    EXPECT_FALSE(mTracker.parsingImageAsynchronously());
    EXPECT_EQ(mDefaults.integerForKey("panelTextEncoding"), 30) << "the guess is stored while an image is current";

    mTracker.clearCacheAndUpdateCurrentFilePath();
    EXPECT_EQ(mParses.size(), 3u);
    EXPECT_EQ(mParses.back().path, second);

    mTracker.updateFromFilePath(std::nullopt);
    ASSERT_EQ(mParses.size(), 4u) << "no path parses nothing, which clears the display";
    EXPECT_FALSE(mTracker.currentImageFileExists());
    EXPECT_FALSE(mTracker.parsingImageAsynchronously());
    mParses.back().done(nullptr);
    EXPECT_FALSE(mTracker.IPTCRecords());
}

// A cached parser is shown before updateFromFilePath returns; a missing file is still made current.
TEST_F(CurrentImageTrackerTest, CachedParserIsShownAtOnce)
{
    const std::string path = file("cached.jpg", test::jpegWithIIM(test::dataset(2, 120, "Cached")));
    ASSERT_TRUE(QMMetadataParserCache::MetadataParserForPath(path, true));
    std::vector<std::string> changes;
    mTracker.addObserver("", [&](const std::string& key, KeyValueObservable::Change change) {
        if (change == KeyValueObservable::Change::Did)
            changes.push_back(key);
    });
    mTracker.updateFromFilePath(path);
    EXPECT_TRUE(mParses.empty());
    ASSERT_TRUE(mTracker.IPTCRecords());
    EXPECT_EQ(mTracker.IPTCRecords()->at(0)->dataAsFormattedString(), "Cached");
    EXPECT_NE(std::find(changes.begin(), changes.end(), "filteredIPTCRecords"), changes.end());

    mTracker.updateFromFilePath((mFolder / "missing.jpg").string());
    EXPECT_FALSE(mTracker.currentImageFileExists());
    EXPECT_EQ(mParses.size(), 1u);
}

// The texts come from every dataset even when the panel shows a filtered few.
TEST_F(CurrentImageTrackerTest, BylineAndCaptionComeFromTheUnfilteredDatasets)
{
    auto byline = textBlockSpec_Byline::create();
    byline->setTextGenerationIPTCField(cIPTCCode(2, 80));
    mTracker.setShownTextBlocks([&] { return CurrentImageTracker::ShownTextBlocks{byline, nullptr}; });
    std::size_t rows = 99;
    mTracker.setWindowHooks({.recordRowHeightsChanged = [&](std::size_t count) { rows = count; }});
    mDefaults.setObject("filterIPTCRecords", PlistValue(true));
    mTracker.updateFromFilePath(file("c.jpg", {0xFF, 0xD8}));
    complete(0, {record(80, "Jane Doe"), record(120, "Caption")});
    EXPECT_FALSE(mTracker.filteredIPTCRecords()) << "no filter stored shows nothing";
    EXPECT_EQ(rows, 0u);
    EXPECT_EQ(mTracker.currentBylineText(), "Jane Doe");
    EXPECT_FALSE(mTracker.currentCaptionText());
}

TEST_F(CurrentImageTrackerTest, NoTextAndNoMissingFieldAlertBeforeAnImageIsRead)
{
    auto alerts = std::make_shared<FakeAlertPresenter>();
    AlertPresenter::install(alerts);
    UserDefaults::standard().setObject("alertMissingIPTC", true);
    auto rule = iptcTextConcatSpec::create();
    rule->setIPTCField(cIPTCCode(2, 80));
    rule->setConditionalIPTCField(cIPTCCode(2, 80));
    auto byline = textBlockSpec_Byline::create();
    byline->setTextSource(textBlockSpec::textSourceRules);
    byline->setTextConcatSpecs(iptcTextConcatSpec::Array{rule});
    mTracker.setShownTextBlocks([&] { return CurrentImageTracker::ShownTextBlocks{byline, nullptr}; });

    mTracker.updateDisplayedIPTCData(); // no image yet
    EXPECT_FALSE(mTracker.currentBylineText());
    mTracker.updateFromFilePath(file("d.jpg", {0xFF, 0xD8}));
    mTracker.updateDisplayedIPTCData();
    EXPECT_FALSE(mTracker.currentBylineText());
    EXPECT_TRUE(alerts->alerts().empty() && alerts->errors().empty());
    complete(0, {record(80, "Jane Doe")});
    EXPECT_EQ(mTracker.currentBylineText(), "Jane Doe");
    EXPECT_TRUE(alerts->alerts().empty() && alerts->errors().empty());
    UserDefaults::standard().removeObject("alertMissingIPTC");
    AlertPresenter::install(nullptr);
}

TEST_F(CurrentImageTrackerTest, OpenButtonNamesTheApplicationThatOpensTheFile)
{
    mTracker.setApplicationForFile([](const std::string&) { return std::optional<std::string>("/usr/bin/gimp"); });
    mTracker.updateFromFilePath(file("d.jpg", {0xFF, 0xD8}));
    EXPECT_EQ(mTracker.openButtonApplicationPath(), "/usr/bin/gimp");
    EXPECT_EQ(mTracker.openButtonToolTip(),
              "Open image file with application gimp\rClick and hold to see a list of applications");
}

} // namespace
} // namespace qm
