#include "calc/engine/ThermalDepression.h"

#include <cmath>
#include <numbers>

namespace arv {

double ThermalDepression(double q0, double section, double length, double slopeDegrees,
                         double minutes) {
    // Heat exchange with the rock, per metre of the heated column.
    const double k = 0.003 * (5 * section / q0 + 4) / std::sqrt(section);
    // Length of the heated column: the smoke front advances faster than the air.
    const double x = (q0 / section + 4) * minutes / 15;
    const double e1 = std::exp(-10 * k * x);
    const double e2 = std::exp(-k * (length - x));
    const double a = 3.3 * (1 - e1) + 1;
    const double c = 3.3 * (1 - e1) * e2 + 1;
    return 1.2 * std::sin(slopeDegrees * std::numbers::pi / 180) * (x / 1.3 + std::log(a / c) / k);
}

} // namespace arv
