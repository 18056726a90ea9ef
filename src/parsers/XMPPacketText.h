#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace qm {

// The text of an XMP packet as files store it.
class XMPPacketText {
public:
    // UTF-8 text of a packet stored in UTF-8, or in UTF-16 or UTF-32 (told by a byte-order mark
    // or by the zero bytes around its first "<"); trailing zero bytes are padding. Nothing when
    // the bytes are not valid text in the encoding found.
    static std::optional<std::string> decode(std::span<const std::uint8_t> bytes);
    // Whether a text is an XMP packet: it holds the metadata element or a packet wrapper.
    static bool looksLikeXMP(std::string_view text);
};

} // namespace qm
