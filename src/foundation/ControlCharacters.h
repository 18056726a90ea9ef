#pragma once

#include <string>

namespace qm {

// Control characters written so that a terminal shows them instead of obeying them.
class ControlCharacters {
public:
    // Appends `c`, or its escape when it is a control character: \n, \r and \t, other C0
    // characters and DEL as \xNN.
    static void appendEscaped(std::string& text, char c);
    // Appends \xNN for the byte.
    static void appendHexEscape(std::string& text, unsigned char byte);
};

} // namespace qm
