// The thermal depression of a fire in an inclined working: the heated air
// column acts on the network like a fan of constant pressure.
#pragma once

namespace arv {

// Depression in mm of water after `minutes` of burning, for a working with
// the air flow q (m3/s, before the fire), section s (m2), length l (m) and
// slope (degrees, negative downhill). q and s must be above 0.
double ThermalDepression(double q, double s, double l, double slopeDegrees, double minutes);

} // namespace arv
