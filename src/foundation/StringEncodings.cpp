#include "foundation/StringEncodings.h"

#include "foundation/Bundle.h"
#include "foundation/Log.h"

#include <unicode/ucnv.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <map>
#include <memory>

namespace qm {

namespace {

using Entry = StringEncodings::Entry;

// Encodings without a number of their own are 0x80000000 | their Core Foundation number.
constexpr StringEncoding cf(std::uint32_t value) { return 0x80000000u | value; }

// Converter names are ICU's canonical names, so that opening one can be checked exactly (an alias
// could be matched loosely or name several converters). A null name: ICU has no converter that
// gives exactly this charset.
//
// The IBM PC code pages (DOS) follow IBM's tables, which exchange the control codes 0x1A, 0x1C and
// 0x7F; every printable character is as the platform maps it.
const Entry kTable[] = {
    {Encoding::ASCII, "US-ASCII", "Western (ASCII)"},
    {2, nullptr, "Western (NextStep)"},
    {Encoding::JapaneseEUC, "euc-jp-2007", "Japanese (EUC)"},
    {Encoding::UTF8, "UTF-8", "Unicode (UTF-8)"},
    {Encoding::ISOLatin1, "ISO-8859-1", "Western (ISO Latin 1)"},
    {6, nullptr, "Symbol (Mac OS)"},
    {7, nullptr, "Non-lossy ASCII"},
    {Encoding::ShiftJIS, "ibm-943_P15A-2003", "Japanese (Windows, DOS)"},
    {Encoding::ISOLatin2, "ibm-912_P100-1995", "Central European (ISO Latin 2)"},
    {Encoding::Unicode, "UTF-16", "Unicode (UTF-16)"},
    {Encoding::WindowsCP1251, "ibm-5347_P100-1998", "Cyrillic (Windows)"},
    {Encoding::WindowsCP1252, "ibm-5348_P100-1997", "Western (Windows Latin 1)"},
    {Encoding::WindowsCP1253, "ibm-5349_P100-1998", "Greek (Windows)"},
    {Encoding::WindowsCP1254, "ibm-5350_P100-1998", "Turkish (Windows Latin 5)"},
    {Encoding::WindowsCP1250, "ibm-5346_P100-1998", "Central European (Windows Latin 2)"},
    {Encoding::ISO2022JP, "ISO_2022,locale=ja,version=0", "Japanese (ISO 2022-JP)"},
    {Encoding::MacOSRoman, "macos-0_2-10.2", "Western (Mac OS Roman)"},
    {Encoding::UTF16BigEndian, "UTF-16BE", "Unicode (UTF-16BE)"},
    {Encoding::UTF16LittleEndian, "UTF-16LE", "Unicode (UTF-16LE)"},
    {Encoding::UTF32, "UTF-32", "Unicode (UTF-32)"},
    {Encoding::UTF32BigEndian, "UTF-32BE", "Unicode (UTF-32BE)"},
    {Encoding::UTF32LittleEndian, "UTF-32LE", "Unicode (UTF-32LE)"},

    {cf(1), nullptr, "Japanese (Mac OS)"},
    {cf(2), nullptr, "Traditional Chinese (Mac OS)"},
    {cf(3), nullptr, "Korean (Mac OS)"},
    {cf(4), nullptr, "Arabic (Mac OS)"},
    {cf(5), nullptr, "Hebrew (Mac OS)"},
    {cf(6), "macos-6_2-10.4", "Greek (Mac OS)"},
    {cf(7), "macos-7_3-10.2", "Cyrillic (Mac OS)"},
    {cf(9), nullptr, "Devanagari (Mac OS)"},
    {cf(10), nullptr, "Gurmukhi (Mac OS)"},
    {cf(11), nullptr, "Gujarati (Mac OS)"},
    {cf(21), nullptr, "Thai (Mac OS)"},
    {cf(25), nullptr, "Simplified Chinese (Mac OS)"},
    {cf(29), "macos-29-10.2", "Central European (Mac OS)"},
    {cf(34), nullptr, "Dingbats (Mac OS)"},
    {cf(35), "macos-35-10.2", "Turkish (Mac OS)"},
    {cf(36), nullptr, "Croatian (Mac OS)"},
    {cf(37), nullptr, "Icelandic (Mac OS)"},
    {cf(38), nullptr, "Romanian (Mac OS)"},
    {cf(39), nullptr, "Celtic (Mac OS)"},
    {cf(40), nullptr, "Gaelic (Mac OS)"},
    {cf(0x8C), nullptr, "Farsi (Mac OS)"},
    // ICU's Mac Cyrillic has the euro sign where Mac Ukrainian has the currency sign.
    {cf(0x98), nullptr, "Ukrainian (Mac OS)"},
    {cf(0xEC), nullptr, "Inuit (Mac OS)"},

    {cf(0x203), "ibm-913_P100-2000", "Western (ISO Latin 3)"},
    {cf(0x204), "ibm-914_P100-1995", "Central European (ISO Latin 4)"},
    {cf(0x205), "ibm-915_P100-1995", "Cyrillic (ISO 8859-5)"},
    {cf(0x206), "ibm-1089_P100-1995", "Arabic (ISO 8859-6)"},
    {cf(0x207), "ibm-9005_X110-2007", "Greek (ISO 8859-7)"},
    {cf(0x208), "ibm-5012_P100-1999", "Hebrew (ISO 8859-8)"},
    {cf(0x209), "ibm-920_P100-1995", "Turkish (ISO Latin 5)"},
    {cf(0x20A), "iso-8859_10-1998", "Nordic (ISO Latin 6)"},
    {cf(0x20B), "iso-8859_11-2001", "Thai (ISO 8859-11)"},
    {cf(0x20D), "ibm-921_P100-1995", "Baltic (ISO Latin 7)"},
    {cf(0x20E), "iso-8859_14-1998", "Celtic (ISO Latin 8)"},
    {cf(0x20F), "ibm-923_P100-1998", "Western (ISO Latin 9)"},
    {cf(0x210), nullptr, "Romanian (ISO Latin 10)"},

    {cf(0x400), "ibm-437_P100-1995", "Latin-US (DOS)"},
    {cf(0x405), "ibm-737_P100-1997", "Greek (DOS)"},
    {cf(0x406), "ibm-775_P100-1996", "Baltic (DOS)"},
    {cf(0x410), "ibm-850_P100-1995", "Western (DOS Latin 1)"},
    {cf(0x411), "ibm-851_P100-1995", "Greek (DOS Greek 1)"},
    {cf(0x412), "ibm-852_P100-1995", "Central European (DOS Latin 2)"},
    {cf(0x413), "ibm-855_P100-1995", "Cyrillic (DOS)"},
    {cf(0x414), "ibm-857_P100-1995", "Turkish (DOS)"},
    {cf(0x415), "ibm-860_P100-1995", "Portuguese (DOS)"},
    {cf(0x416), "ibm-861_P100-1995", "Icelandic (DOS)"},
    {cf(0x417), "ibm-862_P100-1995", "Hebrew (DOS)"},
    {cf(0x418), "ibm-863_P100-1995", "Canadian French (DOS)"},
    {cf(0x419), "ibm-864_X110-1999", "Arabic (DOS)"},
    {cf(0x41A), "ibm-865_P100-1995", "Nordic (DOS)"},
    {cf(0x41B), "ibm-866_P100-1995", "Russian (DOS)"},
    {cf(0x41C), "ibm-869_P100-1995", "Greek (DOS Greek 2)"},
    {cf(0x41D), "windows-874-2000", "Thai (Windows, DOS)"},
    {cf(0x421), "windows-936-2000", "Simplified Chinese (Windows, DOS)"},
    {cf(0x422), "windows-949-2000", "Korean (Windows, DOS)"},
    {cf(0x423), "windows-950-2000", "Traditional Chinese (Windows, DOS)"},

    {cf(0x505), "ibm-9447_P100-2002", "Hebrew (Windows)"},
    {cf(0x506), "ibm-9448_X100-2005", "Arabic (Windows)"},
    {cf(0x507), "ibm-9449_P100-2002", "Baltic (Windows)"},
    {cf(0x508), "ibm-5354_P100-1998", "Vietnamese (Windows)"},
    {cf(0x510), nullptr, "Korean (Windows Johab)"},

    // GB 2312 and KSC 5601 are read in their EUC form, the form those character sets take in files.
    {cf(0x630), "ibm-1383_P110-1999", "Simplified Chinese (GB 2312)"},
    {cf(0x631), "windows-936-2000", "Simplified Chinese (GBK)"},
    {cf(0x632), "gb18030", "Simplified Chinese (GB 18030)"},
    {cf(0x640), "ibm-970_P110_P110-2006_U2", "Korean (KSC 5601)"},
    {cf(0x821), "ISO_2022,locale=ja,version=2", "Japanese (ISO 2022-JP-2)"},
    {cf(0x830), "ISO_2022,locale=zh,version=0", "Chinese (ISO 2022-CN)"},
    // Version 1 has ASCII beside KSC 5601; version 0 reads 0x5C as the won sign.
    {cf(0x840), "ISO_2022,locale=ko,version=1", "Korean (ISO 2022-KR)"},
    {cf(0x930), "ibm-1383_P110-1999", "Simplified Chinese (EUC)"},
    {cf(0x931), "euc-tw-2014", "Traditional Chinese (EUC)"},
    {cf(0x940), "ibm-970_P110_P110-2006_U2", "Korean (EUC)"},
    {cf(0xA02), "ibm-878_P100-1996", "Cyrillic (KOI8-R)"},
    {cf(0xA03), "windows-950-2000", "Traditional Chinese (Big 5)"},
    // ICU's HZ converter drops truncated input silently, which strict conversion cannot allow.
    {cf(0xA05), nullptr, "Simplified Chinese (HZ GB 2312)"},
    {cf(0xA06), "ibm-1375_P100-2008", "Traditional Chinese (Big 5 HKSCS)"},
    {cf(0xA08), "ibm-1168_P100-2002", "Ukrainian (KOI8-U)"},
};

struct ConverterCloser {
    void operator()(UConverter* converter) const { ucnv_close(converter); }
};
using ConverterPtr = std::unique_ptr<UConverter, ConverterCloser>;

// Opens exactly the named converter: a name that ICU resolves to another converter is refused.
ConverterPtr openExactly(const char* name)
{
    if (name == nullptr)
        return nullptr;
    UErrorCode status = U_ZERO_ERROR;
    ConverterPtr converter(ucnv_open(name, &status));
    if (U_FAILURE(status) || !converter)
        return nullptr;
    const char* opened = ucnv_getName(converter.get(), &status);
    if (U_FAILURE(status) || opened == nullptr || std::strcmp(opened, name) != 0)
        return nullptr;
    return converter;
}

// This thread's converter for a table name, with stop callbacks, reset for a new conversion.
UConverter* strictConverter(const char* name)
{
    thread_local std::map<const char*, ConverterPtr> converters;
    auto found = converters.find(name);
    if (found == converters.end()) {
        ConverterPtr converter = openExactly(name);
        if (!converter)
            return nullptr;
        UErrorCode status = U_ZERO_ERROR;
        ucnv_setToUCallBack(converter.get(), UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status))
            return nullptr;
        found = converters.emplace(name, std::move(converter)).first;
    }
    ucnv_reset(found->second.get());
    return found->second.get();
}

bool isASCII(std::span<const std::uint8_t> bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t byte) { return byte < 0x80; });
}

