#include <gtest/gtest.h>

#include "platform/linux/XcbModifierKeys.h"
#include "support/XvfbSession.h"

namespace qm {
namespace {

TEST(XcbModifierKeysTest, AlternateKeyFollowsTheKeyboard)
{
    test::XvfbSession x;
    if (!x.problem().empty())
        GTEST_SKIP() << x.problem();
    if (!test::isInstalled("xdotool"))
        GTEST_SKIP() << "xdotool is needed (Debian package xdotool)";
    auto keys = XcbModifierKeys::create(x.display().c_str());
    ASSERT_TRUE(keys);
    EXPECT_FALSE(keys->alternateKeyIsDown());
    x.run("xdotool keydown alt");
    EXPECT_TRUE(test::waitUntil([&] { return keys->alternateKeyIsDown(); }));
    x.run("xdotool keyup alt");
    EXPECT_TRUE(test::waitUntil([&] { return !keys->alternateKeyIsDown(); }));
}

} // namespace
} // namespace qm
