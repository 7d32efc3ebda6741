#include <gtest/gtest.h>

#include <cmath>

#include "wave/FunctionTable.h"

namespace {
struct Atan : FunctionTableFunction {
    double evaluate(double x) const override { return std::atan(x); }
};
struct Square : FunctionTableFunction {
    double evaluate(double x) const override { return x * x; }
};
}  // namespace

TEST(FunctionTable, SizeRoundsUpToPowerOfTwoAndInterpolates) {
    Square f;
    FunctionTable table(4906, f, 1.0f, -1.0f);  // bounds in either order
    EXPECT_EQ(table.size(), 8192);
    EXPECT_FLOAT_EQ(table.lo(), -1.0f);
    EXPECT_EQ(table.values().size(), 8193u);
    for (float x : {-1.0f, -0.3f, 0.0f, 0.25f, 0.99f}) EXPECT_NEAR(table.lookup(x), x * x, 1e-4) << x;
}

TEST(FunctionTable, ArgumentsOutsideTheDomainReadTheNearestEnd) {
    Atan f;
    FunctionTable table(8192, f, -40.0f, 40.0f);
    float top = static_cast<float>(std::atan(40.0));
    for (float x : {40.0f, 41.0f, 1000.0f, 1e30f}) {
        EXPECT_NEAR(table.lookup(x), top, 1e-5) << x;
        EXPECT_NEAR(table.clipLookup(x), top, 1e-5) << x;
        EXPECT_NEAR(table.lookup(-x), -top, 1e-5) << x;
        EXPECT_NEAR(table.clipLookup(-x), -top, 1e-5) << x;
    }
    for (float x : {-3.0f, -0.5f, 0.0f, 0.7f, 12.0f}) EXPECT_NEAR(table.clipLookup(x), std::atan(x), 1e-4) << x;
}
