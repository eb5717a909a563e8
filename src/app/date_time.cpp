#include "app/date_time.h"

#include <sys/stat.h>

#include <chrono>
#include <ctime>

namespace sw {

namespace {

constexpr double kSecondsPerDay = 86400.0;

// The local clock's offset from UTC at the given moment, daylight saving included.
int64_t LocalOffsetSeconds(int64_t seconds) {
    const time_t t = static_cast<time_t>(seconds);
    struct tm local {};
    if (localtime_r(&t, &local) == nullptr) {
        return 0;
    }
    return local.tm_gmtoff;
}

}  // namespace

double UnixTimeToDays(int64_t seconds, int64_t nanoseconds) {
    const int64_t local = seconds + LocalOffsetSeconds(seconds);
    return kUnixEpochDays +
           (static_cast<double>(local) + static_cast<double>(nanoseconds) / 1e9) / kSecondsPerDay;
}

double NowAsDays() {
    const auto since = std::chrono::system_clock::now().time_since_epoch();
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(since);
    const auto nanoseconds = std::chrono::duration_cast<std::chrono::nanoseconds>(since - seconds);
    return UnixTimeToDays(seconds.count(), nanoseconds.count());
}

double ExecutableModificationDays() {
    struct stat info {};
    if (stat("/proc/self/exe", &info) != 0) {
        return 0;
    }
    return UnixTimeToDays(info.st_mtim.tv_sec, info.st_mtim.tv_nsec);
}

}  // namespace sw
