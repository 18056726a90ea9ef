#include <gtest/gtest.h>

#include "app/TextBlockSpecPasteboard.h"
#include "platform/Pasteboard.h"
#include "textgen/textBlockSpec_Byline.h"
#include "textgen/textBlockSpec_Caption.h"

namespace qm::test {
namespace {

using Specs = std::vector<textBlockSpec::Pointer>;

class TextBlockSpecPasteboardTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        Pasteboard::install(nullptr);
        mByline->setName("Photographer");
        mByline->setParagraphStyleName("Byline");
        mByline->setTextColorSwatchName("Red");
        mByline->setObjectStyleName("Credit");
        mByline->setFrameIndependentDimension(12);
        mByline->setHorizontalGutter(3);
        mByline->setVerticalGutter(4);
        mByline->setFitFrameToContent(true);
        mByline->setPosition(2);
        mByline->setTextAngle(1);
        mByline->setVerticalJustification(2);
        mByline->setHorizontalJustification(3);
        mByline->setTextWrap(1);
        mByline->setPrefix("Photo: ");
        mByline->setTextSource(textBlockSpec::textSourceRules);
        mByline->setTextConcatSpecs(iptcTextConcatSpec::Array{iptcTextConcatSpec::create()});
        mByline->textConcatSpecs()->front()->setPrefix("rule");
        mByline->setSearchReplaceSpecs(PlistArray{PlistDictionary{{"search", "AFP"}, {"replace", "Agence"}}});
        mByline->setDisplay(false);
        mByline->theHotKey()->setHotKeyEvent(KeyEvent{KeyEvent::KeyDown, 11, ModifierFlag::Control, "b"});
        mCaption->setName("Caption");
        mCaption->setTextGenerationIPTCField(cIPTCCode(2, 120));
        mCaption->setTextConcatSpecs(iptcTextConcatSpec::Array{});
    }

    ArrayController<textBlockSpec::Pointer> captionSelected() { return {{mByline, mCaption}, 1, nullptr}; }

    textBlockSpec_Byline::Pointer mByline = textBlockSpec_Byline::create();
    textBlockSpec_Caption::Pointer mCaption = textBlockSpec_Caption::create();
};

TEST_F(TextBlockSpecPasteboardTest, PastingTheTextFramePropertiesChangesOnlyTheFrame)
{
    EXPECT_FALSE(TextBlockSpecPasteboard::canPasteTextBlockSpecData());
    const ArrayController<textBlockSpec::Pointer> bylineSelected{{mByline, mCaption}, 0, nullptr};
    ASSERT_TRUE(TextBlockSpecPasteboard::copyTextBlockSpecFromArrayController(bylineSelected));
    EXPECT_TRUE(TextBlockSpecPasteboard::canPasteTextBlockSpecData());
    const std::string id = mCaption->uniqueIDString();

    ASSERT_TRUE(TextBlockSpecPasteboard::pasteTextFramePropertiesIntoSelectedSpec(captionSelected()));
    EXPECT_EQ(mCaption->paragraphStyleName(), "Byline");
    EXPECT_EQ(mCaption->textColorSwatchName(), "Red");
    EXPECT_EQ(mCaption->objectStyleName(), "Credit");
    EXPECT_EQ(mCaption->frameIndependentDimension(), 12);
    EXPECT_EQ(mCaption->horizontalGutter(), 3);
    EXPECT_EQ(mCaption->verticalGutter(), 4);
    EXPECT_TRUE(mCaption->fitFrameToContent());
    EXPECT_EQ((std::vector<std::int64_t>{mCaption->position(), mCaption->textAngle(), mCaption->verticalJustification(),
                                         mCaption->horizontalJustification(), mCaption->textWrap()}),
              (std::vector<std::int64_t>{2, 1, 2, 3, 1}));
    EXPECT_EQ(mCaption->name(), "Caption");
    EXPECT_EQ(mCaption->uniqueIDString(), id);
    EXPECT_TRUE(mCaption->textConcatSpecs()->empty()) << "the rules are not frame properties";
    EXPECT_EQ(mCaption->prefix(), std::nullopt);
    EXPECT_TRUE(mCaption->display());
}

TEST_F(TextBlockSpecPasteboardTest, PastedRulesPairsAndHotKeyAreTheTargetsOwn)
{
    TextBlockSpecPasteboard::copyTextBlockSpec(*mByline);
    ASSERT_TRUE(TextBlockSpecPasteboard::pasteAllPropertiesIntoSelectedSpec(captionSelected()));
    EXPECT_EQ(mCaption->prefix(), "Photo: ");
    EXPECT_EQ(mCaption->textSource(), textBlockSpec::textSourceRules);
    EXPECT_EQ(mCaption->textGenerationIPTCField(), std::nullopt);
    EXPECT_EQ(mCaption->searchReplaceSpecs(), mByline->searchReplaceSpecs());
    EXPECT_FALSE(mCaption->display());
    EXPECT_EQ(mCaption->theHotKey()->menuItemString(), mByline->theHotKey()->menuItemString());
    EXPECT_NE(mCaption->theHotKey(), mByline->theHotKey());
    EXPECT_EQ(mCaption->name(), "Caption");

    ASSERT_EQ(mCaption->textConcatSpecs()->size(), 1u);
    EXPECT_NE(mCaption->textConcatSpecs()->front(), mByline->textConcatSpecs()->front());
    mCaption->textConcatSpecs()->front()->setPrefix("edited");
    EXPECT_EQ(mByline->textConcatSpecs()->front()->prefix(), "rule") << "the copied text block's rules stay";

    auto other = textBlockSpec_Caption::create();
    TextBlockSpecPasteboard::pasteProperties(TextBlockSpecPasteboard::TextExtraction, *other);
    EXPECT_NE(other->textConcatSpecs()->front(), mCaption->textConcatSpecs()->front()) << "new rules for each paste";
}

TEST_F(TextBlockSpecPasteboardTest, NothingChangesWithoutATargetOrAPastedTextBlock)
{
    struct Case {
        const char* name;
        std::function<void()> fillPasteboard;
        std::optional<std::size_t> selection;
    } cases[] = {
        {"nothing selected", [&] { TextBlockSpecPasteboard::copyTextBlockSpec(*mByline); }, std::nullopt},
        {"selection past the end", [&] { TextBlockSpecPasteboard::copyTextBlockSpec(*mByline); }, 2},
        {"text on the pasteboard", [] { Pasteboard::current()->setString("Photographer"); }, 1},
        {"data that is no text block", [] { Pasteboard::current()->setData(textBlockSpec::textBlockSpecClipboardType, {1, 2}); },
         1},
    };
    for (const auto& test : cases) {
        test.fillPasteboard();
        ArrayController<textBlockSpec::Pointer> controller{{mByline, mCaption}, test.selection, nullptr};
        EXPECT_FALSE(TextBlockSpecPasteboard::pasteAllPropertiesIntoSelectedSpec(controller)) << test.name;
        EXPECT_EQ(mCaption->paragraphStyleName(), std::nullopt) << test.name;
        EXPECT_EQ(mCaption->textGenerationIPTCField(), cIPTCCode(2, 120)) << test.name;
    }
    ArrayController<textBlockSpec::Pointer> nothingSelected{{mByline}, std::nullopt, nullptr};
    Pasteboard::current()->setString("kept");
    EXPECT_FALSE(TextBlockSpecPasteboard::copyTextBlockSpecFromArrayController(nothingSelected));
    EXPECT_EQ(Pasteboard::current()->string(), "kept") << "nothing is copied without a selection";
}

} // namespace
} // namespace qm::test
