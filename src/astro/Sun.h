// The solar theory: geocentric ecliptic coordinates of the Sun (mean ecliptic
// and equinox of date) from an analytical series with planetary and lunar
// perturbations.
#pragma once

// T in Julian centuries since 2000 January 1, 12 h (JulianCenturies).
// L ecliptic longitude (radians), B latitude (radians), R distance (AU).
void SunPosition(long double T, long double& L, long double& B, long double& R);
