// The Earth data files that ship in data/: they stay within the limits the
// program was built for, agree with each other, and put the continents
// where they belong.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "EarthTestFiles.h"
#include "ErdmodulIntern.h"

using namespace earthtest;

namespace {

const std::string DataFolder = std::string(LUNOTROP_SOURCE_DIR) + "/data/";

std::vector<uint8_t> Shipped(const std::string& name) {
  if (!std::filesystem::exists(DataFolder + name)) return {};
  return ReadBytes(DataFolder + name);
}

// True if some point of the table lies within the given distance (degrees
// along the surface) of (lon, lat).
bool PointNear(const std::vector<TSegment>& table, double lonDegrees, double latDegrees,
               double withinDegrees) {
  const TEarthPoint target = EarthPointAt(static_cast<float>(lonDegrees * DegToRad),
                                          static_cast<float>(latDegrees * DegToRad));
  const double cosLimit = std::cos(withinDegrees * DegToRad);
  for (const TSegment& s : table)
    for (const TEarthPoint& p : s.Points) {
      const double dot = double(p.Vector.X) * target.Vector.X +
                         double(p.Vector.Y) * target.Vector.Y +
                         double(p.Vector.Z) * target.Vector.Z;
      if (dot >= cosLimit) return true;
    }
  return false;
}

TEST(ShippedEarthData, CompactCoastlinesKeepToTheLimits) {
  const std::vector<uint8_t> bytes = Shipped("ERDE_0.BIN");
  if (bytes.empty()) GTEST_SKIP() << "data/ERDE_0.BIN is not there";
  // The file is whole: its headers and deltas add up to its size exactly.
  TOutlineFile file;
  file.Bytes = bytes;
  file.WordDeltas = true;
  int count = 0, segments = 0;
  float lon, lat;
  while (ReadSegmentHeader(file, count, lon, lat)) {
    EXPECT_EQ(ReadSegmentDeltas(file, count), count);
    ++segments;
  }
  EXPECT_EQ(file.Position, bytes.size());

  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, true, table);
  EXPECT_EQ(static_cast<int>(table.size()), segments);
  EXPECT_LE(table.size(), 701u);
  size_t points = 0;
  for (const TSegment& s : table) {
    EXPECT_LE(s.Count, 201);
    points += s.Points.size();
    for (const TEarthPoint& p : s.Points) {
      EXPECT_LE(std::fabs(p.Polar.Lat), Pi / 2 + 1e-6);
      EXPECT_GE(p.Polar.Lon, 0);
      EXPECT_LE(p.Polar.Lon, 2 * Pi + 1e-6);
    }
  }
  EXPECT_GT(points, 5000u);
}

TEST(ShippedEarthData, ContinentsWhereTheyBelong) {
  const std::vector<uint8_t> bytes = Shipped("ERDE_0.BIN");
  if (bytes.empty()) GTEST_SKIP() << "data/ERDE_0.BIN is not there";
  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, true, table);
  // Coasts (lon, lat in degrees) that a 0.1-degree outline passes closely.
  EXPECT_TRUE(PointNear(table, 12.1, 54.2, 0.5));    // Baltic coast by Rostock
  EXPECT_TRUE(PointNear(table, -5.6, 36.0, 0.5));    // Strait of Gibraltar
  EXPECT_TRUE(PointNear(table, -17.45, 14.7, 0.5));  // Dakar, west tip of Africa
  EXPECT_TRUE(PointNear(table, 18.47, -34.36, 0.5)); // Cape of Good Hope
  EXPECT_TRUE(PointNear(table, -67.3, -55.9, 0.7));  // Cape Horn
  EXPECT_TRUE(PointNear(table, 151.2, -33.9, 0.5));  // Sydney
  EXPECT_TRUE(PointNear(table, -74.0, 40.6, 0.7));   // New York
  // Not mirrored, and nothing inside the continents or far out at sea.
  EXPECT_FALSE(PointNear(table, -18.47, -34.36, 2.0)); // South Atlantic
  EXPECT_FALSE(PointNear(table, 12.0, 23.0, 3.0));     // Sahara
  EXPECT_FALSE(PointNear(table, 100.0, 62.0, 3.0));    // Siberia
  EXPECT_FALSE(PointNear(table, -30.0, 45.0, 3.0));    // North Atlantic
}

