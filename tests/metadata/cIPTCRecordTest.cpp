#include <gtest/gtest.h>

#include "support/RecordSummary.h"

#include "support/ByteFixtures.h"

#include <unicode/locid.h>

#include "foundation/ArchiveReader.h"
#include "foundation/Log.h"
#include "metadata/cIPTCRecord.h"
#include "metadata/simpleDataStream.h"
#include "metadata/simpleOutputStream.h"

using namespace qm;
using namespace qm::test;

namespace {

IPTCRecordArray readBlock(const Bytes& block, std::optional<std::uint32_t> maxBytes = std::nullopt)
{
    simpleDataStream stream(std::make_shared<const Bytes>(block));
    return cIPTCRecord::IPTCRecordsFromStream(stream, maxBytes.value_or(stream.streamByteCount()));
}

std::string summary(const IPTCRecordArray& records)
{
    return test::recordSummary(records);
}

std::shared_ptr<cIPTCRecord> record(std::uint8_t r, std::uint8_t d, const Bytes& data,
                                    StringEncoding encoding = Encoding::MacOSRoman)
{
    auto result = std::make_shared<cIPTCRecord>(r, d, data);
    result->setTextEncoding(encoding);
    return result;
}

class EnglishLocale : public ::testing::Test {
protected:
    void SetUp() override
    {
        UErrorCode status = U_ZERO_ERROR;
        icu::Locale::setDefault(icu::Locale("en_US"), status);
        cIPTCRecord::setCaptionMode(0);
    }
    void TearDown() override { cIPTCRecord::setCaptionMode(0); }
};

} // namespace

TEST(cIPTCRecordBlock, ReadsDatasetsUntilTheBlockEnds)
{
    const Bytes hello = dataset(2, 120, text("Hello")) + dataset(2, 25, text("abc"));
    const Bytes marker = dataset(1, 90, {0x1B, 0x25, 0x47}) + dataset(2, 120, text("x"));
    const struct {
        const char* name;
        Bytes block;
        std::string expected;
    } cases[] = {
        {"two datasets", hello, "2:120=Hello@30 2:25=abc@30 "},
        {"UTF-8 marker marks every record", marker, "1:90=\x1B%G@4 2:120=x@4 "},
        {"one pad byte", hello + Bytes{0}, "2:120=Hello@30 2:25=abc@30 "},
        {"several zero bytes", hello + Bytes(7, 0), "2:120=Hello@30 2:25=abc@30 "},
        {"extended length ends the block", dataset(2, 5, text("a")) + Bytes{0x1C, 2, 10, 0x80, 0x04, 0, 0, 0, 4},
         "2:5=a@30 "},
        {"empty dataset is kept and the block goes on", dataset(2, 5, Bytes{}) + dataset(2, 25, text("k")),
         "2:5=@30 2:25=k@30 "},
        {"data cut short keeps what is there", Bytes{0x1C, 2, 120, 0, 10, 'a', 'b'}, "2:120=ab@30 "},
        {"truncated header gives no record", dataset(2, 5, text("a")) + Bytes{0x1C, 2, 25, 0}, "2:5=a@30 "},
        {"wrong tag stops", Bytes{0x1D, 2, 5, 0, 1, 'a'} + dataset(2, 25, text("k")), ""},
        {"empty block", Bytes{}, ""},
        {"marker with trailing byte is not the marker", dataset(1, 90, {0x1B, 0x25, 0x47, 0}), "1:90=\x1B%G\0@30 "},
    };
    for (const auto& c : cases) {
        std::string expected = c.expected;
        if (std::string(c.name).starts_with("marker with"))
            expected = std::string("1:90=\x1B%G") + '\0' + "@30 ";
        EXPECT_EQ(summary(readBlock(c.block)), expected) << c.name;
    }
}

TEST(cIPTCRecordBlock, ADatasetNeverReachesPastTheGivenEnd)
{
    const Bytes block = dataset(2, 120, text("Hello")) + text("NEXT RESOURCE");
    EXPECT_EQ(summary(readBlock(block, 7)), "2:120=He@30 ");
    EXPECT_EQ(summary(readBlock(block, 3)), "") << "no room for a header";
}

