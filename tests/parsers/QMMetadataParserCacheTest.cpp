#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "foundation/MainThread.h"
#include "parsers/QMAsynchronousMetadataParser.h"
#include "parsers/QMMetadataParserCache.h"

using namespace qm;
namespace fs = std::filesystem;

namespace {

class QMMetadataParserCacheTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mFolder = fs::temp_directory_path() / ("quillmark-cache-" + std::to_string(::getpid()));
        fs::create_directories(mFolder);
        QMMetadataParserCache::flush();
    }
    void TearDown() override
    {
        QMMetadataParserCache::setUseCache(true);
        QMMetadataParserCache::setBudget(QMMetadataParserCache::DefaultByteBudget,
                                         QMMetadataParserCache::DefaultCountBudget);
        fs::remove_all(mFolder);
    }
    std::string pdf(const std::string& name)
    {
        const fs::path path = mFolder / name;
        std::ofstream(path) << "%PDF-1.4\n%%EOF\n";
        return path.string();
    }
    fs::path mFolder;
};

} // namespace

TEST_F(QMMetadataParserCacheTest, AnswersFromTheCacheUntilFlushed)
{
    const auto path = pdf("a.pdf");
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(path), nullptr);
    auto first = QMMetadataParserCache::MetadataParserForPath(path, true);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(QMMetadataParserCache::MetadataParserForPath(path, true), first);
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(path), first);
    QMMetadataParserCache::flushParserForPath(path);
    EXPECT_NE(QMMetadataParserCache::MetadataParserForPath(path), first);

    QMMetadataParserCache::setUseCache(false);
    EXPECT_EQ(QMMetadataParserCache::sharedInstance().count(), 0u);
    auto uncached = QMMetadataParserCache::MetadataParserForPath(path, true);
    EXPECT_NE(QMMetadataParserCache::MetadataParserForPath(path, true), uncached);
    EXPECT_EQ(QMMetadataParserCache::sharedInstance().count(), 0u);
    EXPECT_EQ(QMMetadataParserCache::MetadataParserForPath(mFolder / "missing.pdf"), nullptr);
}

// A file rewritten in place (same size, another time) or replaced by a rename is parsed again; an
// untouched one keeps its parser.
TEST_F(QMMetadataParserCacheTest, AChangedFileIsParsedAgain)
{
    const auto path = pdf("changed.pdf");
    const struct {
        const char* name;
        std::function<void()> change;
    } cases[] = {
        {"rewritten, same size", [&] { std::ofstream(path) << "%PDF-1.5\n%%EOF\n"; }},
        {"timestamp only", [&] { fs::last_write_time(path, fs::last_write_time(path) + std::chrono::seconds(3)); }},
        {"replaced by a rename", [&] { fs::rename(pdf("other.pdf"), path); }},
    };
    for (const auto& c : cases) {
        const auto before = QMMetadataParserCache::MetadataParserForPath(path, true);
        ASSERT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(path), before) << c.name;
        fs::last_write_time(path, fs::last_write_time(path) - std::chrono::seconds(10));
        const auto settled = QMMetadataParserCache::MetadataParserForPath(path, true);
        c.change();
        EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(path), nullptr) << c.name;
        EXPECT_NE(QMMetadataParserCache::MetadataParserForPath(path, true), settled) << c.name;
    }
}

TEST_F(QMMetadataParserCacheTest, DropsTheLeastRecentlyUsedBeyondTheBudget)
{
    QMMetadataParserCache::setBudget(QMMetadataParserCache::DefaultByteBudget, 2);
    auto a = QMMetadataParserCache::MetadataParserForPath(pdf("a.pdf"));
    auto b = QMMetadataParserCache::MetadataParserForPath(pdf("b.pdf"));
    QMMetadataParserCache::CachedMetadataParserForPath(mFolder / "a.pdf"); // a is now the most recent
    auto c = QMMetadataParserCache::MetadataParserForPath(pdf("c.pdf"));
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(mFolder / "a.pdf"), a);
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(mFolder / "b.pdf"), nullptr);
    EXPECT_EQ(QMMetadataParserCache::sharedInstance().count(), 2u);

    QMMetadataParserCache::setBudget(1, 100);
    EXPECT_EQ(QMMetadataParserCache::sharedInstance().count(), 1u) << "the newest entry stays";
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(mFolder / "a.pdf"), a);
}

TEST_F(QMMetadataParserCacheTest, BackgroundParseDeliversOnTheMainThread)
{
    MainThread::adoptCurrentThread();
    const auto path = pdf("a.pdf");
    std::vector<std::pair<std::shared_ptr<QMMetadataParser>, bool>> delivered;
    for (const std::string& p : {path, (mFolder / "missing.jpg").string()})
        QMAsynchronousMetadataParser::ParseMetadataAsynchronouslyForPath(p, [&](auto parser) {
            delivered.emplace_back(parser, MainThread::isMainThread());
        });
    for (int round = 0; round < 100 && delivered.size() < 2; ++round)
        MainThread::waitForTasks(std::chrono::milliseconds(50));
    ASSERT_EQ(delivered.size(), 2u);
    for (const auto& [parser, onMain] : delivered)
        EXPECT_TRUE(onMain);
    const auto parsed = delivered[0].first ? delivered[0].first : delivered[1].first;
    ASSERT_NE(parsed, nullptr) << "one of the two is readable";
    EXPECT_TRUE(parsed->parsed());
    EXPECT_TRUE(delivered[0].first == nullptr || delivered[1].first == nullptr) << "the missing file gives null";
    EXPECT_EQ(QMMetadataParserCache::CachedMetadataParserForPath(path), parsed);
}
