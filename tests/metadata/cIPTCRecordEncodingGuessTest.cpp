#include <gtest/gtest.h>

#include "metadata/cIPTCRecord.h"

using namespace qm;
using Spec = cIPTCRecord::EncodingSpec;

namespace {

std::shared_ptr<cIPTCRecord> record(std::uint8_t r, std::uint8_t d, std::vector<std::uint8_t> data)
{
    return std::make_shared<cIPTCRecord>(r, d, std::move(data));
}

const auto marker = record(1, 90, {0x1B, 0x25, 0x47});
const auto hasX = record(2, 120, {'x'});
const auto hasY = record(2, 80, {'y'});
const auto binary = record(3, 10, {0xFF});
const auto undecodable = record(2, 5, {0xC3, 0x28});

} // namespace

TEST(cIPTCRecordEncodingGuess, FirstMatchInRecordThenSpecOrderWins)
{
    const struct {
        const char* name;
        IPTCRecordArray records;
        std::vector<Spec> specs;
        bool respectMarker;
        StringEncoding defaultEncoding;
        StringEncoding expected;
    } cases[] = {
        {"no specs, no marker", {hasX}, {}, true, 12, 12},
        {"marker respected beats an earlier spec match", {hasX, marker}, {{"x", 5}}, true, 12, 4},
        {"marker ignored", {marker, hasX}, {}, false, 12, 12},
        {"two specs match: the earlier wins", {hasX}, {{"x", 5}, {"x", 9}}, true, 12, 5},
        {"first record decides", {hasX, hasY}, {{"y", 5}, {"x", 9}}, true, 12, 9},
        {"empty search never matches", {hasX}, {{"", 5}}, true, 12, 12},
        {"any character of the search", {hasY}, {{"abcy", 5}}, true, 12, 5},
        {"no text is no match", {binary}, {{"x", 5}}, true, 12, 12},
        {"undecodable text is no match", {undecodable}, {{"(", 5}}, false, 4, 4},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(cIPTCRecord::guessStringEncodingOfIPTCRecords(c.records, c.defaultEncoding, c.specs, c.respectMarker),
                  c.expected)
            << c.name;
    }
}
