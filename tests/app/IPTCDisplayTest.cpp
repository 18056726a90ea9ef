#include <gtest/gtest.h>

#include <filesystem>

#include "app/CustomIPTCFilter.h"
#include "app/IPTCDisplay.h"
#include "foundation/UserDefaults.h"
#include "parsers/QMMetadataParser.h"
#include "support/HeldParser.h"

using namespace qm;
using Bytes = std::vector<std::uint8_t>;
using qm::test::HeldParser;

namespace {


std::shared_ptr<cIPTCRecord> record(std::uint8_t dataSet, const std::string& text)
{
    return std::make_shared<cIPTCRecord>(2, dataSet, Bytes(text.begin(), text.end()));
}

std::string summary(const std::optional<IPTCRecordArray>& records)
{
    if (!records)
        return "none";
    std::string text;
    for (const auto& r : *records)
        text += std::to_string(*r->IPTCcode().dataSetCode()) + "=" + r->dataAsFormattedString() + " ";
    return text;
}

const std::string packet = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF><rdf:Description><dc:description>"
                           "<rdf:Alt><rdf:li>From XMP</rdf:li></rdf:Alt></dc:description></rdf:Description>"
                           "</rdf:RDF></x:xmpmeta>";

class IPTCDisplayTest : public ::testing::Test {
protected:
    IPTCDisplayTest()
        : mFile(std::filesystem::temp_directory_path() / ("quillmark-display-" + std::to_string(::getpid()))),
          mDefaults((std::filesystem::remove(mFile), mFile))
    {
        mDefaults.registerDefaults({{"defaultTextEncoding", PlistValue(12)},
                                    {"corruptUTF8Triggers", PlistValue("\xC3\x83")},
                                    {"corruptUTF8To", PlistValue(12)},
                                    {"corruptUTF8From", PlistValue(4)}});
    }
    ~IPTCDisplayTest() override { std::filesystem::remove(mFile); }

    std::filesystem::path mFile;
    UserDefaults mDefaults;
};

} // namespace

TEST_F(IPTCDisplayTest, FilterOrdersTheShownDatasetsAndLabelsThem)
{
    auto parser = std::make_shared<HeldParser>(
        IPTCRecordArray{record(80, "Photographer"), record(120, "Caption"), record(25, "k")}, std::nullopt);
    mDefaults.setObject("filterIPTCRecords", PlistValue(true));
    EXPECT_EQ(summary(IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, true).filteredIPTCRecords), "none")
        << "no filter stored shows nothing";

    const std::vector<CustomIPTCFilter::Entry> entries{{cIPTCCode(2, 120), std::nullopt}, {cIPTCCode(2, 80), "Foto"}};
    mDefaults.setObject("customIPTCFilter", PlistValue(*CustomIPTCFilter::archive(entries)));
    EXPECT_EQ(CustomIPTCFilter::fromDefaults(mDefaults), entries);
    const auto result = IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, true);
    EXPECT_EQ(summary(result.filteredIPTCRecords), "120=Caption 80=Photographer ");
    EXPECT_EQ(summary(result.IPTCRecords), "80=Photographer 120=Caption 25=k ") << "all datasets stay published";
    EXPECT_EQ(CustomIPTCFilter::labelForCode(cIPTCCode(2, 80), mDefaults), "Foto");
    EXPECT_EQ(CustomIPTCFilter::labelForCode(cIPTCCode(2, 120), mDefaults), "Caption/Abstract");
    mDefaults.setObject("filterIPTCRecords", PlistValue(false));
    EXPECT_EQ(CustomIPTCFilter::labelForCode(cIPTCCode(2, 80), mDefaults), "By-line");
}

TEST_F(IPTCDisplayTest, PreferredXMPIsShownAsUTF8)
{
    auto parser = std::make_shared<HeldParser>(IPTCRecordArray{record(120, "From IIM")}, packet);
    mDefaults.setObject("preferXMP", PlistValue(true));
    auto result = IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, true);
    EXPECT_EQ(summary(result.IPTCRecords), "120=From XMP ");
    EXPECT_EQ(mDefaults.integerForKey("panelTextEncoding"), 4);
    mDefaults.setObject("preferXMP", PlistValue(false));
    result = IPTCDisplay::updateDisplayedIPTCData(parser, mDefaults, false);
    EXPECT_EQ(summary(result.IPTCRecords), "120=From IIM ");
    EXPECT_EQ(result.encoding, 12u);
    EXPECT_EQ(mDefaults.integerForKey("panelTextEncoding"), 4) << "no current image: nothing stored";
    EXPECT_EQ(summary(IPTCDisplay::updateDisplayedIPTCData(nullptr, mDefaults, false).IPTCRecords), "none");
}

TEST_F(IPTCDisplayTest, ConsolidationAndRepairFollowTheSettings)
{
    auto parser = std::make_shared<HeldParser>(
        IPTCRecordArray{record(25, "a"), record(25, "b"), record(80, "\xC3\x83\xC2\xA9")}, std::nullopt);
    mDefaults.setObject("detectUTF8Corruption", PlistValue(true));
    auto result = IPTCDisplay::updateDisplayedIPTCDataWithEncoding(parser, 12, mDefaults);
    EXPECT_EQ(summary(result.IPTCRecords), "25=a 25=b 80=\xC3\x83\xC6\x92\xC3\x82\xC2\xA9 ")
        << "no repair unless shown as UTF-8";
    mDefaults.setObject("consolidateRepeatables", PlistValue(true));
    result = IPTCDisplay::updateDisplayedIPTCDataWithEncoding(parser, 4, mDefaults);
    EXPECT_EQ(summary(result.IPTCRecords), "25=a, b 80=\xC3\xA9 ");
    mDefaults.setObject("panelTextEncoding", PlistValue(12));
    EXPECT_EQ(IPTCDisplay::updateDisplayedIPTCDataWithCustomPanelEncoding(parser, mDefaults).encoding, 12u);
}
