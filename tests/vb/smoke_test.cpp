#include <gtest/gtest.h>

#include "vb/convert.h"

TEST(Smoke, Builds) { EXPECT_EQ(vb::numberText(0.1 + 0.2), "0.3"); }
