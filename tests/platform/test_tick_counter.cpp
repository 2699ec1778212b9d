#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "platform/tick_counter.h"

namespace {

TEST(TickCounter, CountsMilliseconds) {
  const std::uint32_t start = tickCount();
  std::this_thread::sleep_for(std::chrono::milliseconds(120));
  const std::uint32_t elapsed = tickCount() - start;
  EXPECT_GE(elapsed, 115u);
  EXPECT_LT(elapsed, 2000u);
}

}  // namespace
