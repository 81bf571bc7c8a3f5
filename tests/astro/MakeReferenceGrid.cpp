// Writes ReferenceGrid.txt: the Sun and Moon positions and the sky instants
// of four observers for some 2 200 instants from 4713 BC to AD 9999, every
// value as a hexadecimal long double so that nothing is lost. The file was
// made once with the series evaluated wholly in long double (commit
// "Reference grid ..."); ReferenceGridTest holds the program to it, so a
// faster evaluation of the series cannot drift away unnoticed.
//
// To make it again (only when the series themselves are meant to change):
//   cmake --build build --target make_reference_grid
//   build/tests/astro/make_reference_grid > tests/astro/ReferenceGrid.txt
#include "AstrRout.h"
#include "Mathe.h"
#include "Moon.h"
#include "SkyInstant.h"
#include "Sun.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

struct TPlace {
  const char* Name;
  long double Latitude, Longitude; // degrees
};

// Kiel, Cape Town, the equator at Greenwich, and near the north pole on
// the other side of the date line.
const TPlace Places[] = {
    {"Kiel", 54.3L, 10.1L},
    {"Kapstadt", -33.9L, 18.4L},
    {"Aequator", 0.0L, 0.0L},
    {"Nordpol", 89.9L, -179.0L},
};

// A small fixed generator, so the grid is the same on every machine.
uint64_t NextRandom(uint64_t& state) {
  state = state * 6364136223846793005ULL + 1442695040888963407ULL;
  return state >> 11;
}

// A fraction of a day in [0, 1).
long double RandomDayFraction(uint64_t& state) {
  return static_cast<long double>(NextRandom(state)) / 9007199254740992.0L; // 2^53
}

std::vector<long double> Instants() {
  std::vector<long double> jds;
  uint64_t state = 20240509;
  // The first and last minute of the calendar the program accepts, and the
  // epoch of the series.
  jds.push_back(JulianDate(TCalendarDate{1, 1, -4712}, 0.00L));
  jds.push_back(JulianDate(TCalendarDate{1, 1, -4712}, 12.00L));
  jds.push_back(JulianDate(TCalendarDate{31, 12, 9999}, 23.59L));
  jds.push_back(JulianDate(TCalendarDate{1, 1, 2000}, 13.00L));
  jds.push_back(JulianDate(TCalendarDate{15, 10, 1582}, 1.00L));
  // Evenly over the whole range, each moved by a random part of a day.
  const long double first = JulianDate(TCalendarDate{1, 1, -4712}, 0.00L);
  const long double last = JulianDate(TCalendarDate{31, 12, 9999}, 0.00L);
  const int count = 2000;
  for (int i = 0; i < count; ++i)
    jds.push_back(first + (last - first) * i / (count - 1) + RandomDayFraction(state));
  // Denser over the centuries around today, where the program is used most.
  const long double from = JulianDate(TCalendarDate{1, 1, 1800}, 0.00L);
  const long double to = JulianDate(TCalendarDate{1, 1, 2200}, 0.00L);
  for (int i = 0; i < 200; ++i)
    jds.push_back(from + (to - from) * i / 200 + RandomDayFraction(state));
  return jds;
}

void Print(long double x) {
  std::printf(" %La", x);
}

} // namespace

int main() {
  std::printf("# Sun, Moon and sky instants of the long double series; made by "
              "MakeReferenceGrid.cpp.\n");
  std::printf("# place LATITUDE LONGITUDE (radians)\n");
  std::printf("# JD  SunL SunB SunR  MoonLambda MoonBeta MoonR  then for each place:\n");
  std::printf("#     SiderealTime SunAzimuth SunAltitude MoonAzimuth MoonAltitude PhaseAngle\n");
  for (const TPlace& p : Places) {
    std::printf("place");
    Print(p.Latitude * DegToRad);
    Print(p.Longitude * DegToRad);
    std::printf(" %s\n", p.Name);
  }
  for (const long double jd : Instants()) {
    const long double T = JulianCenturies(jd);
    long double L, B, R, Lambda, Beta, Rm;
    SunPosition(T, L, B, R);
    MoonPosition(T, Lambda, Beta, Rm);
    for (const long double x : {jd, L, B, R, Lambda, Beta, Rm}) Print(x);
    for (const TPlace& p : Places) {
      const TSkyInstant s = ComputeSkyInstant(jd, p.Latitude * DegToRad, p.Longitude * DegToRad);
      for (const long double x : {s.SiderealTime, s.SunAzimuth, s.SunAltitude, s.MoonAzimuth,
                                  s.MoonAltitude, s.PhaseAngle})
        Print(x);
    }
    std::printf("\n");
  }
  return 0;
}
