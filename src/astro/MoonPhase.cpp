// The Moon's phase, its age and the instants of the main phases, from the
// elongation in ecliptic longitude.
#include "MoonPhase.h"

#include <cmath>

#include "Moon.h"
#include "Sun.h"

namespace {

constexpr long double TwoPi = 2.0L * Pi;
// The elongation grows by 2 pi per synodic month on average, and always
// by between about 10.5 and 14.5 degrees a day (the Moon's speed varies
// with its distance). A measured slope outside these bounds is not trusted.
constexpr long double MeanRate = TwoPi / SynodicMonth; // radians per day
constexpr long double SlowestRate = 9.0L * DegToRad;
constexpr long double FastestRate = 16.0L * DegToRad;
// A root is found to about 0.01 s; the calendar rounds to the minute.
constexpr long double DayTolerance = 1e-7L;
constexpr int MaxSteps = 40;
// Almanacs take the phases from the longitudes as seen: the light of the
// Sun shows it 20.5" behind the place the series give (aberration); the
// Moon's own shift is under 1". Without this the instants would come out
// some 40 s late.
constexpr long double SunAberration = 20.4955L / 3600.0L * DegToRad;

// The angle reduced to [0, 2 pi).
long double ReduceTurn(long double a) {
  a = std::fmod(a, TwoPi);
  if (a < 0) a += TwoPi;
  if (a >= TwoPi) a -= TwoPi;
  return a;
}

// The angle reduced to (-pi, pi].
long double ReduceHalfTurn(long double a) {
  a = ReduceTurn(a);
  return a > Pi ? a - TwoPi : a;
}

// How far the elongation at jd is past target: negative before the
// instant, positive after it, small near it.
long double ElongationPast(long double jd, long double target) {
  return ReduceHalfTurn(Elongation(jd) - target);
}

// The main phase that follows a given one.
EMoonPhase NextMainPhase(EMoonPhase phase) {
  switch (phase) {
  case EMoonPhase::NewMoon:
    return EMoonPhase::FirstQuarter;
  case EMoonPhase::FirstQuarter:
    return EMoonPhase::FullMoon;
  case EMoonPhase::FullMoon:
    return EMoonPhase::LastQuarter;
  default:
    return EMoonPhase::NewMoon;
  }
}

// The elongation of a main phase.
long double MainPhaseElongation(EMoonPhase phase) {
  switch (phase) {
  case EMoonPhase::FirstQuarter:
    return Pi / 2;
  case EMoonPhase::FullMoon:
    return Pi;
  case EMoonPhase::LastQuarter:
    return 3 * Pi / 2;
  default:
    return 0;
  }
}

} // namespace

long double IlluminatedPercent(long double phaseAngle) {
  return 50.0L * (1.0L + std::cos(phaseAngle));
}

long double Elongation(const TSkyInstant& s) {
  return ReduceTurn(s.MoonLon - (s.SunLon - SunAberration));
}

long double Elongation(long double jd) {
  const long double T = JulianCenturies(jd);
  long double sunLon = 0, sunLat = 0, sunDistance = 0;
  long double moonLon = 0, moonLat = 0, moonDistance = 0;
  SunPosition(T, sunLon, sunLat, sunDistance);
  MoonPosition(T, moonLon, moonLat, moonDistance);
  return ReduceTurn(moonLon - (sunLon - SunAberration));
}

EMoonPhase PhaseOf(long double elongation) {
  const long double e = ReduceTurn(elongation);
  // Each main phase owns the band around its elongation; the phases in
  // between own what is left, waxing up to full Moon and waning after.
  const EMoonPhase mains[] = {EMoonPhase::NewMoon, EMoonPhase::FirstQuarter, EMoonPhase::FullMoon,
                              EMoonPhase::LastQuarter};
  const EMoonPhase between[] = {EMoonPhase::WaxingCrescent, EMoonPhase::WaxingGibbous,
                                EMoonPhase::WaningGibbous, EMoonPhase::WaningCrescent};
  for (int quarter = 0; quarter < 4; ++quarter)
    if (std::fabs(ReduceHalfTurn(e - quarter * Pi / 2)) <= MainPhaseBand) return mains[quarter];
  for (int quarter = 0; quarter < 4; ++quarter)
    if (e < (quarter + 1) * Pi / 2) return between[quarter];
  return EMoonPhase::NewMoon; // only for a NaN
}

