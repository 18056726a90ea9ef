#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm {

// A text encoding, numbered as the original platform's string layer numbers them
// (4 UTF-8, 5 ISO Latin 1, 12 Windows Latin 1, 30 Mac OS Roman, 0x80000000 | a Core Foundation
// encoding for the rest).
using StringEncoding = std::uint32_t;

namespace Encoding {
constexpr StringEncoding ASCII = 1;
constexpr StringEncoding JapaneseEUC = 3;
constexpr StringEncoding UTF8 = 4;
constexpr StringEncoding ISOLatin1 = 5;
constexpr StringEncoding ShiftJIS = 8;
constexpr StringEncoding ISOLatin2 = 9;
constexpr StringEncoding Unicode = 10; // UTF-16 with byte-order mark
constexpr StringEncoding WindowsCP1251 = 11;
constexpr StringEncoding WindowsCP1252 = 12;
constexpr StringEncoding WindowsCP1253 = 13;
constexpr StringEncoding WindowsCP1254 = 14;
constexpr StringEncoding WindowsCP1250 = 15;
constexpr StringEncoding ISO2022JP = 21;
constexpr StringEncoding MacOSRoman = 30;
constexpr StringEncoding UTF16BigEndian = 0x90000100;
constexpr StringEncoding UTF16LittleEndian = 0x94000100;
constexpr StringEncoding UTF32 = 0x8c000100;
constexpr StringEncoding UTF32BigEndian = 0x98000100;
constexpr StringEncoding UTF32LittleEndian = 0x9c000100;
} // namespace Encoding

// The table of encodings and strict conversion between their bytes and UTF-8 text.
// Strict means no substitutes: an invalid byte sequence, or a character the target cannot
// represent, gives no result.
class StringEncodings {
public:
    struct Entry {
        StringEncoding number;
        const char* converterName; // the ICU converter
        const char* englishName;   // "Western (Mac OS Roman)"; the key of its localized name
    };

    // The encodings ICU can open, in table order; built once, thread-safely.
    static const std::vector<Entry>& available();
    static const Entry* find(StringEncoding encoding);
    static bool isAvailable(StringEncoding encoding) { return find(encoding) != nullptr; }

    // The localized name of an available encoding; empty for an unknown one.
    static std::string localizedName(StringEncoding encoding);

    // Bytes in `encoding` to UTF-8 text. Safe to call from any thread.
    static std::optional<std::string> decode(std::span<const std::uint8_t> bytes, StringEncoding encoding);
    static std::optional<std::string> decode(std::string_view bytes, StringEncoding encoding);
    // UTF-8 text to bytes in `encoding`; no result for invalid UTF-8 input too.
    static std::optional<std::vector<std::uint8_t>> encode(std::string_view text, StringEncoding encoding);

    static bool isValidUTF8(std::span<const std::uint8_t> bytes);
};

} // namespace qm
