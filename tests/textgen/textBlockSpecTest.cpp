#include <gtest/gtest.h>

#include "foundation/UserDefaults.h"
#include "platform/fake/FakeAlertPresenter.h"
#include "textgen/quillmarkPublication.h"
#include "textgen/textBlockSpec.h"
#include "textgen/textBlockSpecToUniqueIDStringTransformer.h"
#include "TextgenFixtures.h"

namespace qm {
namespace {

using test::rule;
using test::utf8Records;

// Installs a recording alert presenter and sets the two settings text generation reads.
class TextBlockGeneration : public ::testing::Test {
protected:
    void SetUp() override
    {
        AlertPresenter::install(mAlerts);
        setSettings(true, false);
    }
    void TearDown() override
    {
        AlertPresenter::install(nullptr);
        UserDefaults::standard().removeObject("trimWhitespace");
        UserDefaults::standard().removeObject("alertMissingIPTC");
    }
    static void setSettings(bool trimWhitespace, bool alertMissingIPTC)
    {
        UserDefaults::standard().setObject("trimWhitespace", trimWhitespace);
        UserDefaults::standard().setObject("alertMissingIPTC", alertMissingIPTC);
    }

    std::shared_ptr<FakeAlertPresenter> mAlerts = std::make_shared<FakeAlertPresenter>();
};

TEST_F(TextBlockGeneration, PostProcessingSteps)
{
    const auto records = utf8Records({{80, "müller"}, {5, ""}, {10, "   "}, {120, "a\r\nb"}, {110, "AFP"}});
    const PlistArray pairs{PlistDictionary{{"search", "afp"}, {"replace", "Agence"}},
                           PlistDictionary{{"search", "Agence"}, {"replace", "X"}},
                           PlistDictionary{{"search", "x"}, {"replace", "never"}, {"matchCase", true}},
                           PlistDictionary{{"replace", "pair without search"}}};
    struct Case {
        const char* name;
        std::function<void(textBlockSpec&)> setUp;
        std::optional<std::string> expected;
    };
    const auto field = [](int dataSet) { return [dataSet](textBlockSpec& s) { s.setTextGenerationIPTCField(cIPTCCode(2, dataSet)); }; };
    const Case cases[] = {
        {"rules giving nothing", [](textBlockSpec& s) {
             s.setTextSource(1);
             s.setTextConcatSpecs(iptcTextConcatSpec::Array{rule({.extracted = 90})});
             s.setInsertEndOfNestedStyleCharacter(true);
         }, std::nullopt},
        {"empty field", [&](textBlockSpec& s) { field(5)(s); s.setInsertEndOfNestedStyleCharacter(true); }, "\x03"},
        {"blanks trimmed away", field(10), ""},
        {"line breaks", [&](textBlockSpec& s) { field(120)(s); s.setStripCRs(true); }, "Foto: a  b."},
        {"pairs in order", [&](textBlockSpec& s) { field(110)(s); s.setSearchReplace(true); s.setSearchReplaceSpecs(pairs); }, "Foto: X."},
        {"case covers prefix", [&](textBlockSpec& s) { field(80)(s); s.setTextCase(1); }, "FOTO: MÜLLER."},
        {"capitalized", [&](textBlockSpec& s) { field(80)(s); s.setTextCase(3); }, "Foto: Müller."},
        {"nested style mark first", [&](textBlockSpec& s) { field(80)(s); s.setInsertEndOfNestedStyleCharacter(true); }, "\x03" "Foto: müller."},
        {"script source", [&](textBlockSpec& s) { field(80)(s); s.setTextSource(2); }, std::nullopt},
    };
    for (const auto& c : cases) {
        auto spec = textBlockSpec::create();
        spec->setPrefix("Foto: ");
        spec->setSuffix(".");
        c.setUp(*spec);
        EXPECT_EQ(spec->textWithFilePath("/p.jpg", records), c.expected) << c.name;
    }
    setSettings(false, false);
    auto untrimmed = textBlockSpec::create();
    untrimmed->setTextGenerationIPTCField(cIPTCCode(2, 10));
    EXPECT_EQ(untrimmed->textWithFilePath(std::nullopt, records), "   ");
    EXPECT_TRUE(mAlerts->alerts().empty());
}

TEST_F(TextBlockGeneration, MissingFieldsAreReportedOncePerGeneration)
{
    auto spec = textBlockSpec::create();
    spec->setTextSource(1);
    spec->setTextConcatSpecs(iptcTextConcatSpec::Array{rule({.extracted = 80}), rule({.extracted = 110}),
                                                       rule({.extracted = 115, .conditional = 110, .condition = 9})});
    const auto records = utf8Records({{115, "dpa"}});

    EXPECT_EQ(spec->textWithFilePath(std::nullopt, records), std::nullopt);
    EXPECT_TRUE(mAlerts->alerts().empty()) << "the alert is off";

    setSettings(true, true);
    spec->textWithFilePath(std::nullopt, records);
    ASSERT_EQ(mAlerts->alerts().size(), 1u);
    const Alert twoMissing = mAlerts->alerts()[0].alert;
    EXPECT_NE(twoMissing.informativeText.find("By-line, Credit"), std::string::npos) << twoMissing.informativeText;
    EXPECT_NE(twoMissing.messageText.find('2'), std::string::npos) << twoMissing.messageText;

    spec->textWithFilePath(std::nullopt, utf8Records({{80, "Anna"}, {115, "dpa"}}));
    ASSERT_EQ(mAlerts->alerts().size(), 2u);
    EXPECT_NE(mAlerts->alerts()[1].alert.informativeText.find("Credit"), std::string::npos);
    EXPECT_NE(mAlerts->alerts()[1].alert.messageText, twoMissing.messageText) << "one field is error -60";
}

TEST(textBlockSpec, IdentityRegistryAndCopies)
{
    auto portrait = textBlockSpec::create();
    portrait->setName("Portrait");
    const std::string id = portrait->uniqueIDString();
    EXPECT_EQ(id.size(), 36u);
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(id), portrait);
    textBlockSpecToUniqueIDStringTransformer::registerTransformer();
    const auto transformer = ValueTransformer::valueTransformerForName(textBlockSpecToUniqueIDStringTransformer::Name);
    EXPECT_EQ(std::any_cast<textBlockSpec::Pointer>(transformer->transformedValue(id)), portrait);
    EXPECT_EQ(std::any_cast<std::string>(transformer->reverseTransformedValue(portrait)), id);

