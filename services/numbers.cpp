#include "services/numbers.h"

#include <cmath>
#include <limits>

namespace oc {

double roundHalfAway(double x, int digits) {
    if (x == 0.0 || std::isnan(x)) {
        return x;
    }
    bool negative = x < 0;
    double magnitude = std::fabs(x);
    double scale = std::pow(10.0, std::abs(digits));
    double y = digits > 0 ? magnitude * scale : digits < 0 ? magnitude / scale : magnitude;
    double integral = 0.0;
    double fraction = std::modf(y + 1e-12, &integral);
    if (fraction >= 0.5) {
        integral += 1.0;
    }
    double back = digits > 0 ? integral / scale : digits < 0 ? integral * scale : integral;
    return negative ? -back : back;
}

int floorInteger(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    double whole = std::trunc(x);
    if (std::fabs(x - whole) > 0.999999999999) {
        x = whole + (x < 0 ? -1.0 : 1.0);
    }
    double f = std::floor(x);
    if (f >= 2147483647.0) {
        return std::numeric_limits<int>::max();
    }
    if (f <= -2147483648.0) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(f);
}

}  // namespace oc
