#pragma once

#include <optional>

#include <QKeyEvent>

#include "hotkeys/KeyEvent.h"

namespace qm {

// A key press in the stored form of hot keys: the virtual key codes of the key tables (a US
// layout), Control as control, Alt as option, Super as command, and the function-key flag on
// function and navigation keys. None for a key the tables do not number.
std::optional<KeyEvent> keyEventFromQt(const QKeyEvent& event);

} // namespace qm
