#include "foundation/Log.h"
#include "foundation/StringEncodings.h"

#include <gtest/gtest.h>

#include "support/Concurrency.h"

#include <atomic>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace qm {
namespace {

using namespace std::string_literals;

constexpr StringEncoding cf(std::uint32_t value) { return 0x80000000u | value; }

std::vector<std::uint8_t> bytesOf(const std::string& bytes) { return {bytes.begin(), bytes.end()}; }

struct Sample {
    const char* label;
    StringEncoding encoding;
    std::string bytes;
    std::string text;
};

// One characteristic sample per family, from bytes whose meaning in the charset is known.
const std::vector<Sample> kSamples = {
    {"Mac OS Roman 0x8E and euro", Encoding::MacOSRoman, "caf\x8E \xDB", "café €"},
    {"cp1252 0x8E, NUL and euro", Encoding::WindowsCP1252, "\x8E\0\x80"s, "Ž\0€"s},
    {"ISO Latin 1", Encoding::ISOLatin1, "\xE9", "é"},
    {"ISO Latin 2", Encoding::ISOLatin2, "\xB9", "š"},
    {"cp1250", Encoding::WindowsCP1250, "\x9A", "š"},
    {"cp1251", Encoding::WindowsCP1251, "\xC0\xE1\xE2", "Абв"},
    {"cp1253", Encoding::WindowsCP1253, "\xE1\xE2\xE3", "αβγ"},
    {"cp1254", Encoding::WindowsCP1254, "\xF0\xFD", "ğı"},
    {"Shift JIS", Encoding::ShiftJIS, "\x82\xA0", "あ"},
    {"EUC-JP", Encoding::JapaneseEUC, "\xA4\xA2", "あ"},
    {"ISO-2022-JP", Encoding::ISO2022JP, "\x1B$B$\"\x1B(B", "あ"},
    {"ISO-2022-JP-2", cf(0x821), "\x1B$B$\"\x1B(B", "あ"},
    {"ASCII", Encoding::ASCII, "abc", "abc"},
    {"UTF-8 with NUL", Encoding::UTF8, "\xC3\xA9 a\0b"s, "é a\0b"s},
    {"UTF-16BE pair", Encoding::UTF16BigEndian, "\x00\xE9\xD8\x3D\xDE\x00"s, "é😀"},
    {"UTF-16LE", Encoding::UTF16LittleEndian, "\xE9\x00"s, "é"},
    {"UTF-32BE", Encoding::UTF32BigEndian, "\x00\x01\xF6\x00"s, "😀"},
    {"UTF-32LE", Encoding::UTF32LittleEndian, "\xE9\x00\x00\x00"s, "é"},
    {"Mac Cyrillic", cf(7), "\x86", "Ж"},
    {"Mac Central European", cf(29), "\x8A", "ä"},
    {"Mac Greek", cf(6), "\xE1", "α"},
    {"Mac Turkish", cf(35), "\xDB", "ğ"},
    {"ISO Latin 3", cf(0x203), "\xB6", "ĥ"},
    {"ISO 8859-5", cf(0x205), "\xB0", "А"},
    {"ISO 8859-6", cf(0x206), "\xC7", "ا"},
    {"ISO 8859-7", cf(0x207), "\xE1", "α"},
    {"ISO 8859-8", cf(0x208), "\xE0", "א"},
    {"ISO Latin 5", cf(0x209), "\xFE", "ş"},
    {"ISO Latin 6", cf(0x20A), "\xBF", "ŋ"},
    {"ISO 8859-11", cf(0x20B), "\xA1", "ก"},
    {"ISO Latin 7", cf(0x20D), "\xE0", "ą"},
    {"ISO Latin 8", cf(0x20E), "\xF0", "ŵ"},
    {"ISO Latin 9", cf(0x20F), "\xA4", "€"},
    {"DOS 437", cf(0x400), "\x82", "é"},
    {"DOS 737", cf(0x405), "\x98", "α"},
    {"DOS 852", cf(0x412), "\xE7", "š"},
    {"DOS 866", cf(0x41B), "\x80", "А"},
    {"DOS 874", cf(0x41D), "\xA1", "ก"},
    {"DOS 936", cf(0x421), "\xD6\xD0", "中"},
    {"DOS 949", cf(0x422), "\xB0\xA1", "가"},
    {"DOS 950", cf(0x423), "\xA4\xA4", "中"},
    {"cp1255", cf(0x505), "\xE0", "א"},
    {"cp1256", cf(0x506), "\xC7", "ا"},
    {"cp1257", cf(0x507), "\xE0", "ą"},
    {"cp1258", cf(0x508), "\xF0", "đ"},
    {"GB 2312", cf(0x630), "\xD6\xD0", "中"},
    {"GB 18030 four bytes", cf(0x632), "\xD6\xD0\x81\x30\x81\x30", "中\u0080"},
    {"KSC 5601", cf(0x640), "\xB0\xA1", "가"},
    {"ISO-2022-CN", cf(0x830), "\x1B$)A\x0EVP\x0F", "中"},
    {"ISO-2022-KR", cf(0x840), "\x1B$)C\x0E\x30\x21\x0F\\", "가\\"},
    {"EUC-CN", cf(0x930), "\xD6\xD0", "中"},
    {"EUC-TW", cf(0x931), "\xC4\xA1", "一"},
    {"EUC-KR", cf(0x940), "\xB0\xA1", "가"},
    {"KOI8-R", cf(0xA02), "\xE1", "А"},
    {"Big 5", cf(0xA03), "\xA4\xA4", "中"},
    {"Big 5 HKSCS", cf(0xA06), "\xA4\xA4", "中"},
    {"KOI8-U", cf(0xA08), "\xAD", "ґ"},
};

TEST(StringEncodingsTest, DecodesAndEncodesEachFamily)
{
    for (const Sample& sample : kSamples) {
        EXPECT_EQ(StringEncodings::decode(sample.bytes, sample.encoding), sample.text) << sample.label;
        EXPECT_EQ(StringEncodings::encode(sample.text, sample.encoding), bytesOf(sample.bytes)) << sample.label;
    }
}

TEST(StringEncodingsTest, RejectsInvalidBytes)
{
    const std::vector<Sample> invalid = {
        {"UTF-8 bad continuation", Encoding::UTF8, "\xC3\x28", ""},
        {"UTF-8 surrogate", Encoding::UTF8, "\xED\xA0\x80", ""},
        {"UTF-8 above U+10FFFF", Encoding::UTF8, "\xF4\x90\x80\x80", ""},
        {"UTF-8 truncated", Encoding::UTF8, "\xC3", ""},
        {"UTF-8 overlong NUL", Encoding::UTF8, "\xC0\x80", ""},
        {"UTF-8 overlong slash", Encoding::UTF8, "\xE0\x80\xAF", ""},
        {"UTF-8 lone continuation", Encoding::UTF8, "a\x80", ""},
        {"ASCII high byte", Encoding::ASCII, "ab\x80", ""},
        {"UTF-16 odd length", Encoding::Unicode, "\x00\x61\x00"s, ""},
        {"UTF-16BE lone high surrogate", Encoding::UTF16BigEndian, "\xD8\x00\x00\x61"s, ""},
        {"UTF-16LE lone low surrogate", Encoding::UTF16LittleEndian, "\x00\xDC"s, ""},
        {"UTF-32BE above U+10FFFF", Encoding::UTF32BigEndian, "\x00\x11\x00\x00"s, ""},
        {"UTF-32BE surrogate", Encoding::UTF32BigEndian, "\x00\x00\xD8\x00"s, ""},
        {"Shift JIS truncated", Encoding::ShiftJIS, "\x82", ""},
        {"EUC-JP truncated", Encoding::JapaneseEUC, "a\xA4", ""},
        {"ISO-2022-JP truncated", Encoding::ISO2022JP, "\x1B$B$", ""},
        {"cp1253 unassigned", Encoding::WindowsCP1253, "\xD2", ""},
        {"GB 18030 truncated", cf(0x632), "\x81\x30", ""},
        {"ISO-2022-CN truncated", cf(0x830), "\x1B$)A\x0EV", ""},
        {"ISO-2022-KR truncated", cf(0x840), "\x1B$)C\x0E\x30", ""},
        {"EUC-TW truncated", cf(0x931), "\xC4", ""},
        {"Big 5 truncated", cf(0xA03), "\xA4", ""},
    };
    for (const Sample& sample : invalid)
        EXPECT_EQ(StringEncodings::decode(sample.bytes, sample.encoding), std::nullopt) << sample.label;
}

TEST(StringEncodingsTest, RejectsTextTheTargetCannotHold)
{
    const std::vector<Sample> unrepresentable = {
        {"euro in ISO Latin 1", Encoding::ISOLatin1, "", "€"},
        {"kana in cp1252", Encoding::WindowsCP1252, "", "あ"},
        {"Cyrillic in Mac OS Roman", Encoding::MacOSRoman, "", "Ж"},
        {"accent in ASCII", Encoding::ASCII, "", "é"},
        {"Han in ISO 8859-5", cf(0x205), "", "中"},
        {"invalid UTF-8 to UTF-8", Encoding::UTF8, "", "\xC3\x28"},
        {"invalid UTF-8 to cp1252", Encoding::WindowsCP1252, "", "\xC3"},
        {"encoded surrogate to UTF-16", Encoding::Unicode, "", "\xED\xA0\x80"},
    };
    for (const Sample& sample : unrepresentable)
        EXPECT_EQ(StringEncodings::encode(sample.text, sample.encoding), std::nullopt) << sample.label;
    EXPECT_EQ(StringEncodings::encode("€", Encoding::WindowsCP1252), bytesOf("\x80"));
}

TEST(StringEncodingsTest, UnicodeHonoursByteOrderMark)
{
    const std::vector<Sample> samples = {
        {"UTF-16 big-endian mark", Encoding::Unicode, "\xFE\xFF\x00\x61"s, "a"},
        {"UTF-16 little-endian mark", Encoding::Unicode, "\xFF\xFE\x61\x00"s, "a"},
        {"UTF-16 without mark is big-endian", Encoding::Unicode, "\x00\x61\x00\xE9"s, "aé"},
        {"UTF-16 mark only", Encoding::Unicode, "\xFF\xFE"s, ""},
        {"UTF-32 little-endian mark", Encoding::UTF32, "\xFF\xFE\x00\x00\x61\x00\x00\x00"s, "a"},
        {"UTF-32 without mark is big-endian", Encoding::UTF32, "\x00\x00\x00\x61"s, "a"},
        {"UTF-16BE keeps a leading U+FEFF", Encoding::UTF16BigEndian, "\xFE\xFF\x00\x61"s, "\uFEFFa"},
    };
    for (const Sample& sample : samples)
        EXPECT_EQ(StringEncodings::decode(sample.bytes, sample.encoding), sample.text) << sample.label;

    for (StringEncoding encoding : {Encoding::Unicode, Encoding::UTF32}) {
        const auto bytes = StringEncodings::encode("é", encoding);
        ASSERT_TRUE(bytes.has_value()) << encoding;
        const std::string text(bytes->begin(), bytes->end());
        const bool marked = text.starts_with("\xFF\xFE"s) || text.starts_with("\xFE\xFF"s) ||
                            text.starts_with("\x00\x00\xFE\xFF"s);
        EXPECT_TRUE(marked) << encoding;
        EXPECT_EQ(StringEncodings::decode(*bytes, encoding), "é") << encoding;
    }
}

TEST(StringEncodingsTest, EmptyInputGivesEmptyResult)
{
    for (StringEncoding encoding : {Encoding::ASCII, Encoding::UTF8, Encoding::MacOSRoman, Encoding::Unicode,
                                    Encoding::UTF32, Encoding::ISO2022JP, cf(0x840)}) {
        EXPECT_EQ(StringEncodings::decode(std::string_view(), encoding), "") << encoding;
        EXPECT_EQ(StringEncodings::encode("", encoding), std::vector<std::uint8_t>()) << encoding;
    }
}

TEST(StringEncodingsTest, UnknownEncodingsGiveNoResultAndALogLine)
{
    for (StringEncoding encoding : {0u, 2u, 7u, 0x12345u, cf(1), cf(0xA05), cf(0xB01)}) {
        LogCapture capture;
        EXPECT_FALSE(StringEncodings::isAvailable(encoding)) << encoding;
        EXPECT_EQ(StringEncodings::decode("abc", encoding), std::nullopt) << encoding;
        EXPECT_EQ(StringEncodings::decode("", encoding), std::nullopt) << encoding;
        EXPECT_EQ(StringEncodings::encode("abc", encoding), std::nullopt) << encoding;
        EXPECT_EQ(StringEncodings::localizedName(encoding), "") << encoding;
        EXPECT_TRUE(capture.contains("no converter for string encoding")) << encoding;
    }
}

TEST(StringEncodingsTest, AvailableListsEachOpenableEncodingOnce)
{
    std::set<StringEncoding> numbers;
    std::set<std::string> names;
    for (const auto& entry : StringEncodings::available()) {
        EXPECT_TRUE(numbers.insert(entry.number).second) << "number twice: " << entry.number;
        EXPECT_TRUE(names.insert(entry.englishName).second) << "name twice: " << entry.englishName;
        EXPECT_EQ(StringEncodings::find(entry.number), &entry) << entry.englishName;
    }
    for (StringEncoding required : {1u, 3u, 4u, 5u, 8u, 9u, 10u, 11u, 12u, 13u, 14u, 15u, 21u, 30u,
                                    Encoding::UTF16BigEndian, Encoding::UTF16LittleEndian, Encoding::UTF32,
                                    Encoding::UTF32BigEndian, Encoding::UTF32LittleEndian})
        EXPECT_TRUE(numbers.contains(required)) << required;
    EXPECT_FALSE(numbers.contains(2));
}

// Sets an environment variable while it lives.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : mName(name)
    {
        if (const char* previous = std::getenv(name))
            mPrevious = previous;
        ::setenv(name, value, 1);
    }
    ~ScopedEnvironment()
    {
        if (mPrevious)
            ::setenv(mName, mPrevious->c_str(), 1);
        else
            ::unsetenv(mName);
    }

private:
    const char* mName;
    std::optional<std::string> mPrevious;
};

