#include "foundation/PropertyList.h"

#include "foundation/Log.h"
#include "PlistTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <ctime>
#include <fstream>
#include <limits>
#include <string>
#include <sys/stat.h>

namespace qm {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();

using test::TempFolder;

Bytes bytesOf(std::string_view text)
{
    return Bytes(text.begin(), text.end());
}

Bytes readBytes(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

void writeBytes(const fs::path& path, const Bytes& bytes)
{
    std::ofstream file(path, std::ios::binary);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::string> folderEntries(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string formatName(PlistFormat format)
{
    return format == PlistFormat::Xml ? "XML" : "binary";
}

// ---------------------------------------------------------------------------------------------
// Binary property lists built by hand: objects as bytes, 4-byte offsets and references.

void appendBigEndian(Bytes& out, std::uint64_t value, int size)
{
    for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

Bytes arrayObject(const std::vector<std::uint32_t>& references)
{
    Bytes object;
    if (references.size() < 15) {
        object.push_back(static_cast<std::uint8_t>(0xA0 | references.size()));
    } else {
        object.push_back(0xAF);
        object.push_back(0x12);
        appendBigEndian(object, references.size(), 4);
    }
    for (auto reference : references)
        appendBigEndian(object, reference, 4);
    return object;
}

Bytes binaryPlist(const std::vector<Bytes>& objects, std::uint64_t top = 0)
{
    Bytes out = bytesOf("bplist00");
    std::vector<std::uint64_t> offsets;
    for (const auto& object : objects) {
        offsets.push_back(out.size());
        out.insert(out.end(), object.begin(), object.end());
    }
    const std::uint64_t table = out.size();
    for (auto offset : offsets)
        appendBigEndian(out, offset, 4);
    out.insert(out.end(), 6, 0);
    out.push_back(4); // offset size
    out.push_back(4); // reference size
    appendBigEndian(out, objects.size(), 8);
    appendBigEndian(out, top, 8);
    appendBigEndian(out, table, 8);
    return out;
}

// Object i is an array holding object i + 1 `fanOut` times; the last one is an empty array.
Bytes chainedArrays(std::uint32_t depth, int fanOut)
{
    std::vector<Bytes> objects;
    for (std::uint32_t i = 0; i < depth; ++i)
        objects.push_back(arrayObject(std::vector<std::uint32_t>(fanOut, i + 1)));
    objects.push_back(arrayObject({}));
    return binaryPlist(objects);
}

std::string nestedXmlArrays(int depth)
{
    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">";
    for (int i = 0; i < depth; ++i)
        xml += "<array>";
    for (int i = 0; i < depth; ++i)
        xml += "</array>";
    return xml + "</plist>";
}

double secondsSinceReferenceDate(int year, int month, int day)
{
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    return static_cast<double>(::timegm(&time)) - 978307200.0;
}

// ---------------------------------------------------------------------------------------------

struct RoundTripCase {
    const char* name;
    PlistValue value;
};

std::vector<RoundTripCase> roundTripCases(PlistFormat format)
{
    Bytes pattern(1000);
    for (size_t i = 0; i < pattern.size(); ++i)
        pattern[i] = static_cast<std::uint8_t>(i * 7);
    std::vector<RoundTripCase> cases = {
        {"true", true},
        {"false", false},
        {"zero", 0},
        {"one", 1},
        {"minus one", -1},
        {"minus five", -5},
        {"255", 255},
        {"256", 256},
        {"65536", 65536},
        {"INT32_MIN", std::int64_t(INT32_MIN)},
        {"2^32 + 1", std::int64_t(4294967297)},
        {"minus 10^12", std::int64_t(-1000000000000)},
        {"INT64_MAX", kInt64Max},
        {"INT64_MIN", kInt64Min},
        {"INT64_MIN + 1", kInt64Min + 1},
        {"real zero", 0.0},
        {"real 0.1", 0.1},
        {"real one third", 1.0 / 3.0},
        {"real whole", 3.0},
        {"negative real", -2.5},
        {"huge real", 1e300},
        {"tiny real", -1e-300},
        {"smallest denormal", std::numeric_limits<double>::denorm_min()},
        {"infinity", std::numeric_limits<double>::infinity()},
        {"minus infinity", -std::numeric_limits<double>::infinity()},
        {"empty string", ""},
        {"ASCII string", "plain text"},
        {"non-ASCII string", "Zürich – „Grüße“ 日本語 Ελληνικά 😀"},
        {"markup characters", "<b>&amp; \"quoted\" 'single'</b> ]]>"},
        {"white space", "  tab\there\nnext line  "},
        {"carriage returns", "line\rline\r\nline"},
        {"control characters", "bell\a escape\x1B"},
        {"empty data", PlistData{}},
        {"small data", PlistData{0, 1, 2, 0x7F, 0x80, 0xFF}},
        {"1000 bytes of data", pattern},
        {"reference date", PlistDate{0}},
        {"date in 2023", PlistDate{700000000}},
        {"date before 2001", PlistDate{-100000000}},
        {"empty array", PlistArray{}},
        {"mixed array", PlistArray{1, "two", 3.5, false, PlistData{9}, PlistDate{60}}},
        {"nested empty arrays", PlistArray{PlistArray{PlistArray{}}, PlistArray{}}},
        {"empty dictionary", PlistDictionary{}},
        {"dictionary with odd keys", PlistDictionary{{"", 0}, {"ü-schlüssel 😀", "wert"}, {"<&>\"", -1}}},
        {"nested dictionaries",
         PlistDictionary{
             {"a", PlistDictionary{{"b", PlistDictionary{{"c", PlistArray{PlistDictionary{{"d", PlistData{1, 2}}}}}}}}},
                         {"e", PlistDictionary{}}}},
    };
    if (format == PlistFormat::Binary) {
        // XML keeps dates to the second; binary keeps the fraction.
        cases.push_back({"date with fraction", PlistDate{123456789.25}});
        cases.push_back({"negative date with fraction", PlistDate{-12345.75}});
    }
    PlistDictionary everything;
    for (const auto& c : cases)
        everything.emplace(c.name, c.value);
    cases.push_back({"all of the above in one dictionary", everything});
    return cases;
}

TEST(PropertyListTest, ValuesRoundTripInBothFormats)
{
    for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        for (const auto& c : roundTripCases(format)) {
            SCOPED_TRACE(formatName(format) + ": " + c.name);
            const auto bytes = PropertyList::toBytes(c.value, format);
            ASSERT_TRUE(bytes);
            const auto back = PropertyList::fromBytes(*bytes);
            ASSERT_TRUE(back);
            EXPECT_EQ(*back, c.value);
        }
    }
}

TEST(PropertyListTest, BinaryDatesKeepMicroseconds)
{
    for (double seconds : {1000.000001, -1000.000001, 700000000.123456, 0.25}) {
        SCOPED_TRACE(seconds);
        const auto back = PropertyList::fromBytes(*PropertyList::toBytes(PlistDate{seconds}, PlistFormat::Binary));
        ASSERT_TRUE(back && back->date());
        // The file holds the exact double; libplist's accessor truncates to the microsecond.
        EXPECT_NEAR(back->date()->secondsSinceReferenceDate, seconds, 1.01e-6);
    }
}

TEST(PropertyListTest, FormatIsChosenOnWritingAndRecognisedOnReading)
{
    const PlistValue value = PlistDictionary{{"key", "välue"}};
    const auto xml = PropertyList::toBytes(value, PlistFormat::Xml);
    const auto binary = PropertyList::toBytes(value, PlistFormat::Binary);
    ASSERT_TRUE(xml && binary);
    EXPECT_EQ(std::string(xml->begin(), xml->begin() + 5), "<?xml");
    EXPECT_EQ(std::string(binary->begin(), binary->begin() + 8), "bplist00");
    EXPECT_EQ(PropertyList::fromBytes(*xml), value);
    EXPECT_EQ(PropertyList::fromBytes(*binary), value);
}

TEST(PropertyListTest, ValuesAPropertyListCannotHoldAreRefused)
{
    const struct {
        const char* name;
        PlistValue value;
    } cases[] = {
        {"null", PlistValue()},
        {"null in an array", PlistArray{1, PlistValue()}},
        {"null in a dictionary", PlistDictionary{{"a", PlistDictionary{{"b", PlistValue()}}}}},
        {"invalid UTF-8", std::string("caf\xE9")},
        {"truncated UTF-8", std::string("\xC3")},
        {"encoded surrogate", std::string("\xED\xA0\x80")},
        {"overlong encoding", std::string("\xC0\xAF")},
        {"NUL character", std::string("a\0b", 3)},
        {"invalid key", PlistDictionary{{std::string("\xFF"), 1}}},
        {"date after 2069", PlistDate{3e9}},
        {"date before 1933", PlistDate{-3e9}},
        {"date not a number", PlistDate{std::nan("")}},
    };
    for (const auto& c : cases) {
        for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
            SCOPED_TRACE(formatName(format) + ": " + c.name);
            LogCapture log;
            EXPECT_FALSE(PropertyList::toBytes(c.value, format));
            EXPECT_TRUE(log.contains("cannot write")) << "no log line";
        }
    }
}

TEST(PropertyListTest, CorruptOrTruncatedInputGivesNothingAndLogs)
{
    const Bytes binary = *PropertyList::toBytes(roundTripCases(PlistFormat::Binary).back().value, PlistFormat::Binary);
    const Bytes xml = *PropertyList::toBytes(PlistDictionary{{"a", PlistArray{1, 2}}, {"b", "text"}}, PlistFormat::Xml);
    Bytes badTrailer = binary;
    badTrailer[badTrailer.size() - 1] ^= 0x55; // offset table offset
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"empty", {}},
        {"garbage", bytesOf("this is not a property list")},
        {"binary magic only", bytesOf("bplist00")},
        {"binary cut in half", Bytes(binary.begin(), binary.begin() + binary.size() / 2)},
        {"binary without its last byte", Bytes(binary.begin(), binary.end() - 1)},
        {"binary with a broken trailer", badTrailer},
        {"XML cut in half", Bytes(xml.begin(), xml.begin() + xml.size() / 2)},
        {"XML without a root", bytesOf("<?xml version=\"1.0\"?><plist version=\"1.0\"></plist>")},
        {"XML string not UTF-8", bytesOf("<plist version=\"1.0\"><string>caf\xE9</string></plist>")},
        {"reference out of range", binaryPlist({arrayObject({5})})},
        {"arrays holding each other", binaryPlist({arrayObject({1}), arrayObject({0})})},
        {"array holding itself", binaryPlist({arrayObject({0})})},
        // libplist aborts on strings holding NUL: these must never reach it.
        {"XML string holding a NUL byte", bytesOf(std::string_view("<plist><string>a\0b</string></plist>", 35))},
        {"binary ASCII string holding NUL", binaryPlist({Bytes{0x53, 'a', 0, 'b'}})},
        {"binary UTF-16 string holding NUL", binaryPlist({Bytes{0x62, 0, 'a', 0, 0}})},
        {"binary key holding NUL",
         binaryPlist({Bytes{0xD1, 0, 0, 0, 1, 0, 0, 0, 2}, Bytes{0x53, 'k', 0, 'y'}, Bytes{0x09}})},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        EXPECT_FALSE(PropertyList::fromBytes(c.bytes));
        EXPECT_FALSE(log.lines().empty()) << "no log line";
    }
}

TEST(PropertyListTest, EveryTruncationOfABinaryListIsRefused)
{
    const Bytes binary = *PropertyList::toBytes(PlistDictionary{{"k", PlistArray{"välue", 1.5, PlistData{1}}}},
                                                PlistFormat::Binary);
    LogCapture log;
    for (size_t size = 0; size < binary.size(); ++size)
        EXPECT_FALSE(PropertyList::fromBytes(std::span(binary.data(), size))) << "prefix of " << size << " bytes";
}

TEST(PropertyListTest, DamagedBinaryListsDoNotCrash)
{
    // One value of every kind, ASCII and UTF-16 strings among them.
    const PlistValue sample = PlistDictionary{
        {"ascii", "plain"}, {"utf16", "Grüße 😀"}, {"negative", -5}, {"big", std::int64_t(1) << 40},
        {"real", 2.5}, {"data", PlistData{1, 2, 3}}, {"date", PlistDate{100.5}},
        {"array", PlistArray{true, false, PlistArray{}, PlistDictionary{{"k", "v"}}}},
    };
    const Bytes binary = *PropertyList::toBytes(sample, PlistFormat::Binary);
    LogCapture log;
    for (size_t i = 8; i < binary.size(); ++i) {
        for (std::uint8_t replacement : {0x00, 0x0F, 0x7F, 0xAF, 0xDF, 0xFF}) {
            Bytes damaged = binary;
            damaged[i] = replacement;
            (void)PropertyList::fromBytes(damaged); // either a value or nothing
        }
    }
}

TEST(PropertyListTest, HostileShapesAreRefusedQuickly)
{
    const struct {
        const char* name;
        Bytes bytes;
    } cases[] = {
        {"XML nested 100000 deep", bytesOf(nestedXmlArrays(100000))},
        {"binary nested 100000 deep", chainedArrays(100000, 1)},
        {"binary nested 600 deep", chainedArrays(600, 1)},
        {"binary sharing that expands to 2^64 values", chainedArrays(64, 2)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(PropertyList::fromBytes(c.bytes));
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
        EXPECT_TRUE(log.contains("refused")) << "no log line";
    }
}

TEST(PropertyListTest, ReasonableNestingAndSharingAreRead)
{
    auto xml = PropertyList::fromBytes(bytesOf(nestedXmlArrays(200)));
    ASSERT_TRUE(xml);
    auto binary = PropertyList::fromBytes(chainedArrays(199, 1)); // 199 arrays around an empty one
    ASSERT_TRUE(binary);
    EXPECT_EQ(*xml, *binary);

    // Shared objects are copies: 2^10 leaves.
    auto shared = PropertyList::fromBytes(chainedArrays(10, 2));
    ASSERT_TRUE(shared);
    size_t leaves = 0;
    auto count = [&](auto& self, const PlistValue& value) -> void {
        if (value.array()->empty())
            ++leaves;
        for (const auto& element : *value.array())
            self(self, element);
    };
    count(count, *shared);
    EXPECT_EQ(leaves, 1024u);
}

TEST(PropertyListTest, SharedObjectReachedDeeperThanFirstSeenCountsItsFullDepth)
{
    // Object 0 holds a chain of 300 arrays whose end, object 300, also starts a chain of 300:
    // object 0 reaches object 300 directly first, then again through the long chain, 600 deep.
    std::vector<Bytes> objects;
    objects.push_back(arrayObject({300, 1}));
    for (std::uint32_t i = 1; i < 600; ++i)
        objects.push_back(arrayObject({i + 1}));
    objects.push_back(arrayObject({}));
    LogCapture log;
    EXPECT_FALSE(PropertyList::fromBytes(binaryPlist(objects)));
    EXPECT_TRUE(log.contains("nested too deeply"));
}

TEST(PropertyListTest, BinaryDatesBeyond32BitsAreReadToTheSecond)
{
    for (double seconds : {1e10, -3e9}) {
        SCOPED_TRACE(seconds);
        Bytes date{0x33};
        std::uint64_t bits;
        std::memcpy(&bits, &seconds, sizeof bits);
        appendBigEndian(date, bits, 8);
        EXPECT_EQ(PropertyList::fromBytes(binaryPlist({date})), PlistValue(PlistDate{seconds}));
    }
}

TEST(PropertyListTest, BinaryUidReadsAsItsXmlForm)
{
    const auto value = PropertyList::fromBytes(binaryPlist({Bytes{0x80, 0x07}}));
    ASSERT_TRUE(value);
    EXPECT_EQ(*value, PlistValue(PlistDictionary{{"CF$UID", 7}}));
}

TEST(PropertyListTest, IntegersBeyondInt64AndDatesBeyond32BitsAreReadFaithfully)
{
    const struct {
        const char* name;
        const char* xml;
        PlistValue expected;
        bool logged;
    } cases[] = {
        {"minus one", "<integer>-1</integer>", -1, false},
        {"INT64_MIN", "<integer>-9223372036854775808</integer>", kInt64Min, false},
        {"2^63 becomes a real", "<integer>9223372036854775808</integer>", 9223372036854775808.0, true},
        {"UINT64_MAX becomes a real", "<integer>18446744073709551615</integer>", 18446744073709551615.0, true},
        {"date in 2318", "<date>2318-01-01T00:00:00Z</date>", PlistDate{secondsSinceReferenceDate(2318, 1, 1)}, false},
        {"date in 1900", "<date>1900-01-01T00:00:00Z</date>", PlistDate{secondsSinceReferenceDate(1900, 1, 1)}, false},
        {"date in 1999", "<date>1999-06-30T00:00:00Z</date>", PlistDate{secondsSinceReferenceDate(1999, 6, 30)}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LogCapture log;
        const auto value = PropertyList::fromBytes(bytesOf(std::string("<plist version=\"1.0\">") + c.xml + "</plist>"));
        ASSERT_TRUE(value);
        EXPECT_EQ(*value, c.expected);
        EXPECT_EQ(!log.lines().empty(), c.logged);
    }
}

// ---------------------------------------------------------------------------------------------
// Files

TEST(PropertyListTest, WriteFileAtomicallyWritesBothFormatsAndLeavesNoTemporaryFile)
{
    TempFolder folder;
    const PlistValue value = roundTripCases(PlistFormat::Xml).back().value;
    for (PlistFormat format : {PlistFormat::Xml, PlistFormat::Binary}) {
        SCOPED_TRACE(formatName(format));
        const fs::path file = folder.path() / "settings.plist";
        ASSERT_TRUE(PropertyList::writeFileAtomically(file, value, format));
        EXPECT_EQ(readBytes(file), *PropertyList::toBytes(value, format));
        EXPECT_EQ(PropertyList::readFile(file), value);
        EXPECT_EQ(folderEntries(folder.path()), std::vector<std::string>{"settings.plist"});
    }
}

TEST(PropertyListTest, WriteFileAtomicallyCreatesMissingFolders)
{
    TempFolder folder;
    const fs::path file = folder.path() / "a" / "b" / "c.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistArray{1}, PlistFormat::Xml));
    EXPECT_EQ(PropertyList::readFile(file), PlistValue(PlistArray{1}));
}

TEST(PropertyListTest, FailedWritesKeepTheOldFileAndLeaveNoTemporaryFile)
{
    TempFolder folder;
    const fs::path file = folder.path() / "settings.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistDictionary{{"old", 1}}, PlistFormat::Xml));
    const Bytes old = readBytes(file);

    {
        SCOPED_TRACE("unstorable value");
        LogCapture log;
        EXPECT_FALSE(PropertyList::writeFileAtomically(file, PlistArray{PlistValue()}, PlistFormat::Xml));
        EXPECT_TRUE(log.contains("settings.plist"));
        EXPECT_EQ(readBytes(file), old);
    }
    {
        SCOPED_TRACE("parent folder is a regular file");
        LogCapture log;
        EXPECT_FALSE(PropertyList::writeFileAtomically(file / "inner.plist", PlistArray{}, PlistFormat::Xml));
        EXPECT_TRUE(log.contains("settings.plist"));
        EXPECT_EQ(readBytes(file), old);
    }
    {
        SCOPED_TRACE("target is a folder that cannot be replaced");
        fs::create_directories(folder.path() / "occupied" / "content");
        LogCapture log;
        EXPECT_FALSE(PropertyList::writeFileAtomically(folder.path() / "occupied", PlistArray{}, PlistFormat::Binary));
        EXPECT_TRUE(log.contains("occupied"));
        EXPECT_TRUE(fs::is_directory(folder.path() / "occupied" / "content"));
    }
    EXPECT_EQ(folderEntries(folder.path()), (std::vector<std::string>{"occupied", "settings.plist"}));
}

TEST(PropertyListTest, WriteFileAtomicallyKeepsPermissionsAndFollowsLinks)
{
    TempFolder folder;
    const fs::path file = folder.path() / "settings.plist";
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistArray{1}, PlistFormat::Xml));
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(PropertyList::writeFileAtomically(file, PlistArray{2}, PlistFormat::Xml));
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const mode_t previous = ::umask(022);
    const fs::path fresh = folder.path() / "fresh.plist";
    const bool written = PropertyList::writeFileAtomically(fresh, PlistArray{}, PlistFormat::Xml);
    ::umask(previous);
    ASSERT_TRUE(written);
    EXPECT_EQ(fs::status(fresh).permissions(), fs::perms(0644)) << "a new file follows the umask";

    const fs::path link = folder.path() / "link.plist";
    fs::create_symlink(file, link);
    ASSERT_TRUE(PropertyList::writeFileAtomically(link, PlistArray{3}, PlistFormat::Xml));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(PropertyList::readFile(file), PlistValue(PlistArray{3}));
}

TEST(PropertyListTest, ReadFileFailures)
{
    TempFolder folder;
    {
        SCOPED_TRACE("missing file: nothing, silently");
        LogCapture log;
        EXPECT_FALSE(PropertyList::readFile(folder.path() / "missing.plist"));
        EXPECT_TRUE(log.lines().empty());
    }
    {
        SCOPED_TRACE("folder: nothing, logged");
        LogCapture log;
        EXPECT_FALSE(PropertyList::readFile(folder.path()));
        EXPECT_FALSE(log.lines().empty());
    }
    {
        SCOPED_TRACE("corrupt file: nothing, logged with its name");
        writeBytes(folder.path() / "corrupt.plist", bytesOf("<plist><dict><key>a"));
        LogCapture log;
        EXPECT_FALSE(PropertyList::readFile(folder.path() / "corrupt.plist"));
        EXPECT_TRUE(log.contains("corrupt.plist"));
    }
}

} // namespace
} // namespace qm