std::span<const std::uint8_t> asBytes(std::string_view text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

std::optional<std::u16string> toUTF16(UConverter* converter, std::span<const std::uint8_t> bytes)
{
    std::u16string units(bytes.size() + 16, u'\0');
    const char* source = reinterpret_cast<const char*>(bytes.data());
    const char* sourceEnd = source + bytes.size();
    UChar* target = units.data();
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_toUnicode(converter, &target, units.data() + units.size(), &source, sourceEnd, nullptr, true,
                       &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            const auto written = target - units.data();
            units.resize(units.size() * 2);
            target = units.data() + written;
            continue;
        }
        if (U_FAILURE(status))
            return std::nullopt;
        units.resize(static_cast<size_t>(target - units.data()));
        return units;
    }
}

std::optional<std::vector<std::uint8_t>> fromUTF16(UConverter* converter, const std::u16string& units)
{
    const auto length = static_cast<int32_t>(units.size());
    std::vector<std::uint8_t> bytes(UCNV_GET_MAX_BYTES_FOR_STRING(length, ucnv_getMaxCharSize(converter)));
    const UChar* source = units.data();
    char* target = reinterpret_cast<char*>(bytes.data());
    for (;;) {
        UErrorCode status = U_ZERO_ERROR;
        ucnv_fromUnicode(converter, &target, reinterpret_cast<char*>(bytes.data() + bytes.size()), &source,
                         units.data() + units.size(), nullptr, true, &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            const auto written = target - reinterpret_cast<char*>(bytes.data());
            bytes.resize(bytes.size() * 2);
            target = reinterpret_cast<char*>(bytes.data()) + written;
            continue;
        }
        if (U_FAILURE(status))
            return std::nullopt;
        bytes.resize(static_cast<size_t>(target - reinterpret_cast<char*>(bytes.data())));
        return bytes;
    }
}

