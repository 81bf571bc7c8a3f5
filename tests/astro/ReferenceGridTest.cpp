// The Sun and Moon series and the sky instants of four places against the
// values the series gave when they were evaluated wholly in long double
// (ReferenceGrid.txt, written by MakeReferenceGrid.cpp), some 2 200 instants
// from 4713 BC to AD 9999. Any change to how the series are evaluated must
// stay within these limits at every instant:
//   angles 1e-11 rad, the Sun's distance 1e-12 AU, the Moon's 1e-10 Earth radii.
#include "AstrRout.h"
#include "Mathe.h"
#include "Moon.h"
#include "SkyInstant.h"
#include "Sun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr long double AngleTol = 1e-11L;        // radians
constexpr long double SunDistanceTol = 1e-12L;  // AU
constexpr long double MoonDistanceTol = 1e-10L; // Earth radii
constexpr int SkyValues = 6;                    // per place and instant

struct TPlace {
  long double Latitude, Longitude; // radians
};

struct TRow {
  long double JD;
  long double Sun[3];           // L, B, R
  long double Moon[3];          // Lambda, Beta, R
  std::vector<long double> Sky; // SkyValues per place
};

struct TGrid {
  std::vector<TPlace> Places;
  std::vector<TRow> Rows;
};

long double Read(std::istringstream& in) {
  std::string word;
  in >> word;
  return std::strtold(word.c_str(), nullptr); // hexadecimal floats included
}

TGrid LoadGrid() {
  TGrid grid;
  std::ifstream file(LUNOTROP_SOURCE_DIR "/tests/astro/ReferenceGrid.txt");
  std::string line;
  while (std::getline(file, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream in(line);
    if (line.rfind("place", 0) == 0) {
      std::string word;
      in >> word;
      const long double latitude = Read(in);
      grid.Places.push_back({latitude, Read(in)});
      continue;
    }
    TRow row;
    row.JD = Read(in);
    for (long double& x : row.Sun) x = Read(in);
    for (long double& x : row.Moon) x = Read(in);
    for (size_t i = 0; i < grid.Places.size() * SkyValues; ++i) row.Sky.push_back(Read(in));
    if (in) grid.Rows.push_back(row);
  }
  return grid;
}

const TGrid& Grid() {
  static const TGrid grid = LoadGrid();
  return grid;
}

// Angles that may wrap round (longitudes, azimuths, the phase angle near
// new Moon) are compared modulo a full turn.
long double AngleDiff(long double a, long double b) {
  return std::fabs(std::remainder(a - b, 2.0L * Pi));
}

// The largest difference of one quantity over the grid and where it was.
struct TWorst {
  const char* Name;
  long double Tol;
  long double Diff = 0;
  long double JD = 0;

  void See(long double diff, long double jd) {
    // A NaN must not hide behind a comparison that is false.
    if (!(diff <= Diff)) {
      Diff = diff;
      JD = jd;
    }
  }
  void Check() const {
    EXPECT_LE(Diff, Tol) << Name << " at JD " << static_cast<double>(JD);
    std::cout << "  largest difference " << Name << ": " << static_cast<double>(Diff) << '\n';
  }
};

TEST(ReferenceGridTest, CoversTheCalendarAndFourPlaces) {
  const TGrid& grid = Grid();
  ASSERT_EQ(grid.Places.size(), 4u);
  ASSERT_GE(grid.Rows.size(), 2000u);
  long double first = grid.Rows[0].JD, last = first;
  for (const TRow& row : grid.Rows) {
    first = std::min(first, row.JD);
    last = std::max(last, row.JD);
  }
  EXPECT_LT(first, JulianDate(TCalendarDate{2, 1, -4712}, 0.00L));
  EXPECT_GT(last, JulianDate(TCalendarDate{30, 12, 9999}, 0.00L));
}

TEST(ReferenceGridTest, SunAndMoonPositions) {
  TWorst sunL{"Sun L (rad)", AngleTol}, sunB{"Sun B (rad)", AngleTol},
      sunR{"Sun R (AU)", SunDistanceTol};
  TWorst moonL{"Moon Lambda (rad)", AngleTol}, moonB{"Moon Beta (rad)", AngleTol},
      moonR{"Moon R (Earth radii)", MoonDistanceTol};
  for (const TRow& row : Grid().Rows) {
    const long double T = JulianCenturies(row.JD);
    long double L, B, R;
    SunPosition(T, L, B, R);
    sunL.See(AngleDiff(L, row.Sun[0]), row.JD);
    sunB.See(std::fabs(B - row.Sun[1]), row.JD);
    sunR.See(std::fabs(R - row.Sun[2]), row.JD);
    MoonPosition(T, L, B, R);
    moonL.See(AngleDiff(L, row.Moon[0]), row.JD);
    moonB.See(std::fabs(B - row.Moon[1]), row.JD);
    moonR.See(std::fabs(R - row.Moon[2]), row.JD);
  }
  for (const TWorst* w : {&sunL, &sunB, &sunR, &moonL, &moonB, &moonR}) w->Check();
}

TEST(ReferenceGridTest, SkyInstantsOfFourPlaces) {
  TWorst worst[SkyValues] = {{"sidereal time", AngleTol}, {"Sun azimuth", AngleTol},
                             {"Sun altitude", AngleTol},  {"Moon azimuth", AngleTol},
                             {"Moon altitude", AngleTol}, {"phase angle", AngleTol}};
  TWorst positions{"Sun and Moon in the sky instant (rad, AU, Earth radii)", 0};
  const TGrid& grid = Grid();
  for (const TRow& row : grid.Rows) {
    for (size_t p = 0; p < grid.Places.size(); ++p) {
      const TSkyInstant s =
          ComputeSkyInstant(row.JD, grid.Places[p].Latitude, grid.Places[p].Longitude);
      const long double values[SkyValues] = {s.SiderealTime, s.SunAzimuth,   s.SunAltitude,
                                             s.MoonAzimuth,  s.MoonAltitude, s.PhaseAngle};
      const long double* expected = &row.Sky[p * SkyValues];
      for (int i = 0; i < SkyValues; ++i) {
        // Altitudes never wrap; a full turn between two of them is an error.
        const bool altitude = i == 2 || i == 4;
        worst[i].See(altitude ? std::fabs(values[i] - expected[i])
                              : AngleDiff(values[i], expected[i]),
                     row.JD);
      }
      // The sky instant must use the very positions the series give.
      long double L, B, R, Lambda, Beta, Rm;
      const long double T = JulianCenturies(row.JD);
      SunPosition(T, L, B, R);
      MoonPosition(T, Lambda, Beta, Rm);
      positions.See(std::fabs(s.SunLon - L) + std::fabs(s.SunLat - B) +
                        std::fabs(s.SunDistance - R) + std::fabs(s.MoonLon - Lambda) +
                        std::fabs(s.MoonLat - Beta) + std::fabs(s.MoonDistance - Rm),
                    row.JD);
    }
  }
  for (const TWorst& w : worst) w.Check();
  positions.Check();
}

} // namespace
