#include "date_time.h"

#include <cmath>
#include <ctime>
#include <mutex>
#include <sys/time.h>

namespace quill {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

// Days from 1970-01-01 to the given proleptic Gregorian date (may be negative).
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2 ? 1 : 0;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int& year, int& month, int& day) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    const int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const int64_t m = mp + (mp < 10 ? 3 : -9);
    year = static_cast<int>(yoe + era * 400 + (m <= 2 ? 1 : 0));
    month = static_cast<int>(m);
    day = static_cast<int>(d);
}

const int64_t kEpochDays = DaysFromCivil(1899, 12, 30);

// Beyond this many days the calendar arithmetic would leave the range of int;
// such values are not dates the program can show.
constexpr double kMaxDecodableDays = 1e9;

class SystemClock final : public Clock {
public:
    TDateTime Now() const override {
        timespec ts{};
        clock_gettime(CLOCK_REALTIME, &ts);
        std::tm local{};
        const time_t seconds = ts.tv_sec;
        localtime_r(&seconds, &local);
        CivilDateTime civil = CivilFromTm(local);
        civil.millisecond = static_cast<int>(ts.tv_nsec / 1'000'000);
        return EncodeDateTime(civil);
    }
};

std::mutex& ClockMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<const Clock>& ClockSlot() {
    static std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
    return clock;
}

} // namespace

const Clock& CurrentClock() {
    std::lock_guard lock(ClockMutex());
    return *ClockSlot();
}

void SetClock(std::shared_ptr<const Clock> clock) {
    std::lock_guard lock(ClockMutex());
    ClockSlot() = clock ? std::move(clock) : std::make_shared<SystemClock>();
}

TDateTime Now() {
    std::shared_ptr<const Clock> clock;
    {
        std::lock_guard lock(ClockMutex());
        clock = ClockSlot();
    }
    return clock->Now();
}

int64_t Clock::UtcSeconds() const {
    return static_cast<int64_t>(::time(nullptr));
}

int64_t UtcNow() {
    std::shared_ptr<const Clock> clock;
    {
        std::lock_guard lock(ClockMutex());
        clock = ClockSlot();
    }
    return clock->UtcSeconds();
}

TDateTime Today() {
    return DatePart(Now());
}

double DatePart(TDateTime value) {
    return std::trunc(value);
}

double TimePart(TDateTime value) {
    return value - std::trunc(value);
}

TDateTime EncodeDateTime(const CivilDateTime& civil) {
    const int64_t days = DaysFromCivil(civil.year, civil.month, civil.day) - kEpochDays;
    const int64_t ms =
        ((int64_t{civil.hour} * 60 + civil.minute) * 60 + civil.second) * 1000 + civil.millisecond;
    const double time = static_cast<double>(ms) / static_cast<double>(kMsPerDay);
    // Before 1899-12-30 the time of day is subtracted: -1.25 is 1899-12-29 06:00.
    return days < 0 ? static_cast<double>(days) - time : static_cast<double>(days) + time;
}

CivilDateTime DecodeDateTime(TDateTime value) {
    CivilDateTime civil;
    if (!std::isfinite(value) || std::fabs(value) > kMaxDecodableDays) {
        return civil; // not a date: the epoch, 1899-12-30 00:00
    }
    int64_t days = static_cast<int64_t>(std::trunc(value));
    int64_t ms = std::llround(std::fabs(value - std::trunc(value)) * kMsPerDay);
    if (ms >= kMsPerDay) { // rounding reached midnight: the next day away from the epoch
        ms -= kMsPerDay;
        days += value < 0 ? -1 : 1;
    }
    CivilFromDays(days + kEpochDays, civil.year, civil.month, civil.day);
    civil.hour = static_cast<int>(ms / 3'600'000);
    civil.minute = static_cast<int>(ms / 60'000 % 60);
    civil.second = static_cast<int>(ms / 1000 % 60);
    civil.millisecond = static_cast<int>(ms % 1000);
    return civil;
}

int64_t UnixSecondsFromCivil(const CivilDateTime& civil) {
    const int64_t days = DaysFromCivil(civil.year, civil.month, civil.day);
    return ((days * 24 + civil.hour) * 60 + civil.minute) * 60 + civil.second;
}

CivilDateTime CivilFromTm(const std::tm& tm) {
    CivilDateTime civil;
    civil.year = tm.tm_year + 1900;
    civil.month = tm.tm_mon + 1;
    civil.day = tm.tm_mday;
    civil.hour = tm.tm_hour;
    civil.minute = tm.tm_min;
    civil.second = tm.tm_sec > 59 ? 59 : tm.tm_sec;
    return civil;
}

CivilDateTime CivilFromUnixSeconds(int64_t seconds) {
    int64_t days = seconds / 86400;
    int64_t rest = seconds % 86400;
    if (rest < 0) {
        rest += 86400;
        --days;
    }
    CivilDateTime civil;
    CivilFromDays(days, civil.year, civil.month, civil.day);
    civil.hour = static_cast<int>(rest / 3600);
    civil.minute = static_cast<int>(rest / 60 % 60);
    civil.second = static_cast<int>(rest % 60);
    return civil;
}

} // namespace quill
