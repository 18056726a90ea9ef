#include <gtest/gtest.h>

#include "foundation/Log.h"
#include "hotkeys/hotKey.h"
#include "platform/fake/FakeHotKeyRegistrar.h"

namespace qm {
namespace {

using namespace ModifierFlag;

KeyEvent keyDown(std::uint16_t keyCode, std::uint64_t flags, std::string characters = "")
{
    return KeyEvent{KeyEvent::KeyDown, keyCode, flags, std::move(characters)};
}

TEST(hotKeyTest, NamesKeysAndModifiers)
{
    struct Case {
        KeyEvent event;
        const char* keyString;
        const char* modifierString;
        const char* menuItemString;
        std::uint32_t carbonModifiers;
    };
    const Case cases[] = {
        {keyDown(96, Function), "F5", "", "F5", 0},
        {keyDown(123, Function | Command), "←", "⌘", "⌘←", 0x0100},
        {keyDown(126, Function | Option | Command), "↑", "⌥⌘", "⌥⌘↑", 0x0900},
        {keyDown(36, Command, "\r"), "↵", "⌘", "⌘↵", 0x0100},
        {keyDown(11, Shift | Command, "b"), "b", "⇧⌘", "⇧⌘B", 0x0300},
        {keyDown(11, AlphaShift | Command, "b"), "b", "⇧⌘", "⇧⌘B", 0x0100},
        {keyDown(11, Command | Option | Control | Shift, "b"), "b", "⇧⌃⌥⌘", "⇧⌃⌥⌘B", 0x1B00},
        {keyDown(41, Command, "ödd"), "ö", "⌘", "⌘Ö", 0x0100},
        {keyDown(50, Command, "𝄞"), "𝄞", "⌘", "⌘𝄞", 0x0100},
        {keyDown(50, Command, ""), "", "⌘", "", 0x0100},
        {keyDown(50, Command, "\xff"), "", "⌘", "", 0x0100},
        {KeyEvent{11, 11, Command, "b"}, "", "", "", 0}, // a key-up
        {KeyEvent{}, "", "", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.menuItemString + std::string(" key ") + std::to_string(c.event.keyCode));
        const hotKey key(c.event);
        EXPECT_EQ(key.validHotKey(), c.event.type == KeyEvent::KeyDown);
        EXPECT_EQ(key.keyString(), c.keyString);
        EXPECT_EQ(key.modifierString(), c.modifierString);
        EXPECT_EQ(key.menuItemString(), c.menuItemString);
        EXPECT_EQ(key.carbonModifiers(), c.carbonModifiers);
        EXPECT_EQ(key.keyCode(), key.validHotKey() ? c.event.keyCode : 0);
        EXPECT_EQ(key.modifiers(), key.validHotKey() ? c.event.modifierFlags : 0);
    }
}

TEST(hotKeyTest, CaptureAcceptsKeyDownsWithCommandControlOrFunction)
{
    struct Case {
        KeyEvent event;
        bool accepted;
    };
    const Case cases[] = {
        {keyDown(11, 0, "b"), false},
        {keyDown(96, Function), true},
        {keyDown(11, Command, "b"), true},
        {keyDown(11, Control, "b"), true},
        {KeyEvent{11, 11, Command, "b"}, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(hotKey::acceptsCapturedEvent(c.event), c.accepted)
            << c.event.type << " " << c.event.keyCode << " " << c.event.modifierFlags;
}

TEST(hotKeyTest, ObserversHearEventChanges)
{
    hotKey key;
    EXPECT_FALSE(key.validHotKey());
    std::vector<std::pair<std::string, KeyValueObservable::Change>> heard;
    key.addObserver("menuItemString", [&](const std::string& name, KeyValueObservable::Change change) {
        heard.emplace_back(name, change);
    });
    key.setHotKeyEvent(keyDown(11, Command, "b"));
    EXPECT_EQ(key.menuItemString(), "⌘B");
    EXPECT_NE(key.description().find("hotKey "), std::string::npos);
    EXPECT_NE(key.description().find(" (⌘B)"), std::string::npos);
    key.clearHotKeyEvent();
    EXPECT_FALSE(key.validHotKey());
    EXPECT_EQ(key.hotKeyEvent(), KeyEvent{});
    using Change = KeyValueObservable::Change;
    EXPECT_EQ(heard, (decltype(heard){{"menuItemString", Change::Will}, {"menuItemString", Change::Did},
                                      {"menuItemString", Change::Will}, {"menuItemString", Change::Did}}));
}

TEST(hotKeyTest, ArchivesKeepTheEvent)
{
    for (const KeyEvent& event : {keyDown(11, Shift | Command, "b"), keyDown(96, Function), KeyEvent{},
                                  keyDown(41, ~std::uint64_t{0}, "ö")}) {
        const hotKey original(event);
        auto data = archivedData(original);
        ASSERT_TRUE(data);
        auto copy = hotKey::unarchive(*data);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->hotKeyEvent(), event);
        EXPECT_EQ(copy->menuItemString(), original.menuItemString());
    }

    LogCapture log;
    hotKey eventless;
    eventless.setHotKeyEvent(std::nullopt);
    auto data = archivedData(eventless);
    EXPECT_TRUE(log.contains("no mHotKey in encodeWithCoder"));
    ASSERT_TRUE(data);
    auto read = hotKey::unarchive(*data);
    ASSERT_TRUE(read);
    EXPECT_FALSE(read->validHotKey());
}

TEST(hotKeyTest, UnreadableArchivesGiveAnInvalidHotKey)
{
    LogCapture log;
    const std::uint8_t garbage[] = {'b', 'p', 'l', 'i', 's', 't', 0, 0, 1, 2};
    auto fromGarbage = hotKey::unarchive(garbage);
    ASSERT_TRUE(fromGarbage);
    EXPECT_FALSE(fromGarbage->validHotKey());

    const PlistArray badValues[] = {
        {"junk"},
        {PlistValue(KeyEvent::KeyDown), PlistValue(70000), PlistValue(Command), "b"},
        {PlistValue(-1), PlistValue(11), PlistValue(Command), "b"},
        {PlistValue(KeyEvent::KeyDown), PlistValue(11), PlistValue(Command)},
    };
    for (const auto& values : badValues) {
        ArchiveWriter writer;
        for (const auto& value : values)
            writer.encode(value);
        auto reader = ArchiveReader::sequential(*writer.sequentialData());
        ASSERT_TRUE(reader);
        auto key = hotKey::initWithCoder(*reader);
        ASSERT_TRUE(key);
        EXPECT_FALSE(key->validHotKey()) << values.size();
    }
}

// A registration lasts until it is replaced, cleared, the event is cleared or the hot key is gone;
// a combination another program holds leaves the id {0, 0}.
TEST(hotKeyTest, RegistersThroughThePlatformUnderItsId)
{
    auto registrar = std::make_shared<FakeHotKeyRegistrar>();
    HotKeyRegistrar::install(registrar);
    registrar->markTaken({12, 0x0100});
    const HotKeyID first{0x714D726B, 0}, second{0x714D726B, 10};
    {
        hotKey byline(keyDown(11, Shift | Command, "b"));
        EXPECT_TRUE(byline.installHotKeyRef(first));
        EXPECT_TRUE(byline.installHotKeyRef(second));
        EXPECT_EQ(byline.hotKeyID(), second);
        EXPECT_EQ(registrar->registered().size(), 1u);
        EXPECT_EQ(registrar->registered().at(second).carbonModifiers, 0x0300u);

        hotKey taken(keyDown(12, Command, "q"));
        EXPECT_FALSE(taken.installHotKeyRef(first));
        EXPECT_EQ(taken.hotKeyID(), HotKeyID{});
        hotKey invalid;
        EXPECT_FALSE(invalid.installHotKeyRef(first));

        byline.clearHotKeyEvent();
        EXPECT_TRUE(registrar->registered().empty());
        EXPECT_FALSE(byline.isRegistered());
        hotKey caption(keyDown(8, Command, "c"));
        caption.installHotKeyRef(first);
    }
    EXPECT_TRUE(registrar->registered().empty()) << "a hot key that is gone is unregistered";
    HotKeyRegistrar::install(nullptr);
}

} // namespace
} // namespace qm
