// The phase calendar: every new Moon, first quarter, full Moon and last
// quarter of a year, as CSV with the MEZ date and time to the minute,
// written like the date and time columns of the ephemeris table.
#pragma once

#include <optional>
#include <ostream>
#include <string>

constexpr const char* PhaseCalendarHeader = "phase,date,time_mez";
// Appended with a place: where the observer sees the Moon at that instant
// (altitude with parallax and refraction, azimuth 0 = south, 90 = west).
constexpr const char* PhaseCalendarPlaceColumns = ",moon_alt_refr_deg,moon_az_topo_deg";

constexpr int PhaseCalendarFirstYear = -4712;
constexpr int PhaseCalendarLastYear = 9999;

// year and place as typed ("2026", "54.3,10.1"; no place: no place
// columns). Writes the header and one row per phase to out, or a German
// message to err. Returns the exit status: 0, or 2 for bad input (then
// nothing is written to out), or 1 if out cannot be written.
int WritePhaseCalendar(const std::string& year, const std::optional<std::string>& place,
                       std::ostream& out, std::ostream& err);
