#include "base/local_time.h"

#include <time.h>

namespace orvanta {

int LocalUtcOffsetMinutes(std::chrono::system_clock::time_point when) {
  const time_t seconds = std::chrono::system_clock::to_time_t(when);
  struct tm local {};
  if (localtime_s(&local, &seconds) != 0) return 0;
  // The local calendar time read back as if it were UTC differs from the
  // real instant by exactly the offset.
  const time_t as_utc = _mkgmtime(&local);
  if (as_utc == -1) return 0;
  return static_cast<int>((as_utc - seconds) / 60);
}

}  // namespace orvanta
