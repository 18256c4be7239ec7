#include "services/conversions.h"

#include <gtest/gtest.h>

#include <cmath>

#include "services/byte_sets.h"
#include "services/date_time.h"
#include "services/numbers.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {
using testing::G;

TEST(Conversions, ToIntegerReadsLikeAtoiAfterHalfWidth) {
    EXPECT_EQ(toInteger(G("１２")), 12);
    EXPECT_EQ(toInteger(G("　３８")), 38);  // a full-width space is white space after conversion
    EXPECT_EQ(toInteger("12abc"), 12);
    EXPECT_EQ(toInteger("abc"), 0);
    EXPECT_EQ(toInteger(""), 0);
    EXPECT_EQ(toInteger("  -7x"), -7);
    EXPECT_EQ(toInteger("+40"), 40);
    EXPECT_EQ(toInteger("99999999999"), 2147483647);
    EXPECT_EQ(toInteger(-2.9), -2);
    EXPECT_EQ(toInteger(2.9), 2);
    EXPECT_EQ(toInteger(std::int64_t{0x100000005}), 5);
    EXPECT_EQ(toInteger(std::uint8_t{200}), 200);
    EXPECT_EQ(toInteger(std::int16_t{-3}), -3);
    EXPECT_EQ(toInteger(std::nan("")), 0);
}

TEST(Conversions, ToNumberReadsLikeAtof) {
    EXPECT_DOUBLE_EQ(toNumber(" 1.5e2x"), 150.0);
    EXPECT_DOUBLE_EQ(toNumber(G("－３．５")), -3.5);
    EXPECT_DOUBLE_EQ(toNumber("x"), 0.0);
}

TEST(Conversions, ToTextFormats) {
    EXPECT_EQ(toText(66.67), "66.67");
    EXPECT_EQ(toText(50.0), "50");
    EXPECT_EQ(toText(84.21000000000001), "84.21");
    EXPECT_EQ(toText(0.8421 * 100), "84.21");
    EXPECT_EQ(toText(1.0f / 3.0f), "0.333333");
    EXPECT_EQ(toText(true), G("真"));
    EXPECT_EQ(toText(false), G("假"));
    EXPECT_EQ(toText(std::int32_t{-5}), "-5");
    EXPECT_EQ(toText(std::uint8_t{255}), "255");
    EXPECT_EQ(toText(ByteSet(std::string("ab\0cd", 5))), "ab");
}

TEST(Conversions, DateTimeTextLeavesOffZeroTimePartsFromTheRight) {
    EXPECT_EQ(toText(makeDateTime({2024, 3, 5, 9, 7, 30})), G("2024年3月5日9时7分30秒"));
    EXPECT_EQ(toText(makeDateTime({2024, 3, 5, 9, 7, 0})), G("2024年3月5日9时7分"));
    EXPECT_EQ(toText(makeDateTime({2024, 3, 5, 9, 0, 0})), G("2024年3月5日9时"));
    EXPECT_EQ(toText(makeDateTime({2024, 3, 5, 0, 0, 0})), G("2024年3月5日"));
    EXPECT_EQ(toText(makeDateTime({2024, 3, 5, 0, 0, 1})), G("2024年3月5日0时0分1秒"));
    EXPECT_DOUBLE_EQ(makeDateTime({1899, 12, 30, 0, 0, 0}).days, 0.0);
    EXPECT_DOUBLE_EQ(makeDateTime({1900, 1, 1, 12, 0, 0}).days, 2.5);
}

TEST(Conversions, ToBytesIsLittleEndian) {
    EXPECT_EQ(toBytes(std::int32_t{0x01020304}).bytes(), std::string("\x04\x03\x02\x01", 4));
    EXPECT_EQ(toBytes(1.0).size(), 8u);
    EXPECT_EQ(toBytes(Text("ab")).bytes(), "ab");
}

TEST(Numbers, RoundHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(roundHalfAway(0.125, 2), 0.13);
    EXPECT_DOUBLE_EQ(roundHalfAway(-2.5), -3.0);
    EXPECT_DOUBLE_EQ(roundHalfAway(1250, -2), 1300.0);
    EXPECT_DOUBLE_EQ(roundHalfAway(1234, -2), 1200.0);
    EXPECT_DOUBLE_EQ(roundHalfAway(16.0 / 19.0, 4), 0.8421);
    EXPECT_DOUBLE_EQ(roundHalfAway(1.0 / 7.0, 4), 0.1429);
    EXPECT_DOUBLE_EQ(roundHalfAway(0.0, 4), 0.0);
    EXPECT_TRUE(std::isnan(roundHalfAway(std::nan(""), 2)));
}

TEST(Numbers, FloorIntegerSnapsNearWholeNumbers) {
    EXPECT_EQ(floorInteger(2.9999999999999), 3);
    EXPECT_EQ(floorInteger(3.9999999999999), 4);
    EXPECT_EQ(floorInteger(2.5), 2);
    EXPECT_EQ(floorInteger(-2.5), -3);
}

TEST(ByteSets, SplitKeepsInnerEmptyPiecesButNoTrailingOne) {
    auto pieces = splitBytes(ByteSet("A,,B"), ByteSet(","));
    ASSERT_EQ(pieces.size(), 3u);
    EXPECT_EQ(pieces[0].bytes(), "A");
    EXPECT_EQ(pieces[1].bytes(), "");
    EXPECT_EQ(pieces[2].bytes(), "B");
    EXPECT_EQ(splitBytes(ByteSet("A,B,"), ByteSet(",")).size(), 2u);
    EXPECT_EQ(splitBytes(ByteSet(",A"), ByteSet(",")).size(), 2u);
    EXPECT_EQ(splitBytes(ByteSet("A,B,C"), ByteSet(","), 2).size(), 2u);
    EXPECT_TRUE(splitBytes(ByteSet("A"), ByteSet(","), -1).empty());
    EXPECT_TRUE(splitBytes(ByteSet(), ByteSet(",")).empty());
    EXPECT_EQ(splitBytes(ByteSet("A,B"), ByteSet()).size(), 1u);
    auto zeros = splitBytes(ByteSet(std::string("a\0b", 3)));
    ASSERT_EQ(zeros.size(), 2u);
    EXPECT_EQ(zeros[1].bytes(), "b");
    // A delimiter that only starts to match moves on one byte.
    EXPECT_EQ(splitBytes(ByteSet("aab"), ByteSet("ab")).front().bytes(), "a");
}

TEST(ByteSets, MidBytesClipsItsArguments) {
    ByteSet data("abcdef");
    EXPECT_EQ(midBytes(data, 0, 2).bytes(), "ab");
    EXPECT_EQ(midBytes(data, 5, 10).bytes(), "ef");
    EXPECT_EQ(midBytes(data, 9, 1).bytes(), "");
    EXPECT_EQ(midBytes(data, 2, -1).bytes(), "");
    EXPECT_EQ(zeroBytes(3).bytes(), std::string(3, '\0'));
    EXPECT_EQ(bytesLength(zeroBytes(-1)), 0);
}

}  // namespace
}  // namespace oc
