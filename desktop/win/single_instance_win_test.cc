#include "desktop/single_instance.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace orvanta {
namespace {

// A second claim of the same key, here from the same thread, reaches the
// first one's window, which answers whether it showed its window.
TEST(SingleInstanceWinTest, ALaterClaimAsksTheFirstToShowItsWindow) {
  const std::string key =
      "orvanta-test-" + std::to_string(GetCurrentProcessId());
  SingleInstance::Outcome outcome =
      SingleInstance::Outcome::kRunningUnreachable;
  std::unique_ptr<SingleInstance> first = SingleInstance::Claim(key, outcome);
  ASSERT_TRUE(first);
  EXPECT_EQ(outcome, SingleInstance::Outcome::kFirst);

  int requests = 0;
  bool visible = true;
  first->OnShowRequest([&] {
    ++requests;
    return visible;
  });
  EXPECT_FALSE(SingleInstance::Claim(key, outcome));
  EXPECT_EQ(outcome, SingleInstance::Outcome::kShownInRunning);
  visible = false;
  EXPECT_FALSE(SingleInstance::Claim(key, outcome));
  EXPECT_EQ(outcome, SingleInstance::Outcome::kRunningUnreachable);
  EXPECT_EQ(requests, 2);

  // Another key is another folder; and once the first is gone, the key is
  // free again.
  EXPECT_TRUE(SingleInstance::Claim(key + "0", outcome));
  first.reset();
  EXPECT_TRUE(SingleInstance::Claim(key, outcome));
  EXPECT_EQ(outcome, SingleInstance::Outcome::kFirst);
}

}  // namespace
}  // namespace orvanta