    auto copied = portrait->copy();
    EXPECT_EQ(copied->name(), "Portrait copy");
    EXPECT_FALSE(copied->isEqual(*portrait));

    const auto archive = archivedData(*portrait);
    auto first = unarchiveObject<textBlockSpec>(*archive);
    auto second = unarchiveObject<textBlockSpec>(*archive);
    EXPECT_NE(first->uniqueIDString(), id);
    EXPECT_NE(second->uniqueIDString(), first->uniqueIDString());
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(id), portrait) << "a fresh identity never displaces";

    const std::weak_ptr<textBlockSpec> watch = portrait;
    portrait.reset();
    EXPECT_TRUE(watch.expired()) << "the registry does not own";
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(id), nullptr);
    EXPECT_FALSE(transformer->transformedValue(id).has_value());
    auto adopted = unarchiveObject<textBlockSpec>(*archive);
    EXPECT_EQ(adopted->uniqueIDString(), id);
    EXPECT_EQ(archivedData(*adopted), archive) << "every value survives the archive";
    EXPECT_EQ(textBlockSpec::findRegisteredSpecWithUniqueID(std::nullopt), nullptr);
}

TEST(textBlockSpec, ArchiveKeepsEveryFieldAndKind)
{
    auto caption = textBlockSpec_Caption::create();
    caption->setParagraphStyleName("Caption");
    caption->setTextGenerationAppleScript("script");
    caption->setHorizontalGutter(2.5f);
    caption->setTextGenerationIPTCField(cIPTCCode(2, 120));
    caption->theHotKey()->setHotKeyEvent(KeyEvent{KeyEvent::KeyDown, 11, ModifierFlag::Command, "b"});
    caption->setDisplay(false);
    caption->setTextSource(1);
    caption->setTextWrap(300);
    caption->setTextConcatSpecs(iptcTextConcatSpec::Array{rule({.extracted = 120, .prefix = "x"})});
    caption->setSearchReplaceSpecs(PlistArray{PlistDictionary{{"search", "a"}}});
    const auto archive = archivedData(*caption);
    const std::string id = caption->uniqueIDString();
    caption.reset();

    const auto read = unarchiveObject<textBlockSpec>(*archive);
    ASSERT_TRUE(read);
    EXPECT_TRUE(std::dynamic_pointer_cast<textBlockSpec_Caption>(read));
    EXPECT_EQ(read->uniqueIDString(), id);
    EXPECT_EQ(read->theHotKey()->menuItemString(), "⌘B");
    EXPECT_EQ(read->horizontalGutter(), 2.5f);
    EXPECT_EQ(read->textWrap(), 300);
    EXPECT_EQ(archivedData(*read), archive);
}

TEST(quillmarkPublication, NewTextBlocksAndDefaults)
{
    auto publication = quillmarkPublication::create();
    EXPECT_EQ(publication->name(), "New publication");
    ASSERT_EQ(publication->bylines().size(), 1u);
    ASSERT_EQ(publication->captions().size(), 1u);
    EXPECT_EQ(publication->bylines()[0]->name(), "New byline");
    EXPECT_EQ(publication->captions()[0]->name(), "New caption");
    EXPECT_FALSE(publication->defaultBylineID());
    EXPECT_EQ(publication->defaultBylineSpec(), publication->bylines()[0]);

    publication->captions()[0]->setName("New byline 3");
    auto appended = publication->newByline(std::nullopt);
    EXPECT_EQ(appended->name(), "New byline 1");
    EXPECT_EQ(publication->bylines().back(), appended);
    publication->newByline(std::nullopt);
    auto inserted = publication->newByline(1);
    EXPECT_EQ(inserted->name(), "New byline 3") << "captions do not count";
    EXPECT_EQ(publication->bylines()[2], inserted);
    EXPECT_EQ(publication->bylines().size(), 4u);

    publication->setDefaultCaptionID(publication->captions()[0]->uniqueIDString());
    auto duplicate = publication->copy();
    EXPECT_FALSE(duplicate->captions()[0]->isEqual(*publication->captions()[0]));
    EXPECT_EQ(duplicate->defaultCaptionSpec(), publication->captions()[0]) << "defaults still name the source's";
    publication.reset();
    EXPECT_EQ(duplicate->defaultCaptionSpec(), duplicate->captions()[0]) << "falls back to the first caption";
}

} // namespace
} // namespace qm
