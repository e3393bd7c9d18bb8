#include "base/local_time.h"

#include <time.h>

namespace orvanta {

int LocalUtcOffsetMinutes(std::chrono::system_clock::time_point when) {
  const time_t seconds = std::chrono::system_clock::to_time_t(when);
  struct tm local {};
  if (!localtime_r(&seconds, &local)) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace orvanta
