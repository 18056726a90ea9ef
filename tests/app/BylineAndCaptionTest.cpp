#include <gtest/gtest.h>

#include <filesystem>

#include "app/BylineAndCaption.h"
#include "foundation/UserDefaults.h"
#include "textgen/TextgenFixtures.h"

namespace qm {
namespace {

template <typename Spec>
std::shared_ptr<Spec> named(const std::string& name, std::optional<int> field = std::nullopt)
{
    auto spec = Spec::create();
    spec->setName(name);
    spec->setTextGenerationIPTCField(test::field(field));
    return spec;
}

quillmarkPublication::Pointer publication(const std::string& name, quillmarkPublication::Bylines bylines,
                                          quillmarkPublication::Captions captions)
{
    auto publication = quillmarkPublication::createEmpty();
    publication->setName(name);
    publication->setBylines(std::move(bylines));
    publication->setCaptions(std::move(captions));
    return publication;
}

class BylineAndCaptionTest : public ::testing::Test {
protected:
    void TearDown() override { std::filesystem::remove(mDefaults.filePath()); }

    PublicationStore::Publications mPublications{
        publication("Daily",
                    {named<textBlockSpec_Byline>("Staff", 80), named<textBlockSpec_Byline>("-"),
                     named<textBlockSpec_Byline>("Agency", 110)},
                    {named<textBlockSpec_Caption>("Caption", 120)}),
        publication("2", {named<textBlockSpec_Byline>("Other")}, {}),
        publication("Weekly", {}, {})};
    UserDefaults mDefaults{std::filesystem::temp_directory_path() / ("quillmark-bylines-" + std::to_string(::getpid()))};
};

TEST_F(BylineAndCaptionTest, ChoosesPublicationAndTextBlocks)
{
    mPublications[0]->setDefaultBylineID(mPublications[0]->bylines()[2]->uniqueIDString());
    struct Case {
        const char* label;
        std::int64_t currentIndex;
        BylineAndCaption::Choice choice;
        std::string expected; // "publication/byline/caption" ("" for none), or the error
    };
    const Case cases[] = {
        {"defaults of the current one", 0, {}, "Daily/Agency/Caption"},
        {"byline by name", 0, {.byline = "Staff"}, "Daily/Staff/Caption"},
        {"by index", 1, {.publication = "0"}, "Daily/Agency/Caption"},
        {"a name before an index", 0, {.publication = "2"}, "2/Other/"},
        {"nothing in it", 0, {.publication = "Weekly"}, "Weekly//"},
        {"no current publication", 7, {}, "//"},
        {"unknown index", 0, {.publication = "3"}, "no publication is named \"3\" or has that index (there are 3)"},
        {"unknown name", 0, {.publication = "Dialy"}, "no publication is named \"Dialy\""},
        {"a separator is not offered", 0, {.byline = "-"}, "the publication \"Daily\" has no byline named \"-\""},
        {"unknown caption", 0, {.caption = "caption"}, "the publication \"Daily\" has no caption named \"caption\""},
        {"a name without a publication", 7, {.byline = "Staff"},
         "there is no current publication (currentPublicationIndex is 7, there are 3 publications)"},
    };
    for (const auto& c : cases) {
        mDefaults.setObject(PublicationStore::CurrentPublicationIndexKey, c.currentIndex);
        std::string error;
        const auto chosen = BylineAndCaption::choose(mPublications, c.choice, mDefaults, error);
        const auto name = [](const auto& object) { return object ? object->name() : std::string(); };
        const std::string outcome = chosen ? name(chosen->publication()) + "/" + name(chosen->bylineSpec()) + "/" +
                                                 name(chosen->captionSpec())
                                           : error;
        EXPECT_EQ(outcome, c.expected) << c.label;
    }
}

TEST_F(BylineAndCaptionTest, TextsAreAbsentWithoutTextBlockOrText)
{
    mDefaults.setObject(PublicationStore::CurrentPublicationIndexKey, 0);
    std::string error;
    const auto daily = BylineAndCaption::choose(mPublications, {}, mDefaults, error);
    const auto records = test::utf8Records({{80, "Jane Roe"}});
    ASSERT_TRUE(daily) << error;
    const auto texts = daily->textsForImage("/photos/a.jpg", records);
    EXPECT_EQ(texts.byline, "Jane Roe") << "the first byline while no default is set";
    EXPECT_EQ(texts.caption, std::nullopt) << "the image has no caption";

    const auto weekly = BylineAndCaption::choose(mPublications, {.publication = "Weekly"}, mDefaults, error);
    ASSERT_TRUE(weekly) << error;
    const auto none = weekly->textsForImage("/photos/a.jpg", records);
    EXPECT_EQ(none.byline, std::nullopt);
    EXPECT_EQ(none.caption, std::nullopt);
}

} // namespace
} // namespace qm
