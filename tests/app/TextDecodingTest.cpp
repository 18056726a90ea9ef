#include <gtest/gtest.h>

#include <filesystem>

#include "app/TextDecoding.h"
#include "foundation/ArchiveWriter.h"
#include "foundation/UserDefaults.h"
#include "metadata/textEncoding.h"

using namespace qm;
using Bytes = std::vector<std::uint8_t>;

namespace {

class TextDecodingTest : public ::testing::Test {
protected:
    TextDecodingTest()
        : mFile(std::filesystem::temp_directory_path() /
                ("quillmark-textdecoding-" + std::to_string(::getpid()) + ".plist")),
          mDefaults((std::filesystem::remove(mFile), mFile))
    {
        mDefaults.registerDefaults({{"defaultTextEncoding", PlistValue(12)},
                                    {"useAlternateEncodingSpecs", PlistValue(true)},
                                    {"respectUTF8Marker", PlistValue(true)},
                                    {"corruptUTF8Triggers", PlistValue("\xC3\x83")}, // Ã
                                    {"corruptUTF8To", PlistValue(12)},
                                    {"corruptUTF8From", PlistValue(4)}});
    }
    ~TextDecodingTest() override { std::filesystem::remove(mFile); }

    static PlistValue spec(const std::string& search, PlistValue encoding)
    {
        return PlistValue(PlistDictionary{{"search", PlistValue(search)}, {"encoding", std::move(encoding)}});
    }

    std::filesystem::path mFile;
    UserDefaults mDefaults;
};

std::shared_ptr<cIPTCRecord> record(std::uint8_t d, Bytes data, StringEncoding encoding)
{
    auto r = std::make_shared<cIPTCRecord>(2, d, std::move(data));
    r->setTextEncoding(encoding);
    return r;
}

} // namespace

TEST_F(TextDecodingTest, SpecsComeFromTheSettingsAndUnreadableOnesAreSkipped)
{
    const IPTCRecordArray records{record(80, {0x8E}, 30)}; // Ž in Windows Latin 1
    EXPECT_EQ(TextDecoding::guessTextEncodingOfIPTCRecords(records, mDefaults), 12u);
    mDefaults.setObject("alternateEncodingSpecs",
                        PlistValue(PlistArray{spec("\xC5\xBD", PlistValue(PlistData{1, 2})),
                                              spec("\xC5\xBD", PlistValue(*archivedData(textEncoding(30))))}));
    EXPECT_EQ(TextDecoding::alternateEncodingSpecs(mDefaults).size(), 1u);
    EXPECT_EQ(TextDecoding::guessTextEncodingOfIPTCRecords(records, mDefaults), 30u);
    mDefaults.setObject("useAlternateEncodingSpecs", PlistValue(false));
    EXPECT_EQ(TextDecoding::guessTextEncodingOfIPTCRecords(records, mDefaults), 12u);
}

TEST_F(TextDecodingTest, RepairTurnsDoublyEncodedUTF8Back)
{
    const IPTCRecordArray corrupt{record(80, {0xC3, 0x83, 0xC2, 0xA9}, 12), record(120, {'O', 'K'}, 12),
                                  record(90, {0xC3, 0x28}, 12)};
    const IPTCRecordArray repaired = TextDecoding::convertCorruptUTF8(corrupt, mDefaults);
    ASSERT_EQ(repaired.size(), 3u);
    EXPECT_EQ(repaired[0]->data(), (Bytes{0xC3, 0xA9})) << "é again";
    EXPECT_EQ(repaired[1]->data(), (Bytes{'O', 'K'}));
    EXPECT_EQ(repaired[2]->data(), (Bytes{0xC3, 0x28})) << "bytes that are no UTF-8 stay";
    for (const auto& r : repaired)
        EXPECT_EQ(r->textEncoding(), Encoding::UTF8);
    EXPECT_EQ(corrupt[0]->textEncoding(), 12u) << "the input is not changed";

    const IPTCRecordArray clean{record(120, {'O', 'K'}, 12)};
    const IPTCRecordArray same = TextDecoding::convertCorruptUTF8(clean, mDefaults);
    EXPECT_EQ(same[0], clean[0]) << "without a trigger the same records come back";
}
