// The thermal depression of a fire in an inclined working: the pressure the
// hot gases add to the working's own draught, growing as the heated air
// moves along the working. Shared by the thermal-depression window and the
// fire calculations.
#pragma once

namespace arv {

// Depression in mm w.c. after `minutes` of fire, for the flow before the
// fire q0 (m3/s, > 0), the section (m2, > 0), the length (m, > 0) and the
// slope in degrees (rising positive). Negative on a descending working.
double ThermalDepression(double q0, double section, double length, double slopeDegrees,
                         double minutes);

} // namespace arv
