#pragma once

#include <string>

#include "hotkeys/KeyEvent.h"

namespace qm::cli {

// A key combination written as modifiers and a key joined by "+" ("ctrl+alt+B", "super+shift+F5"):
// ctrl (control), alt (option), super (cmd, command) and shift, then a letter, digit, punctuation
// character or key name (F1, Return, Left, ...); or with the menus' symbols ("⌃⌥B"). InputError
// when it names no key.
KeyEvent parseKeyArgument(const std::string& text);

} // namespace qm::cli
