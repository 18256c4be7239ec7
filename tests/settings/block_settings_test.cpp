#include "settings/block_settings.h"

#include <gtest/gtest.h>

#include "tests/support/file_fixtures.h"
#include "tests/support/gbk.h"

namespace oc {
namespace {

using testing::G;

TEST(BlockSettings, TheKeyDecidesForBothKindsOfCheckAndItsAbsenceForNeither) {
    testing::TempFolder folder;
    const Text path = folder.path("配置.ini");
    const std::string native = folder.nativePath("配置.ini");
    BlockSettings none = loadBlockSettings(path);
    EXPECT_FALSE(none.onBlock);
    EXPECT_EQ(none.waitMinutes, 10);
    EXPECT_EQ(onBlockFor(none, false), OnBlock::Ask);
    EXPECT_EQ(onBlockFor(none, true), OnBlock::Wait);

    testing::putFileBytes(native, G("[原创检测配置]\r\n屏蔽时= 自动等待 \r\n屏蔽等待=3\r\n"));
    BlockSettings wait = loadBlockSettings(path);
    EXPECT_EQ(onBlockFor(wait, false), OnBlock::Wait);
    EXPECT_EQ(wait.waitMinutes, 3);

    testing::putFileBytes(native, G("[原创检测配置]\r\n屏蔽时=询问\r\n屏蔽等待=600\r\n"));
    BlockSettings ask = loadBlockSettings(path);
    EXPECT_EQ(onBlockFor(ask, true), OnBlock::Ask);
    EXPECT_EQ(ask.waitMinutes, 60);

    // Neither value, or no number: as if absent.
    testing::putFileBytes(native, G("[原创检测配置]\r\n屏蔽时=随便\r\n屏蔽等待=abc\r\n"));
    BlockSettings odd = loadBlockSettings(path);
    EXPECT_FALSE(odd.onBlock);
    EXPECT_EQ(odd.waitMinutes, 10);

    ASSERT_TRUE(saveBlockSettings(path, {OnBlock::Wait, 7}));
    BlockSettings saved = loadBlockSettings(path);
    EXPECT_EQ(saved.onBlock, OnBlock::Wait);
    EXPECT_EQ(saved.waitMinutes, 7);
    ASSERT_TRUE(saveBlockSettings(path, {std::nullopt, 7}));
    EXPECT_FALSE(loadBlockSettings(path).onBlock);
}

}  // namespace
}  // namespace oc
