#include "core/date_time.h"
#include "test_support.h"

#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <random>

namespace quill {
namespace {

CivilDateTime Civil(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0) {
    return CivilDateTime{y, mo, d, h, mi, s, ms};
}

void ExpectCivil(const CivilDateTime& got, const CivilDateTime& want) {
    EXPECT_EQ(got.year, want.year);
    EXPECT_EQ(got.month, want.month);
    EXPECT_EQ(got.day, want.day);
    EXPECT_EQ(got.hour, want.hour);
    EXPECT_EQ(got.minute, want.minute);
    EXPECT_EQ(got.second, want.second);
    EXPECT_EQ(got.millisecond, want.millisecond);
}

TEST(DateTimeEncoding, KnownDatesGiveTheirDayNumbers) {
    EXPECT_EQ(EncodeDateTime(Civil(1899, 12, 30)), 0.0);
    EXPECT_EQ(EncodeDateTime(Civil(1900, 1, 1)), 2.0);
    EXPECT_EQ(EncodeDateTime(Civil(2000, 1, 1)), 36526.0);
    EXPECT_EQ(EncodeDateTime(Civil(2024, 2, 29)), 45351.0);
    EXPECT_EQ(EncodeDateTime(Civil(1800, 1, 1)), -36522.0);
    EXPECT_EQ(EncodeDateTime(Civil(1, 1, 1)), -693593.0);
    EXPECT_EQ(EncodeDateTime(Civil(9999, 12, 31)), 2958465.0);
}

TEST(DateTimeEncoding, TimeOfDayIsTheFraction) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(Civil(1899, 12, 30, 12)), 0.5);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Civil(2024, 2, 29, 18)), 45351.75);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Civil(1900, 1, 1, 6)), 2.25);
}

TEST(DateTimeEncoding, BeforeTheEpochTheTimeIsSubtracted) {
    EXPECT_DOUBLE_EQ(EncodeDateTime(Civil(1899, 12, 29, 6)), -1.25);
    EXPECT_DOUBLE_EQ(EncodeDateTime(Civil(1899, 12, 28, 18)), -2.75);
}

TEST(DateTimeDecoding, NegativeValuesUseTheAbsoluteFraction) {
    ExpectCivil(DecodeDateTime(-1.25), Civil(1899, 12, 29, 6));
    ExpectCivil(DecodeDateTime(-0.5), Civil(1899, 12, 30, 12));
    ExpectCivil(DecodeDateTime(-36522.0), Civil(1800, 1, 1));
}

TEST(DateTimeDecoding, PositiveValues) {
    ExpectCivil(DecodeDateTime(45351.75), Civil(2024, 2, 29, 18));
    ExpectCivil(DecodeDateTime(2.0), Civil(1900, 1, 1));
    ExpectCivil(DecodeDateTime(2958465.0), Civil(9999, 12, 31));
}

TEST(DateTimeDecoding, RoundingToTheMillisecondCarriesIntoTheNextDay) {
    ExpectCivil(DecodeDateTime(0.9999999999), Civil(1899, 12, 31));
    ExpectCivil(DecodeDateTime(-1.9999999999), Civil(1899, 12, 28));
}

TEST(DateTimeDecoding, ValuesThatAreNoDateGiveTheEpoch) {
    ExpectCivil(DecodeDateTime(std::nan("")), Civil(1899, 12, 30));
    ExpectCivil(DecodeDateTime(INFINITY), Civil(1899, 12, 30));
    ExpectCivil(DecodeDateTime(1e300), Civil(1899, 12, 30));
}

TEST(DateTimeDecoding, RandomMomentsRoundTrip) {
    std::mt19937 random(1234);
    std::uniform_int_distribution<int> year(1, 9999), month(1, 12), day(1, 28), hour(0, 23),
        minute(0, 59), second(0, 59), ms(0, 999);
    for (int i = 0; i < 2000; ++i) {
        const CivilDateTime civil = Civil(year(random), month(random), day(random), hour(random),
                                          minute(random), second(random), ms(random));
        SCOPED_TRACE(i);
        ExpectCivil(DecodeDateTime(EncodeDateTime(civil)), civil);
    }
}

TEST(DateTimeParts, DatePartTruncatesTowardZero) {
    EXPECT_EQ(DatePart(2.9), 2.0);
    EXPECT_EQ(DatePart(-1.25), -1.0);
    EXPECT_EQ(DatePart(-0.5), 0.0);
    EXPECT_DOUBLE_EQ(TimePart(2.25), 0.25);
    EXPECT_DOUBLE_EQ(TimePart(-1.25), -0.25);
}

TEST(DateTimeClock, AFixedClockSetsNowAndToday) {
    {
        test::ScopedClock clock(45351.75);
        EXPECT_EQ(Now(), 45351.75);
        EXPECT_EQ(Today(), 45351.0);
        EXPECT_EQ(CurrentClock().Now(), 45351.75);
    }
    // Restored: the system clock says some moment after 2020.
    EXPECT_GT(Now(), EncodeDateTime(Civil(2020, 1, 1)));
}

TEST(DateTimeClock, SystemClockIsLocalTime) {
    const time_t seconds = std::time(nullptr);
    std::tm local{};
    localtime_r(&seconds, &local);
    const double expected =
        EncodeDateTime(Civil(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                             local.tm_min, local.tm_sec));
    EXPECT_NEAR(Now(), expected, 5.0 / 86400.0);
}

} // namespace
} // namespace quill
