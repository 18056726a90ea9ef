#include "hotkeys/hotKey.h"

#include <algorithm>
#include <atomic>
#include <limits>
#include <unicode/utf8.h>
#include <utility>

#include "foundation/Log.h"
#include "foundation/UnicodeText.h"

namespace qm {

namespace {

// Keys named by a symbol or a function-key name rather than by the character they type.
constexpr std::pair<std::uint16_t, const char*> NamedKeys[] = {
    {36, "\u21B5"},  {48, "\u21E5"},  {49, "\u2423"},  {51, "\u232B"},  {52, "\u2324"},  {53, "\u238B"},
    {71, "\u2327"},  {114, "\u2380"},       {115, "\u2196"}, {116, "\u21DE"}, {117, "\u2326"}, {119, "\u2198"},
    {121, "\u21DF"}, {123, "\u2190"}, {124, "\u2192"}, {125, "\u2193"}, {126, "\u2191"},
    {122, "F1"},  {120, "F2"},  {99, "F3"},   {118, "F4"},  {96, "F5"},   {97, "F6"},   {98, "F7"},   {100, "F8"},
    {101, "F9"},  {109, "F10"}, {103, "F11"}, {111, "F12"}, {105, "F13"}, {107, "F14"}, {113, "F15"}, {106, "F16"},
    {76, "\u2324"}, {64, "F17"},  {79, "F18"},  {80, "F19"},  {90, "F20"},  {128, "F21"}, {129, "F22"}, {130, "F23"}, {131, "F24"},
};

const char* namedKey(std::uint16_t keyCode)
{
    for (const auto& [code, name] : NamedKeys)
        if (code == keyCode)
            return name;
    return nullptr;
}

// The first character (code point) of UTF-8 text; empty when there is none or the text is not
// UTF-8, never a NUL character that would cut a menu title short.
std::string firstCharacter(const std::string& text)
{
    if (text.empty())
        return {};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), U8_MAX_LENGTH));
    std::int32_t end = 0;
    UChar32 character = 0;
    U8_NEXT(bytes, end, length, character);
    if (character <= 0)
        return {};
    return text.substr(0, static_cast<std::size_t>(end));
}

int nextIdentity()
{
    static std::atomic<int> next{1};
    return next++;
}

template <typename T>
std::optional<T> narrowed(std::optional<std::int64_t> value)
{
    if (!value || *value < 0 || static_cast<std::uint64_t>(*value) > std::numeric_limits<T>::max())
        return std::nullopt;
    return static_cast<T>(*value);
}

} // namespace

hotKey::hotKey() : hotKey(KeyEvent{}) {}

hotKey::hotKey(KeyEvent event) : mHotKeyEvent(std::move(event)), mIdentity(nextIdentity()) {}

hotKey::hotKey(const hotKey& other)
    : KeyValueObservable(other), mHotKeyEvent(other.mHotKeyEvent), mIdentity(nextIdentity())
{
}

hotKey& hotKey::operator=(const hotKey& other)
{
    if (this != &other)
        setHotKeyEvent(other.mHotKeyEvent);
    return *this;
}

hotKey::~hotKey()
{
    clearHotKeyRef();
}

bool hotKey::installHotKeyRef(HotKeyID id)
{
    clearHotKeyRef();
    if (validHotKey() && HotKeyRegistrar::current()->registerHotKey(keyCode(), carbonModifiers(), id))
        mHotKeyID = id;
    return isRegistered();
}

void hotKey::clearHotKeyRef()
{
    if (!isRegistered())
        return;
    HotKeyRegistrar::current()->unregisterHotKey(mHotKeyID);
    mHotKeyID = {};
}

const std::optional<KeyEvent>& hotKey::hotKeyEvent() const
{
    return mHotKeyEvent;
}

void hotKey::setHotKeyEvent(std::optional<KeyEvent> event)
{
    for (const char* key : ObservedKeys)
        willChangeValueForKey(key);
    mHotKeyEvent = std::move(event);
    for (const char* key : ObservedKeys)
        didChangeValueForKey(key);
}

