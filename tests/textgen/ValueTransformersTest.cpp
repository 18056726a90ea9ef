#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include <unistd.h>

#include "foundation/UserDefaults.h"
#include "textgen/TrimWhitespaceTransformer.h"
#include "textgen/URLToDisplayNameTransformer.h"

namespace qm {
namespace {

TEST(URLToDisplayNameTransformerTest, AFileURLGivesTheNameOfTheItemAtItsPath)
{
    struct Case {
        const char* url;
        const char* path;
        const char* name;
    } cases[] = {
        {"file:///home/ed/Pictures/b%20c.jpg", "/home/ed/Pictures/b c.jpg", "b c.jpg"},
        {"file://localhost/tmp/K%C3%B6ln.tif", "/tmp/Köln.tif", "Köln.tif"},
        {"/tmp/plain path.jpg", "/tmp/plain path.jpg", "plain path.jpg"},
        {"file:///tmp/100%.jpg", "/tmp/100%.jpg", "100%.jpg"},
    };
    const URLToDisplayNameTransformer transformer;
    std::vector<std::string> urls;
    for (const auto& test : cases) {
        EXPECT_EQ(URLToDisplayNameTransformer::pathOfURL(test.url), test.path) << test.url;
        EXPECT_EQ(std::any_cast<std::string>(transformer.transformedValue(std::string(test.url))), test.name) << test.url;
        urls.push_back(test.url);
    }
    const auto names = std::any_cast<std::vector<std::string>>(URLToDisplayNameArrayTransformer().transformedValue(urls));
    ASSERT_EQ(names.size(), std::size(cases));
    EXPECT_EQ(names[1], "Köln.tif");
    EXPECT_FALSE(transformer.transformedValue(42).has_value());
}

TEST(TrimWhitespaceTransformerTest, TrimsOnlyWhileTheSettingIsOn)
{
    const auto file = std::filesystem::temp_directory_path() / ("quillmark-trim-" + std::to_string(::getpid()) + ".plist");
    UserDefaults defaults(file);
    const TrimWhitespaceTransformer transformer(defaults);
    for (const bool trim : {false, true}) {
        defaults.setObject("trimWhitespace", PlistValue(trim));
        const auto text = std::any_cast<std::string>(transformer.transformedValue(std::string(" \r Photo: Ann \n")));
        EXPECT_EQ(text, trim ? "Photo: Ann" : " \r Photo: Ann \n") << "trimWhitespace " << trim;
    }
    std::filesystem::remove(file);
}

} // namespace
} // namespace qm
