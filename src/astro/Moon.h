// Moon: geocentric ecliptic coordinates of the Moon from a truncated form of
// Brown's lunar theory.
#pragma once

// T in Julian centuries since 2000 January 1, 12 h (JulianCenturies).
// Lambda longitude in [0, 2pi), Beta latitude (radians), R distance in Earth radii.
void MoonPosition(long double T, long double& Lambda, long double& Beta, long double& R);
