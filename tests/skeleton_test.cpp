#include <gtest/gtest.h>

#include "kavotbl/kavotbl.h"

TEST(Skeleton, RectRules) {
    kavo::CRect rc(10, 20, 30, 40);
    EXPECT_TRUE(rc.PtInRect({10, 20}));
    EXPECT_FALSE(rc.PtInRect({30, 20}));
    EXPECT_EQ(kavo::RGB(1, 2, 3), 0x030201u);
}
