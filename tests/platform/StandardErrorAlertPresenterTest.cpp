#include <gtest/gtest.h>

#include <sstream>

#include "platform/StandardErrorAlertPresenter.h"

namespace qm {
namespace {

TEST(StandardErrorAlertPresenterTest, WritesOneBlockPerAlertOrError)
{
    struct Case {
        Alert alert;
        std::optional<Error> error;
        std::string text;
    };
    const Case cases[] = {
        {{"Quillmark alert", "A field is missing.", "The picture has no “City” (100%s).", {"OK", "Cancel"}, true},
         std::nullopt,
         "Quillmark alert: A field is missing.\nThe picture has no “City” (100%s).\n"},
        {{"", "Plain message.", "", {}, false}, std::nullopt, "Plain message.\n"},
        {{"T", "M", "Line one.\rLine two.\r\n\rEnd.", {}, false}, std::nullopt, "T: M\nLine one.\nLine two.\n\nEnd.\n"},
        {{}, Error{"Quillmark", -61, "2 fields are missing.", "Missing: City, Credit."},
         "Error: 2 fields are missing.\nMissing: City, Credit.\n"},
        {{}, Error{"org.quillmark.Quillmark", -8, "", ""}, "Error -8 (org.quillmark.Quillmark)\n"},
    };
    for (const auto& c : cases) {
        std::ostringstream stream;
        StandardErrorAlertPresenter presenter(stream);
        presenter.activateApplication();
        if (c.error) {
            presenter.presentError(*c.error);
        } else {
            const AlertResponse response = presenter.runModal(c.alert);
            EXPECT_EQ(response.buttonIndex, 0);
            EXPECT_FALSE(response.suppressionChecked);
        }
        EXPECT_EQ(stream.str(), c.text);
    }
}

} // namespace
} // namespace qm
