#include <gtest/gtest.h>

#include "WidgetFixture.h"
#include "ui/Localized.h"

namespace qm::test {
namespace {

TEST(LocalizationTest, TextsFollowTheUsersLanguage)
{
    struct Case {
        const char* language;
        const char* key;
        const char* text;
    } cases[] = {
        {"sv_SE.UTF-8", "Make byline", "Skapa byline"},
        {"sv_SE.UTF-8", "Open image file with application %@\rClick and hold to see a list of applications",
         "Öppna bildfilen med programmet %@\rHåll ned för att se en lista med program"},
        {"sv_SE.UTF-8", "Indesign isn't running", "%1$@ är inte igång"},
        {"en_GB.UTF-8", "Make byline", "Make byline"},
        {"en_GB.UTF-8", "Indesign isn't running", "%1$@ isn't running"},
    };
    for (const auto& test : cases) {
        ScopedEnvironment noLanguage("LANGUAGE", std::nullopt), noAll("LC_ALL", std::nullopt),
            noMessages("LC_MESSAGES", std::nullopt), language("LANG", test.language);
        EXPECT_EQ(localized(test.key), QString::fromUtf8(test.text)) << test.language << ": " << test.key;
    }
}

} // namespace
} // namespace qm::test
