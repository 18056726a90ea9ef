#include "foundation/Log.h"
#include "support/ByteFixtures.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

using test::repeated;

std::string written(std::string_view text)
{
    LogCapture log;
    Log::message(text);
    const auto lines = log.lines();
    return lines.size() == 1 ? lines.front() : "(" + std::to_string(lines.size()) + " lines)";
}

TEST(Log, WritesControlCharactersAndStrayBytesAsEscapes)
{
    const struct {
        const char* name;
        std::string text;
        std::string line;
    } cases[] = {
        {"line breaks and tab", "a\nb\r\tc", "a\\nb\\r\\tc"},
        {"zero byte", std::string("a\0b", 3), "a\\x00b"},
        {"escape sequence", "\x1B[2Jcleared", "\\x1b[2Jcleared"},
        {"delete", "x\x7F", "x\\x7f"},
        {"C1 control", "\xC2\x9B" "31m", "\\u009b31m"},
        {"bytes that are not UTF-8", "\xFF\xC3(", "\\xff\\xc3("},
        {"backslash and letters", "Z\xC3\xBCrich \\ \xE2\x80\x9Cok\xE2\x80\x9D",
         "Z\xC3\xBCrich \\ \xE2\x80\x9Cok\xE2\x80\x9D"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(written(c.text), c.line) << c.name;
}

TEST(Log, CutsLongLinesBetweenCharacters)
{
    const std::string cut = "…";
    const struct {
        const char* name;
        std::string text;
        std::string line;
    } cases[] = {
        {"as long as allowed", std::string(Log::LineBytes, 'a'), std::string(Log::LineBytes, 'a')},
        {"one byte more", std::string(Log::LineBytes + 1, 'a'), std::string(Log::LineBytes - 3, 'a') + cut},
        {"two-byte characters", repeated("\xC3\xBC", 200), repeated("\xC3\xBC", 148) + cut},
        {"escapes stay whole", std::string(200, '\n'), repeated("\\n", 148) + cut},
    };
    for (const auto& c : cases) {
        const std::string line = written(c.text);
        EXPECT_LE(line.size(), Log::LineBytes) << c.name;
        EXPECT_EQ(line, c.line) << c.name;
    }
}

TEST(Log, ExcerptsKeepAtMostTheFirstCharacters)
{
    const std::string cut = "…";
    const struct {
        const char* name;
        std::string text;
        std::string excerpt;
    } cases[] = {
        {"empty", "", ""},
        {"short", "Kingston", "Kingston"},
        {"as long as allowed", repeated("\xC3\xA4", Log::ExcerptCharacters),
         repeated("\xC3\xA4", Log::ExcerptCharacters)},
        {"one character more", repeated("\xC3\xA4", Log::ExcerptCharacters + 1),
         repeated("\xC3\xA4", Log::ExcerptCharacters - 1) + cut},
        {"four-byte characters", repeated("\xF0\x9F\x93\xB7", 500),
         repeated("\xF0\x9F\x93\xB7", Log::ExcerptCharacters - 1) + cut},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Log::excerpt(c.text), c.excerpt) << c.name;
}

} // namespace
} // namespace qm
