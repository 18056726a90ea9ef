#include "ui/QtKeyEvents.h"

#include <utility>

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

} // namespace

std::optional<KeyEvent> keyEventFromQt(const QKeyEvent& event)
{
    const KeyCode* typing = find(TypingKeys, event.key());
    const KeyCode* named = typing ? nullptr : find(NamedKeys, event.key());
    if (!typing && !named)
        return std::nullopt;
    KeyEvent key;
    key.type = KeyEvent::KeyDown;
    key.keyCode = (typing ? typing : named)->code;
    key.modifierFlags = modifierFlags(event.modifiers()) | (named && named->functionKey ? ModifierFlag::Function : 0);
    if (typing)
        key.charactersIgnoringModifiers = QString(QChar(event.key())).toLower().toStdString();
    return key;
}

} // namespace qm
