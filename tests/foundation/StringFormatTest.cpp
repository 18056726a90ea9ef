#include <gtest/gtest.h>

#include "foundation/StringFormat.h"

namespace qm {
namespace {

TEST(StringFormat, PlaceholdersTakeArgumentsAsText)
{
    struct Case {
        const char* format;
        std::string expected;
    };
    const Case cases[] = {
        {"%@ copy", "Portrait copy"},
        {"%@ %d", "Portrait 2"},
        {"%2$@ before %1$@", "2 before Portrait"},
        {"100%% %s %", "100% %s %"},
        {"%@ %@ %@", "Portrait 2 "},
        {"%0$@ %x", "%0$@ %x"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(formatText(c.format, {"Portrait", "2"}), c.expected) << c.format;
    EXPECT_EQ(formatText("%@", {"50%d %@"}), "50%d %@") << "arguments are never formats";
}

} // namespace
} // namespace qm