TEST(ShippedEarthData, BinaryAndTextCoastlinesAgree) {
  const std::vector<uint8_t> bin = Shipped("ERDE.BIN");
  const std::vector<uint8_t> text = Shipped("ECLGRAPH.DAT");
  if (bin.empty() || text.empty()) GTEST_SKIP() << "data/ERDE.BIN or ECLGRAPH.DAT is not there";
  std::vector<TSegment> fromBin, fromText;
  DecodeErdeBin(bin, fromBin);
  DecodeErdeBin(ConvertEclgraphText(std::string(text.begin(), text.end())), fromText);
  ASSERT_EQ(fromBin.size(), fromText.size());
  EXPECT_LE(fromBin.size(), 701u);
  for (size_t i = 0; i < fromBin.size(); ++i) {
    ASSERT_EQ(fromBin[i].Count, fromText[i].Count) << "segment " << i;
    EXPECT_LE(fromBin[i].Count, 201);
    for (int k = 0; k < fromBin[i].Count; ++k) {
      const TEarthPolar& a = fromBin[i].Points[k].Polar;
      const TEarthPolar& b = fromText[i].Points[k].Polar;
      ASSERT_LE(LonDifferenceDegrees(a.Lon, b.Lon), 0.03) << "segment " << i << " point " << k;
      ASSERT_LE(std::fabs(a.Lat - b.Lat) / DegToRad, 0.03) << "segment " << i << " point " << k;
    }
  }
  // The compact file holds the same coastlines.
  const std::vector<uint8_t> compact = Shipped("ERDE_0.BIN");
  if (compact.empty()) return;
  std::vector<TSegment> fromCompact;
  DecodeCompactCoastlines(compact, true, fromCompact);
  for (const TSegment& s : fromBin)
    EXPECT_TRUE(PointNear(fromCompact, s.Points[0].Polar.Lon / DegToRad,
                          s.Points[0].Polar.Lat / DegToRad, 0.05));
}

TEST(ShippedEarthData, BordersDecode) {
  const std::vector<uint8_t> bytes = Shipped("grenze_1.bin");
  if (bytes.empty()) GTEST_SKIP() << "data/grenze_1.bin is not there";
  ASSERT_FALSE(NameHasWordDeltas("grenze_1.bin"));
  TOutlineFile file;
  file.Bytes = bytes;
  int count = 0;
  float lon, lat;
  while (ReadSegmentHeader(file, count, lon, lat)) EXPECT_EQ(ReadSegmentDeltas(file, count), count);
  EXPECT_EQ(file.Position, bytes.size());

  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, false, table);
  EXPECT_GT(table.size(), 50u);
  for (const TSegment& s : table)
    for (const TEarthPoint& p : s.Points) EXPECT_LE(std::fabs(p.Polar.Lat), Pi / 2 + 1e-6);
  EXPECT_TRUE(PointNear(table, 7.8, 48.6, 0.5));   // the Rhine between Germany and France
  EXPECT_TRUE(PointNear(table, 8.6, 47.6, 0.5));   // Germany and Switzerland
  EXPECT_FALSE(PointNear(table, 20.0, 28.0, 1.0)); // no border in the Libyan desert
}

TEST(ShippedEarthData, CitiesDecode) {
  const std::vector<uint8_t> bytes = Shipped("CITY.DAT");
  if (bytes.empty()) GTEST_SKIP() << "data/CITY.DAT is not there";
  TSegment points;
  std::vector<std::string> names;
  DecodeCityText(std::string(bytes.begin(), bytes.end()), points, names);
  ASSERT_GT(names.size(), 10u);
  EXPECT_LE(names.size(), 199u);
  bool berlin = false;
  for (size_t i = 0; i < names.size(); ++i) {
    EXPECT_LE(std::fabs(points.Points[i].Polar.Lat), Pi / 2);
    if (names[i] == "Berlin") {
      berlin = true;
      EXPECT_NEAR(points.Points[i].Polar.Lat / DegToRad, 52.5, 0.2);
      EXPECT_NEAR(points.Points[i].Polar.Lon / DegToRad, 13.4, 0.2);
    }
  }
  EXPECT_TRUE(berlin);
}

} // namespace