TEST(StringEncodingsTest, LocalizedNameInEnglishIsTheEnglishName)
{
    ScopedEnvironment language("LANGUAGE", "en");
    EXPECT_EQ(StringEncodings::localizedName(Encoding::MacOSRoman), "Western (Mac OS Roman)");
    EXPECT_EQ(StringEncodings::localizedName(Encoding::UTF8), "Unicode (UTF-8)");
    EXPECT_EQ(StringEncodings::localizedName(Encoding::WindowsCP1251), "Cyrillic (Windows)");
}

// Printable ASCII in the encoding's own form: every available converter must read it.
std::string plainTextIn(StringEncoding encoding, const std::string& ascii)
{
    std::string bytes;
    for (char character : ascii) {
        switch (encoding) {
        case Encoding::Unicode:
        case Encoding::UTF16BigEndian: bytes += "\0"s + character; break;
        case Encoding::UTF16LittleEndian: bytes += character + "\0"s; break;
        case Encoding::UTF32:
        case Encoding::UTF32BigEndian: bytes += "\0\0\0"s + character; break;
        case Encoding::UTF32LittleEndian: bytes += character + "\0\0\0"s; break;
        default: bytes += character;
        }
    }
    return bytes;
}

TEST(StringEncodingsTest, EveryAvailableEncodingReadsPlainText)
{
    std::string ascii = "\t\r\n";
    for (char character = ' '; character < 0x7F; ++character)
        ascii += character;
    for (const auto& entry : StringEncodings::available()) {
        EXPECT_EQ(StringEncodings::decode(plainTextIn(entry.number, "abc"), entry.number), "abc")
            << entry.englishName;
        EXPECT_EQ(StringEncodings::decode(plainTextIn(entry.number, ascii), entry.number), ascii)
            << entry.englishName;
        const auto encoded = StringEncodings::encode(ascii, entry.number);
        ASSERT_TRUE(encoded.has_value()) << entry.englishName;
        EXPECT_EQ(StringEncodings::decode(*encoded, entry.number), ascii) << entry.englishName;
    }
}

TEST(StringEncodingsTest, ConvertsOnSeveralThreadsAtOnce)
{
    std::atomic<int> mismatches = 0;
    auto work = [&mismatches] {
        for (int round = 0; round < 50; ++round) {
            for (const Sample& sample : kSamples) {
                if (StringEncodings::decode(sample.bytes, sample.encoding) != sample.text ||
                    StringEncodings::encode(sample.text, sample.encoding) != bytesOf(sample.bytes))
                    ++mismatches;
            }
        }
    };
    qm::test::runOnThreads(4, work);
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace qm
