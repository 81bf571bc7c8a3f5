// The Moon's phase in words and numbers, its age, and the instants of the
// four main phases. Everything comes from the ecliptic longitudes of the
// program's own Sun and Moon, so a name, an age and a phase calendar never
// disagree with each other or with the ephemeris table.
//
// The elongation used here is the Moon's ecliptic longitude minus the
// Sun's as seen (the Sun 20.5" behind its place by aberration), in
// [0, 2 pi): 0 at new Moon, pi/2 at first quarter, pi at full Moon, 3 pi/2
// at last quarter. Almanacs define the main phases the same way, so the
// instants found here are the ones a printed calendar lists, give or take
// a minute: the program's time scale has no Delta T, which puts every
// instant about 70 s late in 2025.
#pragma once

#include <vector>

#include "SkyInstant.h"

enum class EMoonPhase {
  NewMoon,
  WaxingCrescent,
  FirstQuarter,
  WaxingGibbous,
  FullMoon,
  WaningGibbous,
  LastQuarter,
  WaningCrescent,
};

// A main phase is named while the elongation is within this angle of its
// exact value. The elongation grows by about 12.2 degrees a day, so 6
// degrees is about half a day either side: the main phase is named on
// roughly the one day around the instant a phase calendar lists.
constexpr long double MainPhaseBand = 6.0L * DegToRad;

// The mean time from one new Moon to the next, in days.
constexpr long double SynodicMonth = 29.530588853L;

// Percent of the disc that is lit, from the phase angle of TSkyInstant:
// 50 (1 + cos phase angle), the last column of the ephemeris table.
long double IlluminatedPercent(long double phaseAngle);

// The elongation (see above) of an instant already computed, and of a
// Julian date (UT), computed from the Sun and Moon series alone.
long double Elongation(const TSkyInstant& s);
long double Elongation(long double jd);

// The phase an elongation lies in, and its German name (UTF-8).
EMoonPhase PhaseOf(long double elongation);
const char* PhaseName(EMoonPhase phase);

// The instant near guess (Julian date, UT) where the elongation equals
// target (radians): the nearest one, as long as the guess is within a few
// days of it.
long double FindElongation(long double guess, long double target);

// The Julian date of the last new Moon at or before jd.
long double LastNewMoon(long double jd);
// Days since that new Moon.
long double MoonAge(long double jd);

// The phase of one instant in words and numbers, for the views.
struct TMoonPhase {
  EMoonPhase Phase = EMoonPhase::NewMoon;
  const char* Name = "";      // German, UTF-8
  long double Elongation = 0; // radians, [0, 2 pi)
  long double IlluminatedPercent = 0;
  long double AgeDays = 0; // since the last new Moon
};

// s is ComputeSkyInstant(jd, ...) for any place; the phase does not depend
// on the place.
TMoonPhase DescribeMoonPhase(long double jd, const TSkyInstant& s);

// One instant of a main phase: Phase is NewMoon, FirstQuarter, FullMoon or
// LastQuarter.
struct TPhaseEvent {
  EMoonPhase Phase = EMoonPhase::NewMoon;
  long double JD = 0; // UT
};

// Every main phase from `from` up to (not including) `to`, in order of time.
std::vector<TPhaseEvent> MainPhasesBetween(long double from, long double to);
