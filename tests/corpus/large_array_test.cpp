#include "corpus/large_array.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace oc::corpus {
namespace {

// Sizes below, at and well above the point where the memory is mapped on its
// own (and not a whole number of large pages): zeroed throughout, every
// element writable, and a move hands the memory over without a copy.
TEST(LargeArray, ComesZeroedTakesWritesEverywhereAndMoves) {
    for (std::size_t count :
         {std::size_t{1}, std::size_t{1000}, std::size_t{(2u << 20) / 8}, std::size_t{3'000'001}}) {
        LargeArray<std::uint64_t> array(count);
        ASSERT_EQ(array.size(), count);
        std::uint64_t sum = 0;
        for (std::uint64_t value : array) {
            sum += value;
        }
        EXPECT_EQ(sum, 0u) << count;
        for (std::size_t i = 0; i < count; ++i) {
            array[i] = i + 1;
        }
        const std::uint64_t* memory = array.begin();
        LargeArray<std::uint64_t> moved(std::move(array));
        EXPECT_TRUE(array.empty());
        EXPECT_EQ(moved.begin(), memory);
        EXPECT_EQ(moved[count - 1], count);
        LargeArray<std::uint64_t> assigned(5);
        assigned = std::move(moved);
        EXPECT_EQ(assigned.size(), count);
        EXPECT_EQ(assigned[0], 1u);
    }
    EXPECT_TRUE(LargeArray<std::uint64_t>(0).empty());
}

}  // namespace
}  // namespace oc::corpus
