#include <gtest/gtest.h>

#include <algorithm>

#include "foundation/UnicodeText.h"
#include "metadata/cIPTCCode.h"

using qm::cIPTCCode;

TEST(cIPTCCode, RepeatableDataSetsIgnoreTheRecordNumber)
{
    const struct {
        int record, dataSet;
        bool repeatable;
    } cases[] = {{2, 25, true}, {1, 25, true}, {2, 20, true}, {2, 85, true}, {2, 122, true},
                 {2, 80, false}, {2, 120, false}, {2, 0, false}, {2, 5, false}};
    for (const auto& c : cases)
        EXPECT_EQ(cIPTCCode::isRepeatableIPTCCode(c.record, c.dataSet), c.repeatable) << c.record << ":" << c.dataSet;
}

TEST(cIPTCCode, OrdersByRecordThenDataSetAsUnsignedNumbers)
{
    const cIPTCCode envelope(1, 90), objectName(2, 5), caption(2, 120), negative(2, -1);
    EXPECT_LT(envelope.compare(objectName), 0);
    EXPECT_LT(objectName.compare(caption), 0);
    EXPECT_GT(caption.compare(objectName), 0);
    EXPECT_EQ(caption.compare(cIPTCCode(2, 120)), 0);
    EXPECT_GT(negative.compare(caption), 0) << "-1 compares as 0xFFFFFFFF";
}

TEST(cIPTCCode, HashAndEqualityFollowTheNumbers)
{
    EXPECT_EQ(cIPTCCode(2, 120).hash(), 10449);
    EXPECT_EQ(cIPTCCode(2, 120), cIPTCCode(2, 120));
    EXPECT_FALSE(cIPTCCode(2, 120) == cIPTCCode(2, 121));
    EXPECT_FALSE(cIPTCCode(1, 120) == cIPTCCode(2, 120));
    EXPECT_EQ(cIPTCCode(666, -1).hash(), (-1 + 217) * 31 + 666);
}

TEST(cIPTCCode, NamesComeFromTheDatasetTable)
{
    EXPECT_EQ(cIPTCCode(2, 120).name(), "Caption/Abstract");
    EXPECT_EQ(cIPTCCode(1, 90).name(), "Coded Character Set");
    EXPECT_EQ(cIPTCCode(2, 200).name(), "Unknown 2:200");
    EXPECT_EQ(cIPTCCode(2, 199).name(), "Unknown 2:199");
    EXPECT_EQ(cIPTCCode(3, 200).name(), "Unknown 3:200");
    EXPECT_EQ(cIPTCCode(666, -1).name(), std::nullopt) << "dataset -1 that the table lacks has no name";
    EXPECT_EQ(cIPTCCode().name(), "Unknown (null):(null)");
    EXPECT_EQ(cIPTCCode(2, 120).description(), "Caption/Abstract (2:120)");
    EXPECT_EQ(cIPTCCode(2, 120).reversedDescription(), "2:120 (Caption/Abstract)");
}

TEST(cIPTCCode, NameToNumbersLeavesOutValuesAloneWhenUnknown)
{
    std::int32_t record = 7, dataSet = 8;
    cIPTCCode::name("No Such Dataset", record, dataSet);
    EXPECT_EQ(record, 7);
    EXPECT_EQ(dataSet, 8);
    cIPTCCode::name("Keywords", record, dataSet);
    EXPECT_EQ(record, 2);
    EXPECT_EQ(dataSet, 25);
}

TEST(cIPTCCode, AllCodesCoverTheEnvelopeAndApplicationRecords)
{
    const auto& codes = cIPTCCode::allCodes();
    ASSERT_GE(codes.size(), 65u);
    for (std::size_t i = 1; i < codes.size(); ++i)
        EXPECT_LE(qm::UnicodeText::compareLocalizedCaseInsensitive(*codes[i - 1].name(), *codes[i].name()), 0)
            << *codes[i].name();
    const auto byCode = cIPTCCode::allCodesSortedByCode();
    for (std::size_t i = 1; i < byCode.size(); ++i)
        EXPECT_LT(byCode[i - 1].compare(byCode[i]), 0) << byCode[i].description();
    for (int dataSet : {0, 5, 25, 55, 80, 90, 105, 110, 116, 120, 122, 135, 154})
        EXPECT_NE(std::find(codes.begin(), codes.end(), cIPTCCode(2, dataSet)), codes.end()) << "2:" << dataSet;
    for (int dataSet : {0, 5, 20, 22, 30, 40, 50, 60, 70, 80, 90, 100, 120, 122})
        EXPECT_NE(std::find(codes.begin(), codes.end(), cIPTCCode(1, dataSet)), codes.end()) << "1:" << dataSet;
}

TEST(cIPTCCode, XMPInfoIsHandedOverUnchanged)
{
    auto info = cIPTCCode::XMPConversionDataForRecordType(2, 120);
    ASSERT_TRUE(info && info->string());
    EXPECT_EQ(*info->string(), "dc:description");
    EXPECT_FALSE(cIPTCCode::XMPConversionDataForRecordType(2, 199));
}
