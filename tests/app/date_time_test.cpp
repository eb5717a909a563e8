#include "app/date_time.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace sw {
namespace {

// Sets the process's time zone for one test and puts the previous one back.
class TimeZone {
  public:
    explicit TimeZone(const char* zone) {
        if (const char* old = std::getenv("TZ")) {
            previous_ = old;
        }
        setenv("TZ", zone, 1);
        tzset();
    }
    ~TimeZone() {
        if (previous_) {
            setenv("TZ", previous_->c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

  private:
    std::optional<std::string> previous_;
};

TEST(DateTime, SystemClockStartIsDay25569AndFractionIsTimeOfDay) {
    // Catches an epoch off by a day or a fraction that is not the part of a day.
    TimeZone utc("UTC0");
    EXPECT_DOUBLE_EQ(UnixTimeToDays(0), 25569.0);
    EXPECT_DOUBLE_EQ(UnixTimeToDays(86400 + 43200), 25570.5);
    EXPECT_DOUBLE_EQ(UnixTimeToDays(-86400), 25568.0);
    EXPECT_DOUBLE_EQ(UnixTimeToDays(0, 500'000'000), 25569.0 + 0.5 / 86400.0);
}

TEST(DateTime, DaysCountInLocalTimeLikeTheClockTheUserSees) {
    // The update dialog counts days against the local clock; a UTC date would shift the count
    // around midnight.
    TimeZone east("XST-2");  // two hours ahead of UTC
    EXPECT_DOUBLE_EQ(UnixTimeToDays(0), 25569.0 + 2.0 / 24.0);
    TimeZone west("YST5");  // five hours behind
    EXPECT_DOUBLE_EQ(UnixTimeToDays(0), 25569.0 - 5.0 / 24.0);
}

TEST(DateTime, ExecutableTimeIsTheRunningProgramsModificationTime) {
    // Catches reading the wrong file or dropping the fraction of the day.
    struct stat info {};
    ASSERT_EQ(stat("/proc/self/exe", &info), 0);
    EXPECT_DOUBLE_EQ(ExecutableModificationDays(),
                     UnixTimeToDays(info.st_mtim.tv_sec, info.st_mtim.tv_nsec));
    EXPECT_GT(ExecutableModificationDays(), 40000.0);  // built after 2009
}

}  // namespace
}  // namespace sw
