#include <gtest/gtest.h>

#include <vector>

#include "foundation/MainThread.h"
#include "platform/linux/XcbHotKeyRegistrar.h"
#include "support/XvfbSession.h"

namespace qm {
namespace {

using test::waitUntil;

namespace Carbon {
constexpr std::uint32_t Command = 0x0100, Shift = 0x0200, Option = 0x0800, Control = 0x1000;
}
constexpr std::uint16_t KeyB = 0x0B, Key7 = 0x1A, KeyF5 = 0x60, KeyT = 0x11, KeyY = 0x10;

class XcbHotKeyRegistrarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!mX.problem().empty())
            GTEST_SKIP() << mX.problem();
        if (!test::isInstalled("xdotool"))
            GTEST_SKIP() << "xdotool is needed (Debian package xdotool)";
        mRegistrar = XcbHotKeyRegistrar::create(mX.display().c_str());
        ASSERT_TRUE(mRegistrar);
        mRegistrar->setPressedHandler([this](HotKeyID id) { mPressed.push_back(id.id); });
    }

    // Presses the keys and runs the main thread's tasks until `count` presses in all have arrived.
    bool pressUntil(const std::string& keys, std::size_t count)
    {
        mX.run("xdotool key " + keys);
        return waitUntil([&] {
            MainThread::runPendingTasks();
            return mPressed.size() >= count;
        });
    }

    test::XvfbSession mX;
    std::shared_ptr<XcbHotKeyRegistrar> mRegistrar;
    std::vector<std::uint32_t> mPressed;
};

TEST_F(XcbHotKeyRegistrarTest, FiresWhateverLockKeysAreOn)
{
    const struct {
        std::uint16_t keyCode;
        std::uint32_t carbonModifiers;
        const char* keys;
        const char* lock; // toggled on before the press and off after it
    } cases[] = {
        {KeyB, Carbon::Control | Carbon::Option, "ctrl+alt+b", ""},
        {KeyB, Carbon::Control | Carbon::Option, "ctrl+alt+b", "Num_Lock"},
        {KeyB, Carbon::Control | Carbon::Option, "ctrl+alt+b", "Caps_Lock"},
        {Key7, Carbon::Command | Carbon::Shift, "super+shift+7", "Num_Lock"},
        {KeyF5, 0, "F5", "Caps_Lock"},
    };
    std::uint32_t id = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.keys) + " with " + (*c.lock ? c.lock : "no lock"));
        ASSERT_TRUE(mRegistrar->registerHotKey(c.keyCode, c.carbonModifiers, {1, ++id})) << *mRegistrar->refusalReason();
        if (*c.lock)
            mX.run(std::string("xdotool key ") + c.lock);
        ASSERT_TRUE(pressUntil(c.keys, id));
        EXPECT_EQ(mPressed.back(), id);
        if (*c.lock)
            mX.run(std::string("xdotool key ") + c.lock);
        mRegistrar->unregisterHotKey({1, id});
    }
}

// X delivers presses in order: once the second key's press is in, the first one's would be too.
TEST_F(XcbHotKeyRegistrarTest, StopsFiringWhenUnregistered)
{
    ASSERT_TRUE(mRegistrar->registerHotKey(KeyB, Carbon::Control, {1, 1}));
    ASSERT_TRUE(mRegistrar->registerHotKey(KeyT, Carbon::Control, {1, 2}));
    mRegistrar->unregisterHotKey({1, 1});
    mX.run("xdotool key ctrl+b");
    ASSERT_TRUE(pressUntil("ctrl+t", 1));
    EXPECT_EQ(mPressed, std::vector<std::uint32_t>{2});
}

// On a German keyboard Y and Z trade places: the hot key stays on the letter.
TEST_F(XcbHotKeyRegistrarTest, LettersFollowTheUsersLayout)
{
    if (!test::isInstalled("setxkbmap"))
        GTEST_SKIP() << "setxkbmap is needed (Debian package x11-xkb-utils)";
    ASSERT_EQ(mX.run("setxkbmap de"), 0);
    auto registrar = XcbHotKeyRegistrar::create(mX.display().c_str());
    registrar->setPressedHandler([this](HotKeyID id) { mPressed.push_back(id.id); });
    ASSERT_TRUE(registrar->registerHotKey(KeyY, Carbon::Control, {1, 7}));
    ASSERT_TRUE(pressUntil("ctrl+y", 1));
    EXPECT_EQ(mPressed, std::vector<std::uint32_t>{7});
}

TEST_F(XcbHotKeyRegistrarTest, RefusesAndSaysSoWhenAnotherProgramHoldsTheKey)
{
    auto otherProgram = XcbHotKeyRegistrar::create(mX.display().c_str());
    ASSERT_TRUE(otherProgram->registerHotKey(KeyB, Carbon::Control | Carbon::Option, {2, 1}));
    EXPECT_FALSE(mRegistrar->registerHotKey(KeyB, Carbon::Control | Carbon::Option, {1, 1}));
    EXPECT_EQ(mRegistrar->refusalReason(), "Another program already uses this key combination as a global hot key.");
    otherProgram->unregisterHotKey({2, 1});
    EXPECT_TRUE(mRegistrar->registerHotKey(KeyB, Carbon::Control | Carbon::Option, {1, 1}));
    EXPECT_EQ(mRegistrar->refusalReason(), std::nullopt);
}

} // namespace
} // namespace qm