// Strict UTF-16 to UTF-8: an unpaired surrogate gives no result.
std::optional<std::string> utf16ToUTF8(const std::u16string& units)
{
    if (units.size() > INT32_MAX / 3)
        return std::nullopt;
    std::string text(units.size() * 3, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8(text.data(), static_cast<int32_t>(text.size()), &length, units.data(),
                static_cast<int32_t>(units.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    text.resize(static_cast<size_t>(length));
    return text;
}

// Strict UTF-8 to UTF-16: ill-formed input gives no result.
std::optional<std::u16string> utf8ToUTF16(std::string_view text)
{
    if (text.size() > INT32_MAX)
        return std::nullopt;
    std::u16string units(text.size(), u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8(units.data(), static_cast<int32_t>(units.size()), &length, text.data(),
                  static_cast<int32_t>(text.size()), &status);
    if (U_FAILURE(status))
        return std::nullopt;
    units.resize(static_cast<size_t>(length));
    return units;
}

std::optional<std::string> decodeWithConverter(std::span<const std::uint8_t> bytes, const char* converterName)
{
    UConverter* converter = strictConverter(converterName);
    if (converter == nullptr)
        return std::nullopt;
    const auto units = toUTF16(converter, bytes);
    return units ? utf16ToUTF8(*units) : std::nullopt;
}

std::optional<std::vector<std::uint8_t>> encodeWithConverter(const std::u16string& units, const char* converterName)
{
    UConverter* converter = strictConverter(converterName);
    if (converter == nullptr)
        return std::nullopt;
    return fromUTF16(converter, units);
}

const Entry* availableEntry(StringEncoding encoding)
{
    const Entry* entry = StringEncodings::find(encoding);
    if (entry == nullptr)
        Log::format("no converter for string encoding 0x%X", static_cast<unsigned>(encoding));
    return entry;
}

// The English name is the key of the localized name in the bundle's string tables.
std::string localizedEncodingName(const char* englishName)
{
    return Bundle::main().localizedString(englishName);
}

} // namespace

const std::vector<StringEncodings::Entry>& StringEncodings::available()
{
    static const std::vector<Entry> entries = [] {
        std::vector<Entry> opened;
        for (const Entry& entry : kTable) {
            if (openExactly(entry.converterName))
                opened.push_back(entry);
        }
        return opened;
    }();
    return entries;
}

const StringEncodings::Entry* StringEncodings::find(StringEncoding encoding)
{
    const auto& entries = available();
    auto found = std::find_if(entries.begin(), entries.end(),
                              [encoding](const Entry& entry) { return entry.number == encoding; });
    return found == entries.end() ? nullptr : &*found;
}

std::string StringEncodings::localizedName(StringEncoding encoding)
{
    const Entry* entry = find(encoding);
    return entry == nullptr ? std::string() : localizedEncodingName(entry->englishName);
}

std::optional<std::string> StringEncodings::decode(std::span<const std::uint8_t> bytes, StringEncoding encoding)
{
    const Entry* entry = availableEntry(encoding);
    if (entry == nullptr)
        return std::nullopt;
    if (bytes.empty())
        return std::string();
    if (encoding == Encoding::UTF8 || encoding == Encoding::ASCII) {
        const bool valid = encoding == Encoding::UTF8 ? isValidUTF8(bytes) : isASCII(bytes);
        if (!valid)
            return std::nullopt;
        return std::string(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    return decodeWithConverter(bytes, entry->converterName);
}

std::optional<std::string> StringEncodings::decode(std::string_view bytes, StringEncoding encoding)
{
    return decode(asBytes(bytes), encoding);
}

std::optional<std::vector<std::uint8_t>> StringEncodings::encode(std::string_view text, StringEncoding encoding)
{
    const Entry* entry = availableEntry(encoding);
    if (entry == nullptr)
        return std::nullopt;
    const auto bytes = asBytes(text);
    if (!isValidUTF8(bytes) || (encoding == Encoding::ASCII && !isASCII(bytes)))
        return std::nullopt;
    if (text.empty() || encoding == Encoding::UTF8 || encoding == Encoding::ASCII)
        return std::vector<std::uint8_t>(bytes.begin(), bytes.end());
    auto units = utf8ToUTF16(text);
    return units ? encodeWithConverter(*units, entry->converterName) : std::nullopt;
}

namespace {

// Steps over whole 8-byte words of ASCII from an index (each such byte is a character of its own).
std::size_t afterASCIIWords(std::span<const std::uint8_t> bytes, std::size_t index)
{
    constexpr std::uint64_t HighBits = 0x8080808080808080ull;
    for (std::uint64_t word = 0; index + sizeof word <= bytes.size(); index += sizeof word) {
        std::memcpy(&word, bytes.data() + index, sizeof word);
        if (word & HighBits)
            break;
    }
    return index;
}

} // namespace

bool StringEncodings::isValidUTF8(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() > INT32_MAX)
        return false;
    const auto length = static_cast<int32_t>(bytes.size());
    int32_t index = 0;
    while (index < length) {
        index = static_cast<int32_t>(afterASCIIWords(bytes, static_cast<std::size_t>(index)));
        if (index >= length)
            break;
        UChar32 character = 0;
        U8_NEXT(bytes.data(), index, length, character);
        if (character < 0)
            return false;
    }
    return true;
}

} // namespace qm
