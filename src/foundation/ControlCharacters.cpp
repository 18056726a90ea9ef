#include "foundation/ControlCharacters.h"

namespace qm {

void ControlCharacters::appendEscaped(std::string& text, char c)
{
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
    case '\n': text += "\\n"; break;
    case '\r': text += "\\r"; break;
    case '\t': text += "\\t"; break;
    default:
        if (byte < 0x20 || byte == 0x7F)
            appendHexEscape(text, byte);
        else
            text += c;
    }
}

void ControlCharacters::appendHexEscape(std::string& text, unsigned char byte)
{
    static constexpr char Digits[] = "0123456789abcdef";
    text += "\\x";
    text += Digits[byte >> 4];
    text += Digits[byte & 0xF];
}

} // namespace qm
