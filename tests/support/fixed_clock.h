#pragma once
// A clock for tests and benchmarks: it says the moment it was given until told
// another. ScopedClock sets it as the process clock for one test.

#include "core/date_time.h"

#include <memory>

namespace quill::test {

class FixedClock final : public Clock {
public:
    explicit FixedClock(TDateTime now = 0) : now_(now) {}
    TDateTime Now() const override { return now_; }
    void Set(TDateTime now) { now_ = now; }

private:
    TDateTime now_;
};

// Sets the process clock for one test and restores the system clock afterwards.
class ScopedClock {
public:
    explicit ScopedClock(TDateTime now) { SetClock(std::make_shared<FixedClock>(now)); }
    ~ScopedClock() { SetClock(nullptr); }
    ScopedClock(const ScopedClock&) = delete;
    ScopedClock& operator=(const ScopedClock&) = delete;
};

} // namespace quill::test
