#include <gtest/gtest.h>

#include <cmath>

#include "modulation/Spline.h"

TEST(Spline, FollowsTheBezierCurveAndContinuesAlongItsTangents) {
    struct Case {
        double y0, x1, y1, x2, y2, y3;
        double belowSlope, aboveSlope;
    };
    for (Case c : {Case{0.0, 0.2, 0.0, 0.4, 0.75, 1.0, 0.0, 0.25 / 0.6},         // attack shape
                   Case{1.0, 0.19, 0.55, 0.42, 0.0, 0.0, -0.45 / 0.19, 0.0}}) {  // decay shape
        Spline s(c.y0, c.x1, c.y1, c.x2, c.y2, c.y3);
        EXPECT_NEAR(s.evaluate(0.0), c.y0, 1e-3);
        EXPECT_NEAR(s.evaluate(1.0), c.y3, 1e-3);
        // Points of the curve, found back from their x.
        for (double t = 0.05; t < 1.0; t += 0.05) {
            double slope = std::abs((s.y(t + 1e-6) - s.y(t)) / (s.x(t + 1e-6) - s.x(t)));
            EXPECT_NEAR(s.evaluate(s.x(t)), s.y(t), 1e-4 * (1.0 + slope)) << t;
        }
        EXPECT_NEAR(s.evaluate(-0.5), c.y0 - 0.5 * c.belowSlope, 1e-9);
        EXPECT_NEAR(s.evaluate(1.5), c.y3 + 0.5 * c.aboveSlope, 1e-9);
    }
    // Vertical end tangents continue as constants.
    Spline vertical(0.2, 0.0, 1.0, 1.0, 0.0, 0.7);
    EXPECT_EQ(vertical.evaluate(-3.0), 0.2);
    EXPECT_EQ(vertical.evaluate(4.0), 0.7);
    EXPECT_EQ(vertical.evaluate(std::nan("")), 0.2);
}

TEST(Spline, EnvelopeShapesAreMonotonic) {
    Spline up(0.0, 0.2, 0.0, 0.4, 0.75, 1.0);
    Spline down(1.0, 0.19, 0.55, 0.42, 0.0, 0.0);
    double lastUp = -1.0, lastDown = 2.0;
    for (int i = 0; i <= 1000; ++i) {
        double x = i / 1000.0;
        double u = up.evaluate(x), d = down.evaluate(x);
        EXPECT_GE(u, lastUp - 1e-4) << x;
        EXPECT_LE(d, lastDown + 1e-4) << x;
        lastUp = u;
        lastDown = d;
    }
}
