#include <stdlib.h>
#include <time.h>

#include <gtest/gtest.h>

#include "base/local_time.h"

namespace orvanta {
namespace {

TEST(LocalTimeTest, OffsetFollowsTheTimeZone) {
  const char* saved = getenv("TZ");
  const std::string restore = saved ? saved : "";
  struct Case {
    const char* zone;
    int minutes;
  };
  // POSIX zone strings count west of Greenwich as positive.
  for (const Case& c : {Case{"UTC-3", 180}, Case{"UTC+5", -300},
                        Case{"UTC-5:30", 330}, Case{"UTC0", 0}}) {
    setenv("TZ", c.zone, 1);
    tzset();
    EXPECT_EQ(LocalUtcOffsetMinutes(std::chrono::system_clock::now()),
              c.minutes)
        << c.zone;
  }
  if (saved) {
    setenv("TZ", restore.c_str(), 1);
  } else {
    unsetenv("TZ");
  }
  tzset();
}

}  // namespace
}  // namespace orvanta