const char* PhaseName(EMoonPhase phase) {
  switch (phase) {
  case EMoonPhase::NewMoon:
    return "Neumond";
  case EMoonPhase::WaxingCrescent:
    return "zunehmende Sichel";
  case EMoonPhase::FirstQuarter:
    return "erstes Viertel";
  case EMoonPhase::WaxingGibbous:
    return "zunehmender Mond";
  case EMoonPhase::FullMoon:
    return "Vollmond";
  case EMoonPhase::WaningGibbous:
    return "abnehmender Mond";
  case EMoonPhase::LastQuarter:
    return "letztes Viertel";
  case EMoonPhase::WaningCrescent:
    return "abnehmende Sichel";
  }
  return "";
}

// Secant steps: each step divides the distance still to go by the slope
// of the last two points. Near the root the elongation is almost a
// straight line in time, so a handful of steps reach the tolerance.
long double FindElongation(long double guess, long double target) {
  long double x0 = guess;
  long double f0 = ElongationPast(x0, target);
  long double x1 = x0 - f0 / MeanRate;
  long double f1 = ElongationPast(x1, target);
  for (int step = 0; step < MaxSteps && std::fabs(x1 - x0) > DayTolerance; ++step) {
    const long double slope = (f1 - f0) / (x1 - x0);
    const long double rate = slope > SlowestRate && slope < FastestRate ? slope : MeanRate;
    x0 = x1;
    f0 = f1;
    x1 -= f1 / rate;
    f1 = ElongationPast(x1, target);
  }
  return x1;
}

long double LastNewMoon(long double jd) {
  const long double elongation = Elongation(jd);
  // Right at a new Moon the elongation may come out a hair below a full
  // turn: then the new Moon found from jd itself is the one.
  if (elongation > TwoPi - MainPhaseBand) {
    const long double next = FindElongation(jd, 0);
    if (next <= jd + DayTolerance) return std::fmin(next, jd);
  }
  // The elongation tells how far back the new Moon lies at the mean rate;
  // the search then lands within a day or two of that on the true one.
  long double newMoon = FindElongation(jd - elongation / MeanRate, 0);
  // Right at a new Moon the search may land a hair after jd.
  if (newMoon > jd + DayTolerance) newMoon = FindElongation(newMoon - SynodicMonth, 0);
  return std::fmin(newMoon, jd);
}

long double MoonAge(long double jd) {
  return jd - LastNewMoon(jd);
}

TMoonPhase DescribeMoonPhase(long double jd, const TSkyInstant& s) {
  TMoonPhase p;
  p.Elongation = Elongation(s);
  p.Phase = PhaseOf(p.Elongation);
  p.Name = PhaseName(p.Phase);
  p.IlluminatedPercent = IlluminatedPercent(s.PhaseAngle);
  p.AgeDays = MoonAge(jd);
  return p;
}

std::vector<TPhaseEvent> MainPhasesBetween(long double from, long double to) {
  std::vector<TPhaseEvent> events;
  TPhaseEvent event{EMoonPhase::NewMoon, LastNewMoon(from)};
  while (event.JD < to) {
    if (event.JD >= from) events.push_back(event);
    // The next main phase comes about a quarter of a month later.
    const EMoonPhase phase = NextMainPhase(event.Phase);
    const long double jd = FindElongation(event.JD + SynodicMonth / 4, MainPhaseElongation(phase));
    if (!(jd > event.JD)) break; // beyond the dates where a day still has digits
    event = {phase, jd};
  }
  return events;
}
