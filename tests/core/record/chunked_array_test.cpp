#include "record/chunked_array.h"

#include <gtest/gtest.h>

namespace zk {
namespace {

TEST(ChunkedArray, KeepsOrderAndAddressesAcrossBlocksAndFrontRemoval) {
  ChunkedArray<int, 4> a;
  for (int i = 0; i < 10; ++i) a.push_back(i);
  const int* seventh = &a[7];
  a.pop_front(5);  // frees the first block, leaves the second one half used
  ASSERT_EQ(a.size(), 5u);
  EXPECT_EQ(&a[2], seventh);
  for (int i = 0; i < 3; ++i) a.push_back(10 + i);
  for (std::size_t i = 0; i < a.size(); ++i) EXPECT_EQ(a[i], static_cast<int>(i) + 5) << i;
  EXPECT_EQ(a.front(), 5);
  EXPECT_EQ(a.back(), 12);
  a.pop_front(100);
  EXPECT_TRUE(a.empty());
  a.push_back(42);
  EXPECT_EQ(a.front(), 42);
}

}  // namespace
}  // namespace zk
