// Checks shared by the fuzz harnesses of the Earth data readers.
#pragma once

#include <cmath>
#include <vector>

#include "ErdmodulIntern.h"
#include "Require.h"

// Every stored point lies somewhere finite and its vector is on the unit sphere.
inline void RequireSoundTable(const std::vector<TSegment>& table) {
  for (const TSegment& segment : table) {
    Require(segment.Count > 0, "no segment is empty");
    Require(segment.Count == static_cast<int>(segment.Points.size()), "Count matches the points");
    for (const TEarthPoint& p : segment.Points) {
      Require(std::isfinite(p.Polar.Lon) && std::isfinite(p.Polar.Lat), "finite polar");
      const double r2 = double(p.Vector.X) * p.Vector.X + double(p.Vector.Y) * p.Vector.Y +
                        double(p.Vector.Z) * p.Vector.Z;
      Require(std::fabs(r2 - 1) < 1e-5, "unit vector");
    }
  }
}

inline long double WrapTurn(long double lon) {
  lon = std::fmod(lon, 2 * Pi);
  return lon < 0 ? lon + 2 * Pi : lon;
}

// How far apart two longitudes are, in degrees, the short way round; each
// is wrapped into one turn first, as the writer does.
inline long double LonDifferenceDegrees(long double a, long double b) {
  long double d = WrapTurn(a) - WrapTurn(b);
  if (d > Pi) d -= 2 * Pi;
  if (d < -Pi) d += 2 * Pi;
  return std::fabs(d) / DegToRad;
}

// Writing the table as "ERDE_0.BIN" and reading it back keeps every point
// (within 0.03 degrees, in order) and no written segment is longer than 201.
inline void RequireCompactRoundTrip(const std::vector<TSegment>& table) {
  std::vector<TSegment> decoded;
  DecodeCompactCoastlines(EncodeCompactCoastlines(table), true, decoded);
  RequireSoundTable(decoded);
  std::vector<TEarthPoint> all;
  for (const TSegment& segment : decoded) {
    Require(segment.Count <= 201, "written segments keep to 201 points");
    all.insert(all.end(), segment.Points.begin(), segment.Points.end());
  }
  size_t at = 0;
  for (const TSegment& segment : table) {
    for (const TEarthPoint& p : segment.Points) {
      Require(at < all.size(), "every point written");
      // Beyond the poles the writer clamps the latitude; such points only
      // have to keep their place in the sequence.
      const bool clamped = std::fabs(p.Polar.Lat) > Pi / 2;
      bool found = false;
      for (; at < all.size() && !found; ++at)
        found = clamped || (LonDifferenceDegrees(all[at].Polar.Lon, p.Polar.Lon) <= 0.03 &&
                            std::fabs(all[at].Polar.Lat - p.Polar.Lat) / DegToRad <= 0.03);
      Require(found, "written point decodes back within 0.03 degrees");
    }
  }
}
