#pragma once
// The program's date-time: days since 1899-12-30 00:00 local time as a double,
// the fraction being the time of day. Everything that needs "now" asks the one
// process-wide clock, which tests replace to fix the moment.

#include <cstdint>
#include <ctime>
#include <memory>

namespace quill {

using TDateTime = double;

struct CivilDateTime {
    int year = 1899;
    int month = 12; // 1..12
    int day = 30;   // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

class Clock {
public:
    virtual ~Clock() = default;
    // The current local date and time.
    virtual TDateTime Now() const = 0;
    // Seconds since 1970-01-01 00:00 UTC: when a task was made or changed.
    virtual int64_t UtcSeconds() const;
};

// The process-wide clock: the system's local time unless a test set another.
// The reference is valid until the next SetClock; Now() is safe at any time.
const Clock& CurrentClock();
// Replaces the process-wide clock; nullptr restores the system clock.
void SetClock(std::shared_ptr<const Clock> clock);

TDateTime Now();
// CurrentClock().UtcSeconds().
int64_t UtcNow();
// The date part of Now().
TDateTime Today();
// Integer part truncated toward zero, also for dates before 1899-12-30.
double DatePart(TDateTime value);
// value - DatePart(value): the time of day (negative for negative values).
double TimePart(TDateTime value);

TDateTime EncodeDateTime(const CivilDateTime& civil);
CivilDateTime DecodeDateTime(TDateTime value);

// A civil date-time read as UTC, in seconds since 1970-01-01 00:00 (negative
// before), and back; milliseconds are ignored. Pure calendar arithmetic, no
// time zone.
int64_t UnixSecondsFromCivil(const CivilDateTime& civil);
CivilDateTime CivilFromUnixSeconds(int64_t seconds);
// The fields of a broken-down time from the C library (a leap second counts as 59).
CivilDateTime CivilFromTm(const std::tm& tm);

} // namespace quill
