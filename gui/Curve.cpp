#include "gui/Curve.h"

namespace gui {

void Cubic::set(float x1, float y1, float slope1, float x2, float y2, float slope2) {
    // Hermite form on t = x - x1, then expanded into powers of x.
    const float h = x2 - x1;
    if (h == 0) {
        a = y1;
        b = c = d = 0;
        return;
    }
    const float dy = y2 - y1;
    const float c2 = (3 * dy / h - 2 * slope1 - slope2) / h;
    const float c3 = (slope1 + slope2 - 2 * dy / h) / (h * h);
    // y = y1 + slope1 t + c2 t^2 + c3 t^3 with t = x - x1.
    a = y1 - slope1 * x1 + c2 * x1 * x1 - c3 * x1 * x1 * x1;
    b = slope1 - 2 * c2 * x1 + 3 * c3 * x1 * x1;
    c = c2 - 3 * c3 * x1;
    d = c3;
}

}  // namespace gui
