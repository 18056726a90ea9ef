#include <gtest/gtest.h>

#include <fstream>

#include "bridge/LayoutCodes.h"

namespace qm {
namespace {

// The layout script reads its copy of the table; a change here needs
// `quillmark-cli layout codes --json > resources/layout/scribus/layout_codes.json`.
TEST(LayoutCodesTest, TheLayoutScriptsCopyIsTheTable)
{
    std::ifstream copy(QUILLMARK_SOURCE_DIR "/resources/layout/scribus/layout_codes.json");
    ASSERT_TRUE(copy);
    EXPECT_EQ(nlohmann::json::parse(copy), LayoutCodes::json());
}

TEST(LayoutCodesTest, EveryFieldDefaultsToCodeZeroAndUnknownCodesFallBackToIt)
{
    for (const auto& field : LayoutCodes::fields()) {
        SCOPED_TRACE(field.name);
        EXPECT_EQ(field.choices.front().code, 0);
        EXPECT_EQ(LayoutCodes::choice(field, 99).code, 0);
        EXPECT_EQ(LayoutCodes::choice(field, field.choices.back().code).key, field.choices.back().key);
    }
    EXPECT_EQ(LayoutCodes::field("position")->choices.at(0).key, "below");
    EXPECT_EQ(LayoutCodes::field("nothing"), nullptr);
}

} // namespace
} // namespace qm
