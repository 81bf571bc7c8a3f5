// What the sky looks like at one instant for one observer: MEZ date and time,
// local sidereal time, Sun and Moon in ecliptic and horizontal coordinates,
// daylight state and the Moon's phase angle. The inside view and the
// ephemeris table both use this, so they can never disagree.
#pragma once

#include "AstrRout.h"
#include "Mathe.h"

struct TSkyInstant {
  TCalendarDate Date;                                     // MEZ date of the instant
  long double Time = 0;                                   // MEZ time of day, h.mm form
  long double SiderealTime = 0;                           // local sidereal time, radians
  long double SunLon = 0, SunLat = 0, SunDistance = 0;    // radians, radians, AU
  long double MoonLon = 0, MoonLat = 0, MoonDistance = 0; // radians, radians, Earth radii
  long double SunAzimuth = 0, SunAltitude = 0;   // radians; azimuth 0 = south, +pi/2 = west
  long double MoonAzimuth = 0, MoonAltitude = 0; // radians
  bool SunUp = false, Twilight = false, Night = false;
  long double PhaseAngle = 0; // radians: 0 full Moon, +-pi new Moon, negative while waning
};

// latitude and longitude in radians (north and east positive).
TSkyInstant ComputeSkyInstant(long double jd, long double latitude, long double longitude);
