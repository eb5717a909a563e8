#pragma once

#include <cstdint>

namespace sw {

// Date-times as the settings and the update record keep them: days since 30 December 1899 in
// local time, the fraction being the time of day. Local, because the update dialog counts whole
// days between such a value and the current time as the user's clock shows them.

// The day number of 1970-01-01, the start of the system clock.
inline constexpr double kUnixEpochDays = 25569.0;

// A system time (seconds and nanoseconds since 1970-01-01 UTC) as local days.
double UnixTimeToDays(int64_t seconds, int64_t nanoseconds = 0);

// The current time as local days.
double NowAsDays();

// The modification time of the running program's executable file as local days; 0 when it
// cannot be read, so that it never raises anything compared with it.
double ExecutableModificationDays();

}  // namespace sw