void hotKey::clearHotKeyEvent()
{
    setHotKeyEvent(KeyEvent{});
    clearHotKeyRef();
}

bool hotKey::validHotKey() const
{
    return mHotKeyEvent && mHotKeyEvent->type == KeyEvent::KeyDown;
}

std::uint16_t hotKey::keyCode() const
{
    return validHotKey() ? mHotKeyEvent->keyCode : 0;
}

std::uint64_t hotKey::modifiers() const
{
    return validHotKey() ? mHotKeyEvent->modifierFlags : 0;
}

std::uint32_t hotKey::carbonModifiers() const
{
    const std::uint64_t flags = modifiers();
    std::uint32_t result = 0;
    if (flags & ModifierFlag::Shift)
        result |= 0x0200;
    if (flags & ModifierFlag::Control)
        result |= 0x1000;
    if (flags & ModifierFlag::Option)
        result |= 0x0800;
    if (flags & ModifierFlag::Command)
        result |= 0x0100;
    return result;
}

std::string hotKey::keyString() const
{
    if (!validHotKey())
        return {};
    if (const char* name = namedKey(mHotKeyEvent->keyCode))
        return name;
    return firstCharacter(mHotKeyEvent->charactersIgnoringModifiers);
}

std::string hotKey::modifierString() const
{
    if (!validHotKey())
        return {};
    const std::uint64_t flags = mHotKeyEvent->modifierFlags;
    std::string result;
    if (flags & (ModifierFlag::Shift | ModifierFlag::AlphaShift))
        result += "\u21E7";
    if (flags & ModifierFlag::Control)
        result += "\u2303";
    if (flags & ModifierFlag::Option)
        result += "\u2325";
    if (flags & ModifierFlag::Command)
        result += "\u2318";
    return result;
}

std::string hotKey::menuItemString() const
{
    const std::string key = keyString();
    if (key.empty())
        return {};
    return modifierString() + UnicodeText::uppercased(key);
}

std::string hotKey::description() const
{
    return std::string(ArchiveClassName) + " " + std::to_string(mIdentity) + " (" + menuItemString() + ")";
}

bool hotKey::acceptsCapturedEvent(const KeyEvent& event)
{
    return event.type == KeyEvent::KeyDown &&
           (event.modifierFlags & (ModifierFlag::Command | ModifierFlag::Control | ModifierFlag::Function)) != 0;
}

void hotKey::encodeWithCoder(ArchiveWriter& coder) const
{
    if (!mHotKeyEvent) {
        Log::message("no mHotKey in encodeWithCoder");
        return;
    }
    coder.encode(PlistValue(mHotKeyEvent->type));
    coder.encode(PlistValue(mHotKeyEvent->keyCode));
    coder.encode(PlistValue(mHotKeyEvent->modifierFlags));
    coder.encode(PlistValue(mHotKeyEvent->charactersIgnoringModifiers));
}

std::shared_ptr<hotKey> hotKey::initWithCoder(ArchiveReader& coder)
{
    auto type = narrowed<std::uint32_t>(coder.decodeInteger());
    auto keyCode = narrowed<std::uint16_t>(coder.decodeInteger());
    auto flags = coder.decodeInteger();
    auto characters = coder.decodeString();
    if (!type || !keyCode || !flags || !characters) {
        Log::message("hotKey: the archive holds no key event");
        return std::make_shared<hotKey>();
    }
    return std::make_shared<hotKey>(
        KeyEvent{*type, *keyCode, static_cast<std::uint64_t>(*flags), std::move(*characters)});
}

std::shared_ptr<hotKey> hotKey::unarchive(std::span<const std::uint8_t> data)
{
    auto decoded = unarchiveObject<hotKey>(data);
    return decoded ? decoded : std::make_shared<hotKey>();
}

} // namespace qm
