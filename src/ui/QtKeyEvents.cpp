#include "ui/QtKeyEvents.h"

#include <string>
#include <utility>

#include "platform/linux/VirtualKeys.h"

namespace qm {

namespace {

struct KeyCode {
    int qtKey;
    std::uint16_t code;
    bool functionKey;
};

// Keys that type a character, by the character's key on a US layout.
constexpr KeyCode TypingKeys[] = {
    {Qt::Key_A, 0, false},  {Qt::Key_S, 1, false},  {Qt::Key_D, 2, false},  {Qt::Key_F, 3, false},
    {Qt::Key_H, 4, false},  {Qt::Key_G, 5, false},  {Qt::Key_Z, 6, false},  {Qt::Key_X, 7, false},
    {Qt::Key_C, 8, false},  {Qt::Key_V, 9, false},  {Qt::Key_B, 11, false}, {Qt::Key_Q, 12, false},
    {Qt::Key_W, 13, false}, {Qt::Key_E, 14, false}, {Qt::Key_R, 15, false}, {Qt::Key_Y, 16, false},
    {Qt::Key_T, 17, false}, {Qt::Key_1, 18, false}, {Qt::Key_2, 19, false}, {Qt::Key_3, 20, false},
    {Qt::Key_4, 21, false}, {Qt::Key_6, 22, false}, {Qt::Key_5, 23, false}, {Qt::Key_Equal, 24, false},
    {Qt::Key_9, 25, false}, {Qt::Key_7, 26, false}, {Qt::Key_Minus, 27, false}, {Qt::Key_8, 28, false},
    {Qt::Key_0, 29, false}, {Qt::Key_BracketRight, 30, false}, {Qt::Key_O, 31, false}, {Qt::Key_U, 32, false},
    {Qt::Key_BracketLeft, 33, false}, {Qt::Key_I, 34, false}, {Qt::Key_P, 35, false}, {Qt::Key_L, 37, false},
    {Qt::Key_J, 38, false}, {Qt::Key_Apostrophe, 39, false}, {Qt::Key_K, 40, false}, {Qt::Key_Semicolon, 41, false},
    {Qt::Key_Backslash, 42, false}, {Qt::Key_Comma, 43, false}, {Qt::Key_Slash, 44, false}, {Qt::Key_N, 45, false},
    {Qt::Key_M, 46, false}, {Qt::Key_Period, 47, false}, {Qt::Key_QuoteLeft, 50, false},
};

// Keys named by a symbol or a function-key name.
constexpr KeyCode NamedKeys[] = {
    {Qt::Key_Return, 36, false},   {Qt::Key_Tab, 48, false},      {Qt::Key_Space, 49, false},
    {Qt::Key_Backspace, 51, false}, {Qt::Key_Enter, 52, false},    {Qt::Key_Escape, 53, false},
    {Qt::Key_Clear, 71, true},     {Qt::Key_Help, 114, true},     {Qt::Key_Home, 115, true},
    {Qt::Key_PageUp, 116, true},   {Qt::Key_Delete, 117, true},   {Qt::Key_End, 119, true},
    {Qt::Key_PageDown, 121, true}, {Qt::Key_Left, 123, true},     {Qt::Key_Right, 124, true},
    {Qt::Key_Down, 125, true},     {Qt::Key_Up, 126, true},       {Qt::Key_F1, 122, true},
    {Qt::Key_F2, 120, true},       {Qt::Key_F3, 99, true},        {Qt::Key_F4, 118, true},
    {Qt::Key_F5, 96, true},        {Qt::Key_F6, 97, true},        {Qt::Key_F7, 98, true},
    {Qt::Key_F8, 100, true},       {Qt::Key_F9, 101, true},       {Qt::Key_F10, 109, true},
    {Qt::Key_F11, 103, true},      {Qt::Key_F12, 111, true},      {Qt::Key_F13, 105, true},
    {Qt::Key_F14, 107, true},      {Qt::Key_F15, 113, true},      {Qt::Key_F16, 106, true},
    {Qt::Key_F17, 64, true},       {Qt::Key_F18, 79, true},       {Qt::Key_F19, 80, true},
    {Qt::Key_F20, 90, true},       {Qt::Key_F21, 128, true},      {Qt::Key_F22, 129, true},
    {Qt::Key_F23, 130, true},      {Qt::Key_F24, 131, true},      {Qt::Key_Insert, 114, true},
};

// Keys of the numeric keypad, with Num Lock on (digits) or off (navigation).
constexpr KeyCode KeypadKeys[] = {
    {Qt::Key_0, 82, false},        {Qt::Key_1, 83, false},        {Qt::Key_2, 84, false},
    {Qt::Key_3, 85, false},        {Qt::Key_4, 86, false},        {Qt::Key_5, 87, false},
    {Qt::Key_6, 88, false},        {Qt::Key_7, 89, false},        {Qt::Key_8, 91, false},
    {Qt::Key_9, 92, false},        {Qt::Key_Insert, 82, false},   {Qt::Key_End, 83, false},
    {Qt::Key_Down, 84, false},     {Qt::Key_PageDown, 85, false}, {Qt::Key_Left, 86, false},
    {Qt::Key_Clear, 87, false},    {Qt::Key_Right, 88, false},    {Qt::Key_Home, 89, false},
    {Qt::Key_Up, 91, false},       {Qt::Key_PageUp, 92, false},   {Qt::Key_Period, 65, false},
    {Qt::Key_Delete, 65, false},   {Qt::Key_Comma, 65, false},    {Qt::Key_Asterisk, 67, false},
    {Qt::Key_Plus, 69, false},     {Qt::Key_Slash, 75, false},    {Qt::Key_Enter, 76, false},
    {Qt::Key_Minus, 78, false},    {Qt::Key_Equal, 81, false},
};

// What each keypad key types with Num Lock on, for its name.
constexpr std::pair<std::uint16_t, char> KeypadCharacters[] = {
    {82, '0'}, {83, '1'}, {84, '2'}, {85, '3'}, {86, '4'}, {87, '5'}, {88, '6'}, {89, '7'}, {91, '8'},
    {92, '9'}, {65, '.'}, {67, '*'}, {69, '+'}, {75, '/'}, {78, '-'}, {81, '='},
};

template <std::size_t N>
const KeyCode* find(const KeyCode (&table)[N], int key)
{
    for (const auto& entry : table)
        if (entry.qtKey == key)
            return &entry;
    return nullptr;
}

std::uint64_t modifierFlags(Qt::KeyboardModifiers modifiers)
{
    constexpr std::pair<Qt::KeyboardModifier, std::uint64_t> flags[] = {
        {Qt::ShiftModifier, ModifierFlag::Shift},
        {Qt::ControlModifier, ModifierFlag::Control},
        {Qt::AltModifier, ModifierFlag::Option},
        {Qt::MetaModifier, ModifierFlag::Command},
        {Qt::KeypadModifier, ModifierFlag::NumericPad},
    };
    std::uint64_t result = 0;
    for (const auto& [modifier, flag] : flags)
        if (modifiers & modifier)
            result |= flag;
    return result;
}

// The key's own character: a letter of the user's layout in lower case (Qt names å, ä and ö by
// their letter whatever the modifiers); for a digit or punctuation key pressed with Shift, the
// character its position types unshifted on a US layout, not the shifted one ("1", not "!").
std::string charactersOf(const QKeyEvent& event, const VirtualKey* position)
{
    const QChar character(event.key());
    if (event.key() <= 0xFFFF && character.isLetter())
        return QString(character).toLower().toStdString();
    if (position && (event.modifiers() & Qt::ShiftModifier))
        return std::string(position->name);
    if (event.key() <= 0xFFFF && character.isPrint())
        return QString(character).toLower().toStdString();
    return position ? std::string(position->name) : std::string();
}

KeyEvent keyDown(std::uint16_t code, std::uint64_t flags, std::string characters)
{
    KeyEvent key;
    key.type = KeyEvent::KeyDown;
    key.keyCode = code;
    key.modifierFlags = flags;
    key.charactersIgnoringModifiers = std::move(characters);
    return key;
}

std::optional<KeyEvent> keypadKeyEvent(const QKeyEvent& event)
{
    const KeyCode* keypad = find(KeypadKeys, event.key());
    if (!keypad)
        return std::nullopt;
    std::string characters;
    for (const auto& [code, character] : KeypadCharacters)
        if (code == keypad->code)
            characters = std::string(1, character);
    return keyDown(keypad->code, modifierFlags(event.modifiers()), characters);
}

} // namespace

// Letters and digits are taken by what they type, as the registration finds them; the other keys of
// the typing area by their position (on X11 the native scan code is the keycode), so that å, ä, ö
// and shifted digits and punctuation are the keys pressed.
std::optional<KeyEvent> keyEventFromQt(const QKeyEvent& event)
{
    const std::uint64_t flags = modifierFlags(event.modifiers());
    if (event.modifiers() & Qt::KeypadModifier)
        return keypadKeyEvent(event);
    if (const KeyCode* named = find(NamedKeys, event.key()))
        return keyDown(named->code, flags | (named->functionKey ? ModifierFlag::Function : 0), {});
    const KeyCode* typing = find(TypingKeys, event.key());
    if (typing && QChar(event.key()).isLetterOrNumber())
        return keyDown(typing->code, flags, charactersOf(event, nullptr));
    if (const VirtualKey* position = VirtualKey::atKeycode(static_cast<xcb_keycode_t>(event.nativeScanCode()));
        position && !position->functionKey)
        return keyDown(position->code, flags, charactersOf(event, position));
    if (typing)
        return keyDown(typing->code, flags, charactersOf(event, nullptr));
    return std::nullopt;
}

} // namespace qm
