// The ephemeris table: the positions of Sun and Moon at the instants the
// animation of a parameter file would show, as CSV for further processing.
// The last four columns are what the observer sees: the Moon's altitude and
// azimuth shifted by its parallax, and the altitudes of Sun and Moon (the
// latter topocentric) lifted by the standard refraction.
#pragma once

#include <ostream>
#include <string>

constexpr const char* EphemerisHeader =
    "jd,date,time_mez,sun_lon_deg,sun_lat_deg,sun_dist_au,moon_lon_deg,moon_lat_deg,"
    "moon_dist_er,lst_deg,sun_az_deg,sun_alt_deg,moon_az_deg,moon_alt_deg,phase_angle_deg,"
    "illuminated_pct,moon_alt_topo_deg,moon_az_topo_deg,sun_alt_refr_deg,moon_alt_refr_deg";

// Appends the value with twelve decimals, exactly as std::to_chars writes
// it (correctly rounded), but a value that rounds to zero without a minus
// sign; "nan" for a value that is not finite.
void AppendFixed12(std::string& out, long double value);
// Appends the Moon's illuminated percentage 50 (1 + cos phase) with twelve
// decimals: the text AppendFixed12 writes for it with std::cos.
void AppendIlluminated(std::string& out, long double phase);

// Writes the header and count rows to out, or a German message to err.
// Returns the exit status: 0, or 2 for bad input (then nothing is written to out).
int WriteEphemeris(const std::string& parameterFile, long long count, std::ostream& out,
                   std::ostream& err);
