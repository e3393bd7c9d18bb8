#include "serial/port_list.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace orvanta {
namespace {

using ::testing::ElementsAre;

TEST(SortPortNames, WithoutRegardToCase) {
  std::vector<std::u16string> names = {u"COM2", u"com3", u"COM10", u"COM1",
                                       u"Com11"};
  SortPortNames(names);
  EXPECT_THAT(names,
              ElementsAre(u"COM1", u"COM10", u"Com11", u"COM2", u"com3"));
}

}  // namespace
}  // namespace orvanta
