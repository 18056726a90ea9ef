#include "foundation/DateFormatting.h"

#include <gtest/gtest.h>

#include "support/Concurrency.h"

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <atomic>
#include <memory>
#include <thread>
#include <vector>

namespace qm {
namespace {

using Style = DateFormatting::Style;

constexpr double kMarch15Stockholm = 1237071600000; // 2009-03-15 00:00 +0100
constexpr double kHalfPastTwoPlusOne = 48600000;    // 1970-01-01 14:30 +0100

void useLocale(const icu::Locale& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::Locale::setDefault(locale, status);
    ASSERT_TRUE(U_SUCCESS(status));
}

// Every test runs in en_US and Stockholm time, whatever the machine says.
class DateFormattingTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        mLocale = icu::Locale::getDefault();
        mZone.reset(icu::TimeZone::createDefault());
        useLocale(icu::Locale("en_US"));
        icu::TimeZone::adoptDefault(icu::TimeZone::createTimeZone("Europe/Stockholm"));
    }
    void TearDown() override
    {
        useLocale(mLocale);
        icu::TimeZone::setDefault(*mZone);
    }

private:
    icu::Locale mLocale;
    std::unique_ptr<icu::TimeZone> mZone;
};

struct ParseCase {
    const char* pattern;
    const char* text;
    std::optional<double> milliseconds;
    std::optional<std::int32_t> offsetMinutes;
};

TEST_F(DateFormattingTest, ParsesOnlyCompleteMatches)
{
    const std::vector<ParseCase> cases = {
        {"yyyyMMdd", "20090315", kMarch15Stockholm, std::nullopt},
        {"yyyyMMdd", "2009-03-15", std::nullopt, std::nullopt},
        {"yyyyMMdd", "20091315", std::nullopt, std::nullopt},
        {"yyyyMMdd", "20090230", std::nullopt, std::nullopt},
        {"yyyyMMdd", "200903155", std::nullopt, std::nullopt},
        {"yyyyMMdd", "2009031", std::nullopt, std::nullopt},
        {"yyyyMMdd", " 20090315", std::nullopt, std::nullopt},
        {"yyyyMMdd", "2009 0315", std::nullopt, std::nullopt},
        {"yyyy MM dd", "2009 03 15", kMarch15Stockholm, std::nullopt},
        {"yyyyMMdd", "", std::nullopt, std::nullopt},
        {"HHmmss", "143000", kHalfPastTwoPlusOne, std::nullopt},
        {"HHmmssxx", "143000+0100", kHalfPastTwoPlusOne, 60},
        {"HHmmssxx", "143000-0500", 70200000, -300},
        {"HHmmssxx", "143000+0000", 52200000, 0},
        {"HHmmssxx", "143000", std::nullopt, std::nullopt},
        {"HHmmssxx", "253000+0100", std::nullopt, std::nullopt},
        {"HHmmss'+Z2'", "143000+Z2", kHalfPastTwoPlusOne, std::nullopt},
        {"HHmmss'+Z2'", "143000+Z", std::nullopt, std::nullopt},
        {"HH'h'mm''", "14h30'", kHalfPastTwoPlusOne, std::nullopt},
        {"HH'h'mm''", "14h30", std::nullopt, std::nullopt},
        {"yyyyMMddHHmmssxx", "20090715143000+0200", 1247661000000, 120},
    };
    for (const ParseCase& test : cases) {
        const auto parsed = DateFormatting::parse(test.text, test.pattern);
        const std::string label = std::string(test.pattern) + " \"" + test.text + "\"";
        EXPECT_EQ(parsed.has_value(), test.milliseconds.has_value()) << label;
        if (!parsed || !test.milliseconds)
            continue;
        EXPECT_EQ(parsed->millisecondsSince1970, *test.milliseconds) << label;
        EXPECT_EQ(parsed->utcOffsetMinutes, test.offsetMinutes) << label;
    }
}

TEST_F(DateFormattingTest, ParsesGregorianDigitsInEveryLocale)
{
    for (const char* locale : {"th_TH", "ar_EG", "ja_JP@calendar=japanese", "de_DE"}) {
        useLocale(icu::Locale(locale));
        const auto parsed = DateFormatting::parse("20090315", "yyyyMMdd");
        ASSERT_TRUE(parsed.has_value()) << locale;
        EXPECT_EQ(parsed->millisecondsSince1970, kMarch15Stockholm) << locale;
    }
}

struct FormatCase {
    const char* locale;
    double milliseconds;
    Style dateStyle;
    Style timeStyle;
    std::optional<std::int32_t> offsetMinutes;
    const char* expected;
};

TEST_F(DateFormattingTest, PresentsInTheLocaleStyles)
{
    const std::vector<FormatCase> cases = {
        {"en_US", kMarch15Stockholm, Style::Full, Style::None, std::nullopt, "Sunday, March 15, 2009"},
        {"en_US", kMarch15Stockholm, Style::Short, Style::None, std::nullopt, "3/15/09"},
        {"de_DE", kMarch15Stockholm, Style::Full, Style::None, std::nullopt, "Sonntag, 15. März 2009"},
        {"en_GB", kHalfPastTwoPlusOne, Style::None, Style::Full, 60, "14:30:00 GMT+01:00"},
        {"en_GB", kHalfPastTwoPlusOne, Style::None, Style::Full, -300, "08:30:00 GMT-05:00"},
        {"en_GB", kHalfPastTwoPlusOne, Style::None, Style::Full, std::nullopt,
         "14:30:00 Central European Standard Time"},
        {"en_US", kHalfPastTwoPlusOne, Style::None, Style::Full, 60, "2:30:00\u202FPM GMT+01:00"},
        {"en_US", kHalfPastTwoPlusOne, Style::None, Style::None, 60, ""},
    };
    for (const FormatCase& test : cases) {
        useLocale(icu::Locale(test.locale));
        EXPECT_EQ(DateFormatting::format(test.milliseconds, test.dateStyle, test.timeStyle, test.offsetMinutes),
                  test.expected)
            << test.locale << " " << test.expected;
    }
}

TEST_F(DateFormattingTest, TimeWithOffsetPresentsInItsOwnZone)
{
    useLocale(icu::Locale("en_GB"));
    const auto parsed = DateFormatting::parse("143000+0100", "HHmmssxx");
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(DateFormatting::format(parsed->millisecondsSince1970, Style::None, Style::Full,
                                     parsed->utcOffsetMinutes),
              "14:30:00 GMT+01:00");
}

TEST_F(DateFormattingTest, ParsesAndPresentsOnSeveralThreadsAtOnce)
{
    const std::string expected = DateFormatting::format(kMarch15Stockholm, Style::Full, Style::None);
    std::atomic<int> mismatches = 0;
    auto work = [&] {
        for (int round = 0; round < 50; ++round) {
            const auto parsed = DateFormatting::parse("20090315", "yyyyMMdd");
            if (!parsed || DateFormatting::format(parsed->millisecondsSince1970, Style::Full, Style::None) != expected)
                ++mismatches;
        }
    };
    qm::test::runOnThreads(4, work);
    EXPECT_EQ(expected, "Sunday, March 15, 2009");
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace qm
