#include "modulation/Spline.h"

#include <cmath>

Spline::Spline(double y0_, double x1, double y1, double x2, double y2, double y3_) : y0(y0_), y3(y3_) {
    constexpr double x0 = 0.0, x3 = 1.0;
    cx = 3.0 * (x1 - x0);
    bx = 3.0 * (x2 - x1) - cx;
    ax = x3 - x0 - cx - bx;
    dy = y0;
    cy = 3.0 * (y1 - y0);
    by = 3.0 * (y2 - y1) - cy;
    ay = y3 - y0 - cy - by;
    // A vertical tangent continues as a constant.
    startSlope = x1 != x0 ? (y1 - y0) / (x1 - x0) : 0.0;
    endSlope = x3 != x2 ? (y3 - y2) / (x3 - x2) : 0.0;
}

double Spline::evaluate(double xv) const {
    // At and beyond the ends the tangent lines give the end points exactly, which the bisection
    // would only approach.
    if (!(xv > 0.0)) return y0 + startSlope * (std::isnan(xv) ? 0.0 : xv);
    if (xv >= 1.0) return y3 + endSlope * (xv - 1.0);
    double lo = 0.0, hi = 1.0, t = 0.5;
    // Each halving narrows the bracket; 64 rounds exhaust double precision.
    for (int round = 0; round < 64; ++round) {
        double xt = x(t);
        if (xt == xv) break;
        if (xt < xv)
            lo = t;
        else
            hi = t;
        if (std::fabs(x(hi) - x(lo)) <= tolerance) break;
        t = 0.5 * (lo + hi);
    }
    return y(t);
}
