#include <gtest/gtest.h>

#include "app/TextFrameChecks.h"
#include "textgen/textBlockSpec_Byline.h"

namespace qm {
namespace {

using Findings = TextFrameChecks::Findings;

Findings ready()
{
    return {.isRunning = true, .openDocumentExists = true, .selectedImageExists = true, .imagePath = "/p/a.jpg",
            .paragraphStyleExists = true, .objectStyleExists = true, .colorSwatchExists = true};
}

Findings with(void (*change)(Findings&))
{
    Findings findings = ready();
    change(findings);
    return findings;
}

TEST(TextFrameChecksTest, FirstFailingTestStopsTheRunAndStylesAndFieldsFollow)
{
    auto spec = textBlockSpec_Byline::create();
    spec->setParagraphStyleName("Byline");
    spec->setObjectStyleName(std::string());
    struct Case {
        const char* label;
        Findings findings;
        TextFrameChecks::Context context;
        std::vector<std::string> messages;
        bool fatal;
    };
    const TextFrameChecks::Context plain{.imageFileExists = true, .alertMissingStyles = true, .applicationName = "Scribus"};
    auto option = plain;
    option.optionKeyDown = true;
    auto noFile = plain;
    noFile.imageFileExists = false;
    auto silent = plain;
    silent.alertMissingStyles = false;
    const Case cases[] = {
        {"ready", ready(), plain, {}, false},
        {"not running", with([](Findings& f) { f.isRunning = false; f.openDocumentExists = false; }), plain,
         {"Scribus isn't running"}, true},
        {"no document", with([](Findings& f) { f.openDocumentExists = false; }), plain, {"No Scribus documents are open"}, true},
        {"nothing selected", with([](Findings& f) { f.selectedImageExists = false; }), plain,
         {"Nothing is selected in Scribus"}, true},
        {"no image", with([](Findings& f) { f.imagePath.reset(); }), plain,
         {"The selected frame in Scribus doesn't contain an image"}, true},
        {"no image, Option held", with([](Findings& f) { f.imagePath.reset(); }), option, {}, false},
        {"file missing", ready(), noFile, {"The image file /p/a.jpg can't be found"}, true},
        {"not running, silent", with([](Findings& f) { f.isRunning = false; }), silent, {"Scribus isn't running"}, true},
        {"named styles missing",
         with([](Findings& f) { f.paragraphStyleExists = f.objectStyleExists = f.colorSwatchExists = false; }), plain,
         {"The Scribus paragraph style \"Byline\" doesn't exist."}, false},
        {"fields missing", with([](Findings& f) { f.missingMetadata = {cIPTCCode(2, 80), cIPTCCode(2, 110)}; }), plain,
         {"The following required metadata fields are missing in the image file: By-line, Credit\r"}, true},
        {"fields missing, Option held", with([](Findings& f) { f.missingMetadata = {cIPTCCode(2, 80)}; }), option, {},
         false},
        {"fields missing, silent", with([](Findings& f) { f.missingMetadata = {cIPTCCode(2, 80)}; }), silent, {}, false},
    };
    for (const auto& c : cases) {
        const auto outcome = TextFrameChecks::check(c.findings, *spec, c.context);
        EXPECT_EQ(outcome.messages, c.messages) << c.label;
        EXPECT_EQ(outcome.fatal, c.fatal) << c.label;
    }
}

TEST(TextFrameChecksTest, OneAlertShowsTheMessagesLiterally)
{
    const auto fatal = TextFrameChecks::alertFor({{"100% %@ sure", "second"}, true});
    EXPECT_EQ(fatal.messageText, "The text can't be created.");
    EXPECT_EQ(fatal.informativeText, "100% %@ sure\rsecond");
    EXPECT_EQ(fatal.windowTitle, "Quillmark error");
    EXPECT_EQ(fatal.buttonTitles, std::vector<std::string>{"OK"});
    EXPECT_TRUE(fatal.showsSuppressionButton);
    EXPECT_EQ(TextFrameChecks::alertFor({{"x"}, false}).messageText, "The text may not look as expected.");
}

} // namespace
} // namespace qm
