#include "KeyArgument.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <sstream>
#include <string_view>
#include <utility>
#include <vector>

#include "CommandLine.h"
#include "platform/linux/VirtualKeys.h"

namespace qm::cli {

namespace {

std::string lowercase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
    return text;
}

std::uint64_t modifierFlag(const std::string& name)
{
    static const std::map<std::string, std::uint64_t> flags{
        {"ctrl", ModifierFlag::Control}, {"control", ModifierFlag::Control}, {"alt", ModifierFlag::Option},
        {"option", ModifierFlag::Option}, {"super", ModifierFlag::Command}, {"cmd", ModifierFlag::Command},
        {"command", ModifierFlag::Command}, {"shift", ModifierFlag::Shift}};
    const auto found = flags.find(lowercase(name));
    if (found == flags.end())
        throw InputError("unknown modifier " + name);
    return found->second;
}

// The symbols of menus ("⌃⌥B") written as words ("ctrl+alt+B").
std::string withModifierWords(const std::string& text)
{
    static const std::pair<std::string_view, std::string_view> symbols[] = {
        {"⌃", "ctrl+"}, {"⌥", "alt+"}, {"⌘", "super+"}, {"⇧", "shift+"}};
    std::string words;
    std::string_view rest = text;
    for (bool found = true; found;) {
        found = false;
        for (const auto& [symbol, word] : symbols)
            if (rest.starts_with(symbol)) {
                words += word;
                rest.remove_prefix(symbol.size());
                found = true;
            }
    }
    return words + std::string(rest);
}

std::vector<std::string> parts(const std::string& text)
{
    std::vector<std::string> result;
    std::istringstream in(withModifierWords(text));
    for (std::string part; std::getline(in, part, '+');)
        result.push_back(part);
    return result;
}

} // namespace

KeyEvent parseKeyArgument(const std::string& text)
{
    const auto words = parts(text);
    const VirtualKey* key = words.empty() ? nullptr : VirtualKey::named(words.back());
    if (!key)
        throw InputError("unknown key in " + text);
    KeyEvent event{KeyEvent::KeyDown, key->code, key->functionKey ? ModifierFlag::Function : 0, ""};
    if (key->name.size() == 1)
        event.charactersIgnoringModifiers = lowercase(std::string(key->name));
    for (std::size_t i = 0; i + 1 < words.size(); ++i)
        event.modifierFlags |= modifierFlag(words[i]);
    return event;
}

} // namespace qm::cli
