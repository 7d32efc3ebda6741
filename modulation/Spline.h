#pragma once

#include "wave/FunctionTable.h"

// A cubic Bezier curve from (0, y0) through the control points (x1, y1) and (x2, y2) to (1, y3),
// evaluated as a function of x: the curve parameter t is found by bisection on X(t), then Y(t) is
// returned. Outside 0 .. 1 the curve continues along its end tangents, which also give the end points
// exactly. X(t) must be monotonic.
struct Spline : public FunctionTableFunction {
    Spline(double y0, double x1, double y1, double x2, double y2, double y3);

    double evaluate(double x) const override;

    double x(double t) const { return ((ax * t + bx) * t + cx) * t; }
    double y(double t) const { return ((ay * t + by) * t + cy) * t + dy; }

    // X(t) = ax t^3 + bx t^2 + cx t (X(0) = 0) and Y(t) = ay t^3 + by t^2 + cy t + dy.
    double ax, bx, cx;
    double ay, by, cy, dy;
    // End tangents: y = y0 + startSlope * x before the curve, y = y3 + endSlope * (x - 1) after it.
    double y0, startSlope;
    double y3, endSlope;
    double tolerance = 0.0001;
};