TEST_F(EnglishLocale, DisplayTextFollowsTheDatasetRules)
{
    const Bytes slots = [] {
        Bytes b(512, 0);
        const std::string first = "one", second = "two";
        std::copy(first.begin(), first.end(), b.begin());
        std::copy(second.begin(), second.end(), b.begin() + 256);
        return b + text("tail");
    }();
    const struct {
        const char* name;
        std::shared_ptr<cIPTCRecord> record;
        StringEncoding encoding;
        std::optional<std::string> expected;
    } cases[] = {
        {"date created", record(2, 55, text("20090315")), 30, "Sunday, March 15, 2009"},
        {"date not in IIM form", record(2, 55, text("2009-03-15")), 30, "2009-03-15"},
        {"impossible date", record(2, 30, text("20091315")), 30, "20091315"},
        {"record version", record(2, 0, {0x00, 0x04}), 30, "4"},
        {"record version of one byte", record(2, 0, {0x04}), 30, "4"},
        {"UTF-8 marker", record(1, 90, {0x1B, 0x25, 0x47}), 30, "UTF-8"},
        {"other character set", record(1, 90, {0x1B, 0x25}), 30, "[2 bytes]"},
        {"envelope binary", record(1, 20, {0, 1}), 30, "[2 bytes]"},
        {"date sent", record(1, 70, text("20090315")), 30, "Sunday, March 15, 2009"},
        {"date sent invalid", record(1, 70, text("2009")), 30, std::nullopt},
        {"time sent without offset", record(1, 80, text("143000")), 30, std::nullopt},
        {"time sent garbage", record(1, 80, text("14:30:00+0100")), 30, std::nullopt},
        {"2:186", record(2, 186, {1, 2, 3}), 30, "[3 bytes]"},
        {"slots", record(2, 231, slots), 30, "one\rtwo\rtail"},
        {"Mac OS Roman", record(2, 80, {0x8E}), 30, "\xC3\xA9"},
        {"Windows Latin 1", record(2, 80, {0x8E}), 12, "\xC5\xBD"},
        {"invalid UTF-8", record(2, 80, {0xC3, 0x28}), 4, std::nullopt},
        {"empty data", record(2, 80, {}), 4, ""},
        {"zero-padded text", record(2, 120, text("Caption") + Bytes{0, 0, 0}), 12, "Caption"},
        {"only a zero byte", record(2, 120, {0}), 12, ""},
        {"zero byte inside", record(2, 80, {'A', 0, 'B'}), 12, std::string("A\0B", 3)},
        {"zero-padded date", record(2, 55, text("20090315") + Bytes{0}), 30, "Sunday, March 15, 2009"},
        {"record 3", record(3, 10, text("x")), 30, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.record->dataAsFormattedStringWithEncoding(c.encoding), c.expected) << c.name;
    EXPECT_EQ(record(2, 80, {0xC3, 0x28}, Encoding::UTF8)->dataAsFormattedString(), "");
}

TEST_F(EnglishLocale, TimeSentIsShownInItsOwnOffset)
{
    auto time = record(1, 80, text("143000+0100"))->dataAsFormattedStringWithEncoding(30);
    ASSERT_TRUE(time);
    EXPECT_NE(time->find("2:30:00"), std::string::npos) << *time;
    EXPECT_NE(time->find("PM"), std::string::npos) << *time;
    EXPECT_NE(time->find("+01:00"), std::string::npos) << *time;
    auto west = record(1, 80, text("091500-0530"))->dataAsFormattedStringWithEncoding(30);
    ASSERT_TRUE(west);
    EXPECT_NE(west->find("9:15:00"), std::string::npos) << *west;
}

TEST_F(EnglishLocale, CaptionModeCutsAroundTheLocalCaptionMarker)
{
    auto caption = record(2, 120, text("Front text *** Local Caption *** local text"));
    auto plain = record(2, 120, text("No marker here"));
    const struct {
        int mode;
        std::string withMarker;
    } cases[] = {{0, "Front text *** Local Caption *** local text"}, {1, " local text"}, {2, "Front text "}};
    for (const auto& c : cases) {
        cIPTCRecord::setCaptionMode(c.mode);
        EXPECT_EQ(caption->dataAsFormattedString(), c.withMarker) << "mode " << c.mode;
        EXPECT_EQ(plain->dataAsFormattedString(), "No marker here") << "mode " << c.mode;
    }
}

TEST(cIPTCRecordWriting, ConvertsTextDatasetsToTheTargetEncoding)
{
    const struct {
        const char* name;
        std::shared_ptr<cIPTCRecord> record;
        StringEncoding target;
        bool written;
        Bytes expected;
    } cases[] = {
        {"Mac OS Roman to UTF-8", record(2, 120, {0x8E}), 4, true, {0x1C, 2, 120, 0, 2, 0xC3, 0xA9}},
        {"envelope raw", record(1, 90, {0x1B, 0x25, 0x47}), 12, true, {0x1C, 1, 90, 0, 3, 0x1B, 0x25, 0x47}},
        {"record version raw", record(2, 0, {0, 4}), 4, true, {0x1C, 2, 0, 0, 2, 0, 4}},
        {"rasterized caption raw", record(2, 125, {0x8E}), 4, true, {0x1C, 2, 125, 0, 1, 0x8E}},
        {"high dataset raw", record(2, 200, {0x8E}), 4, true, {0x1C, 2, 200, 0, 1, 0x8E}},
        {"record 0 not written", record(0, 5, {1}), 4, true, {}},
        {"unrepresentable", record(2, 80, text("\xE2\x82\xAC"), 4), 5, false, {}},
        {"undecodable", record(2, 80, {0xC3, 0x28}, 4), 12, false, {}},
        {"too long", record(2, 120, Bytes(0x8000, 'a')), 30, false, {}},
    };
    for (const auto& c : cases) {
        simpleOutputStream out(4);
        EXPECT_EQ(c.record->writeToStream(out, c.target), c.written) << c.name;
        EXPECT_EQ(Bytes(out.basePtr(), out.basePtr() + out.streamPosition()), c.expected) << c.name;
    }
}

TEST(cIPTCRecordWriting, RawWriteRoundTripsThroughTheReader)
{
    IPTCRecordArray records{record(2, 120, text("Caption")), record(2, 25, text("a")), record(2, 25, {}),
                            record(2, 80, text("after the empty one"))};
    simpleOutputStream out(1);
    for (const auto& r : records)
        EXPECT_TRUE(r->writeToStream(out));
    const Bytes block(out.basePtr(), out.basePtr() + out.streamPosition());
    EXPECT_EQ(summary(readBlock(block)), "2:120=Caption@30 2:25=a@30 2:25=@30 2:80=after the empty one@30 ");
}

TEST(cIPTCRecordSetting, SetStringAppliesTheLengthRules)
{
    const struct {
        std::uint8_t record, dataSet;
        std::string input;
        std::optional<std::string> expected;
    } cases[] = {
        {2, 120, std::string(2500, 'x'), std::string(2000, 'x')},
        {2, 3, "ab", "ab "},
        {2, 3, std::string(70, 'o'), std::string(67, 'o')},
        {2, 4, std::string(70, 'o'), std::string(68, 'o')},
        {2, 5, std::string(65, 'n'), std::string(64, 'n')},
        {2, 8, "123", "12"},
        {2, 80, "By-line", "old"},
        {1, 5, "envelope", "old"},
    };
    for (const auto& c : cases) {
        auto r = record(c.record, c.dataSet, text("old"));
        r->setString(c.input);
        const Bytes data = r->data().value_or(Bytes{});
        EXPECT_EQ(std::string(data.begin(), data.end()), c.expected) << int(c.record) << ":" << int(c.dataSet);
    }
}

TEST(cIPTCRecordSetting, BinaryAndUnrepresentableValues)
{
    LogCapture log;
    auto version = record(2, 0, {0, 4});
    version->setDataFromString("5");
    EXPECT_EQ(version->data(), (Bytes{0, 4}));
    EXPECT_TRUE(log.contains("attempted to set cIPTCRecord value from string, but it's a binary value and can't be "
                             "set! (record: Record Version (2:0))"));

    auto city = record(2, 90, text("old"), Encoding::ISOLatin1);
    city->setDataFromString("K\xC3\xB6ln");
    EXPECT_EQ(city->data(), (Bytes{'K', 0xF6, 'l', 'n'}));
    city->setDataFromString("\xE2\x82\xAC");
    EXPECT_EQ(city->data(), std::nullopt) << "text the encoding cannot hold leaves no data";
}

TEST(cIPTCRecordArrays, ConsolidationJoinsRepeatableValues)
{
    auto first = record(2, 120, text("first"));
    const IPTCRecordArray records{record(2, 25, text("a")), first, record(2, 25, {0x8E}),
                                  record(2, 120, text("second")), record(2, 20, text("only"))};
    auto keywords = cIPTCRecord::consolidatedIPTCRecord(cIPTCCode(2, 25), records);
    ASSERT_TRUE(keywords);
    EXPECT_EQ(keywords->data(), text("a, \xC3\xA9"));
    EXPECT_EQ(keywords->textEncoding(), Encoding::UTF8);
    EXPECT_EQ(cIPTCRecord::consolidatedIPTCRecord(cIPTCCode(2, 120), records), first);
    EXPECT_EQ(cIPTCRecord::consolidatedIPTCRecord(cIPTCCode(2, 5), records), nullptr);

    const auto consolidated = cIPTCRecord::IPTCRecordsByConsolidatingRepeatableRecords(records);
    EXPECT_EQ(summary(consolidated), "2:25=a, \xC3\xA9@4 2:120=first@30 2:20=only@4 ");
    EXPECT_EQ(summary(records).substr(0, 7), "2:25=a@") << "the input is not changed";

    EXPECT_EQ(cIPTCRecord::IPTCRecordByCode(cIPTCCode(2, 25), records, false)->data(), text("a"));
    EXPECT_EQ(cIPTCRecord::IPTCRecordByCode(cIPTCCode(2, 25), records, true)->data(), text("a, \xC3\xA9"));
    EXPECT_EQ(summary(cIPTCRecord::removeRecordsOfDataSet(120, 2, records)),
              "2:25=a@30 2:25=\x8E@30 2:20=only@30 ");
    const auto codes = cIPTCRecord::uniqueIPTCCodes(records);
    ASSERT_EQ(codes.size(), 3u);
    EXPECT_EQ(codes[1], cIPTCCode(2, 120));
}

TEST(cIPTCRecordArrays, ImageLibraryDictionaryKeepsEveryValueAsStored)
{
    EXPECT_EQ(cIPTCRecord::IPTCAppRecordDataSetNumberToCoreGraphicsKeyDictionary().size(), 47u);
    cIPTCRecord::setCaptionMode(1);
    const IPTCRecordArray records{record(2, 120, text("old")), record(2, 120, text("A *** Local Caption *** B")),
                                  record(2, 80, {0xC3, 0x28}, 4), record(1, 90, text("x")),
                                  record(2, 25, text("one")), record(2, 25, {0x8E}), record(2, 55, text("20090315"))};
    const PlistDictionary dictionary = cIPTCRecord::IPTCRecordArrayToCoreGraphicsIPTCDictionary(records);
    cIPTCRecord::setCaptionMode(0);
    EXPECT_EQ(dictionary.size(), 3u) << "undecodable and envelope records are left out";
    EXPECT_EQ(dictionary.at("kCGImagePropertyIPTCCaptionAbstract"), PlistValue("A *** Local Caption *** B"))
        << "the later value, whole whatever the caption mode";
    EXPECT_EQ(dictionary.at("kCGImagePropertyIPTCKeywords"), PlistValue(PlistArray{PlistValue("one"), PlistValue("\xC3\xA9")}));
    EXPECT_EQ(dictionary.at("kCGImagePropertyIPTCDateCreated"), PlistValue("20090315")) << "not the display date";
}

TEST(cIPTCRecordArchive, RecordsAndCodesRoundTrip)
{
    auto original = record(2, 120, {0x8E}, Encoding::WindowsCP1252);
    auto copy = copyThroughArchive(*original);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->IPTCcode(), cIPTCCode(2, 120));
    EXPECT_EQ(copy->data(), original->data());
    EXPECT_EQ(copy->textEncoding(), Encoding::WindowsCP1252);

    cIPTCRecord withoutData;
    withoutData.setIPTCcode(cIPTCCode(666, -1));
    copy = copyThroughArchive(withoutData);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->data(), std::nullopt) << "absent data stays absent";
    EXPECT_EQ(copy->IPTCcode().dataSetCode(), -1);
    EXPECT_EQ(copyThroughArchive(cIPTCCode())->recordType(), std::nullopt);
}
