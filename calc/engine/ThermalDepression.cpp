#include "calc/engine/ThermalDepression.h"

#include <cmath>
#include <numbers>

namespace arv {

double ThermalDepression(double q, double s, double l, double slopeDegrees, double minutes) {
    const double k = 0.003 * (5 * s / q + 4) / std::sqrt(s);
    const double x = (q / s + 4) * minutes / 15;
    const double e1 = std::exp(-10 * k * x);
    const double e2 = std::exp(-k * (l - x));
    const double a = 3.3 * (1 - e1) + 1;
    const double c = 3.3 * (1 - e1) * e2 + 1;
    return 1.2 * std::sin(slopeDegrees * std::numbers::pi / 180) * (x / 1.3 + std::log(a / c) / k);
}

} // namespace arv
