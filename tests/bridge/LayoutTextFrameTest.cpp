#include "LayoutConnectionFixture.h"

#include "foundation/UserDefaults.h"
#include "textgen/textBlockSpec.h"
#include "textgen/TextgenFixtures.h"

namespace qm {
namespace {

using test::FakeLayoutApplication;

// A running Scribus with an open document, and the three settings text frame creation reads.
class LayoutTextFrameTest : public test::LayoutConnectionFixture {
protected:
    void SetUp() override
    {
        LayoutConnectionFixture::SetUp();
        startScribus().setDocument(FakeLayoutApplication::Document{});
        mSpec->setTextGenerationIPTCField(cIPTCCode(2, 80));
    }
    void TearDown() override
    {
        for (const char* key : {"optionKeyOverridesEmptyFrame", "optionKeyDummyText", "selectCreatedTextFrames"})
            UserDefaults::standard().removeObject(key);
        LayoutConnectionFixture::TearDown();
    }
    std::vector<nlohmann::json> framesMade() { return mRunningApplications[ScribusPid]->document()->textFrames; }

    LayoutConnection mConnection{bundle()};
    textBlockSpec::Pointer mSpec = textBlockSpec::create();
};

TEST_F(LayoutTextFrameTest, MakeTextBoxGetsTheFifteenValuesInOrderAndType)
{
    mSpec->setParagraphStyleName("Byline");
    mSpec->setTextColorSwatchName("Black");
    mSpec->setPosition(3);
    mSpec->setFrameIndependentDimension(5.5f);
    mSpec->setHorizontalGutter(0.1f);
    mSpec->setVerticalGutter(12.0f);
    mSpec->setFitFrameToContent(true);
    mSpec->setTextAngle(2);
    mSpec->setVerticalJustification(1);
    mSpec->setHorizontalJustification(4);
    struct Case {
        std::int64_t textWrap;
        bool selectCreatedTextFrames;
        bool multipleFrames;
        const char* flags; // values 14 and 15; the 16th, the role, is empty for a text block of no kind
    };
    const Case cases[] = {
        {1, true, false, "true,true"},
        {0x101, false, false, "true,false"},
        {0x100, true, true, "false,false"},
    };
    for (const auto& testCase : cases) {
        mSpec->setTextWrap(testCase.textWrap);
        UserDefaults::standard().setObject("selectCreatedTextFrames", testCase.selectCreatedTextFrames);

        mConnection.createTextFrame("Foto: Anna", *mSpec, testCase.multipleFrames);

        EXPECT_EQ(framesMade().back().dump(),
                  std::string(R"(["scribus","Foto: Anna","Byline","Black","",3,5.5,0.1,12.0,true,2,1,4,)") +
                      testCase.flags + R"(,""])")
            << testCase.textWrap;
    }
}

TEST_F(LayoutTextFrameTest, TheTextIsTheDummyTextOrTheTextBlocksOwn)
{
    struct Case {
        const char* name;
        std::optional<std::string> imagePath;
        bool overridesEmptyFrame;
        bool optionKey;
        std::optional<std::string> dummyText;
        std::optional<std::string> frameText; // nothing: no frame is made
    };
    const Case cases[] = {
        {"image, Option held", "/pics/a.jpg", true, true, "Lorem", "Lorem"},
        {"image, Option not held", "/pics/a.jpg", true, false, "Lorem", "Anna"},
        {"no image, without Option", std::nullopt, true, false, "Lorem", "Lorem"},
        {"override off, Option held", "/pics/a.jpg", false, true, "Lorem", "Anna"},
        {"override off, no image", std::nullopt, false, true, "Lorem", "Anna"},
        {"dummy case without a stored dummy text", std::nullopt, true, false, std::nullopt, std::nullopt},
    };
    const auto records = test::utf8Records({{80, "Anna"}});
    for (const auto& testCase : cases) {
        UserDefaults::standard().setObject("optionKeyOverridesEmptyFrame", testCase.overridesEmptyFrame);
        if (testCase.dummyText)
            UserDefaults::standard().setObject("optionKeyDummyText", *testCase.dummyText);
        else
            UserDefaults::standard().removeObject("optionKeyDummyText");
        mModifierKeys->setAlternateKeyDown(testCase.optionKey);
        const auto before = framesMade().size();

        mConnection.createText(testCase.imagePath, records, *mSpec, false);

        const auto frames = framesMade();
        ASSERT_EQ(frames.size(), before + (testCase.frameText ? 1 : 0)) << testCase.name;
        if (testCase.frameText) {
            EXPECT_EQ(frames.back()[1], *testCase.frameText) << testCase.name;
        }
    }
}

} // namespace
} // namespace qm
