#ifndef ORVANTA_BASE_LOCAL_TIME_H_
#define ORVANTA_BASE_LOCAL_TIME_H_

#include <chrono>

namespace orvanta {

// How many minutes the local time is ahead of UTC at `when` (180 in Turkey,
// negative west of Greenwich), daylight saving included.
int LocalUtcOffsetMinutes(std::chrono::system_clock::time_point when);

}  // namespace orvanta

#endif  // ORVANTA_BASE_LOCAL_TIME_H_
