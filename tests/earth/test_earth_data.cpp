// The Earth model's data files: what each reader makes of small files the
// tests write themselves, what the writers put on disk, and the order in
// which the coastline files are looked for.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "EarthTestFiles.h"
#include "ErdmodulIntern.h"

using namespace earthtest;

namespace {

const long double Degree = DegToRad;

class EarthData : public EarthFolderTest {};

// ---- point conversions ------------------------------------------------------------

TEST(EarthConversions, PolarVectorAndRotation) {
  const TEarthPolar polar{static_cast<float>(30 * Degree), static_cast<float>(60 * Degree), 1.0f};
  TEarthVector v;
  EarthPolarToVector(polar, v);
  EXPECT_EQ(v.Length, 1.0f);
  EXPECT_NEAR(v.X, 0.5 * std::cos(30 * Degree), 1e-7);
  EXPECT_NEAR(v.Y, 0.5 * std::sin(30 * Degree), 1e-7);
  EXPECT_NEAR(v.Z, std::sin(60 * Degree), 1e-7);
  TEarthPolar p;
  EarthVectorToPolar(v, p);
  EXPECT_NEAR(p.Lon, polar.Lon, 1e-6);
  EXPECT_NEAR(p.Lat, polar.Lat, 1e-6);
  // A pole gives exactly pi/2; western longitudes count on to 2 pi; the
  // length is copied, not recomputed.
  EarthVectorToPolar(TEarthVector{7, 0, 0, 1}, p);
  EXPECT_EQ(p.Lat, static_cast<float>(Pi / 2));
  EXPECT_EQ(p.R, 7.0f);
  EarthVectorToPolar(TEarthVector{1, 0, -1, 0}, p);
  EXPECT_FLOAT_EQ(p.Lon, static_cast<float>(3 * Pi / 2));
  EarthVectorToPolar(TEarthVector{1, 1, -1e-9f, 0}, p);
  EXPECT_EQ(p.Lon, 0.0f); // not 2 pi

  // 1 + 3e-8 rounds back to 1 in single precision, twice; summed at once the
  // 6e-8 would be more than half a step and give the next single above 1.
  TMatrix m = RotationZ(0);
  m.M[0][1] = m.M[0][2] = 3e-8L;
  TEarthVector w{5, 1, 1, 1};
  RotateEarthVector(m, w);
  EXPECT_EQ(w.X, 1.0f);
  EXPECT_EQ(w.Length, 5.0f);
  w = {1, 1, 0, 0};
  RotateEarthVector(RotationZ(Pi / 2), w);
  EXPECT_NEAR(w.X, 0, 1e-7);
  EXPECT_NEAR(w.Y, 1, 1e-7);
}

// ---- "ECLGRAPH.DAT" and "ERDE.BIN" --------------------------------------------------

TEST_F(EarthData, EclgraphIsConvertedIntoErdeBin) {
  WriteText("ECLGRAPH.DAT", "10\n20\n"
                            "12.5 the rest of the line is skipped\r\n21\n"
                            "905\n3\n"
                            "30\n-5\n"
                            "999\n999\n"
                            "40\n40\n");
  LoadCoastlines();
  ASSERT_TRUE(EarthModel.CoastlinesLoaded);
  ASSERT_TRUE(std::filesystem::exists("ERDE.BIN"));
  const std::vector<uint8_t> bin = ReadBytes("ERDE.BIN");
  ASSERT_EQ(bin.size(), 5u * 8);
  // Westward 10 is 350 degrees east.
  EXPECT_FLOAT_EQ(SingleAt(bin, 0), 6.1086526f);
  EXPECT_FLOAT_EQ(SingleAt(bin, 4), static_cast<float>(20 * Degree));
  EXPECT_FLOAT_EQ(SingleAt(bin, 8), static_cast<float>(347.5L * Degree));
  // A separator passes unconverted.
  EXPECT_FLOAT_EQ(SingleAt(bin, 16), 15.79523f);
  EXPECT_FLOAT_EQ(SingleAt(bin, 24), static_cast<float>(330 * Degree));
  // The end pair; nothing after the 999 pair is read.
  EXPECT_EQ(BitsAt(bin, 32), 0x418B7C99u);
  EXPECT_EQ(BitsAt(bin, 36), 0x418B7C99u);

  // The point after the last separator is dropped at the end pair.
  ASSERT_EQ(EarthModel.Coastlines.size(), 1u);
  const TSegment& s = EarthModel.Coastlines[0];
  ASSERT_EQ(s.Count, 2);
  EXPECT_FLOAT_EQ(s.Points[0].Polar.Lon, 6.1086526f);
  EXPECT_EQ(s.Points[0].Polar.R, 1.0f);
  EXPECT_NEAR(s.Points[0].Vector.Z, std::sin(20 * Degree), 1e-7);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EarthData, EclgraphWithoutEndPairKeepsItsLastSegment) {
  // Blank lines are passed over; a word that is not a number ends the data.
  const std::string text = "10\n\n20\n11\n21\n910\n0\n12\n22\n13\n23\nabc\n14\n24\n";
  WriteText("ECLGRAPH.DAT", text);
  const std::vector<uint8_t> bin = ConvertEclgraphText(text);
  // 2 points, separator, 2 points, closing separator, end pair.
  ASSERT_EQ(bin.size(), 7u * 8);
  EXPECT_GE(SingleAt(bin, 40), SeparatorLongitude);
  EXPECT_LT(SingleAt(bin, 40), EndLongitude);
  EXPECT_EQ(BitsAt(bin, 48), 0x418B7C99u);

  LoadCoastlines();
  ASSERT_EQ(EarthModel.Coastlines.size(), 2u);
  EXPECT_EQ(EarthModel.Coastlines[1].Count, 2);
  EXPECT_FLOAT_EQ(EarthModel.Coastlines[1].Points[1].Polar.Lon, static_cast<float>(347 * Degree));

  // Only a longitude at the end: no point, the separator closes what was there.
  EXPECT_EQ(ConvertEclgraphText("10\n20\n11\n").size(), 3u * 8);
  EXPECT_EQ(ConvertEclgraphText("").size(), 8u);
}

TEST_F(EarthData, ErdeBinSegmentsSeparatorsAndBadValues) {
  std::vector<uint8_t> bin;
  AppendPair(bin, 10, 50);
  AppendPair(bin, 11, 51);
  AppendPair(bin, 900, 0); // ends segment 1
  AppendPair(bin, 905, 0); // an empty segment is not stored
  AppendPair(bin, 20, 10);
  AppendSingle(bin, NAN); // a pair that is not a number is left out
  AppendSingle(bin, 0.5f);
  AppendSingle(bin, 0.3f);
  AppendSingle(bin, INFINITY);
  AppendPair(bin, 21, 11);
  AppendPair(bin, 989, 0); // ends segment 2
  AppendPair(bin, 30, 30); // dropped by the end pair
  AppendPair(bin, 999, 999);
  AppendPair(bin, 40, 40); // reading goes on after the end pair
  AppendPair(bin, 899.5, 0);
  AppendSingle(bin, 0.1f); // half a pair at the end is ignored

  std::vector<TSegment> table;
  DecodeErdeBin(bin, table);
  ASSERT_EQ(table.size(), 3u);
  EXPECT_EQ(table[0].Count, 2);
  ASSERT_EQ(table[1].Count, 2);
  EXPECT_FLOAT_EQ(table[1].Points[1].Polar.Lon, static_cast<float>(21 * Degree));
  EXPECT_EQ(table[2].Count, 1);
  for (const TSegment& s : table)
    for (const TEarthPoint& p : s.Points) EXPECT_TRUE(std::isfinite(p.Vector.X));
}

// ---- the search order --------------------------------------------------------------

TEST_F(EarthData, CompactFileComesFirst) {
  std::vector<uint8_t> compact = Header(LonCode(13), LatCode(52), 0);
  WriteBytes("ERDE_0.BIN", compact);
  WriteText("ERDE.BIN", "no coastlines here");
  WriteText("ECLGRAPH.DAT", "10\n20\n11\n21\n999\n999\n");
  LoadCoastlines();
  ASSERT_TRUE(EarthModel.CoastlinesLoaded);
  ASSERT_EQ(EarthModel.Coastlines.size(), 1u);
  EXPECT_EQ(EarthModel.Coastlines[0].Count, 1);
  EXPECT_NEAR(EarthModel.Coastlines[0].Points[0].Polar.Lat, 52 * Degree, 2e-4);
  EXPECT_EQ(ReadBytes("ERDE.BIN").size(), 18u); // untouched
}

TEST_F(EarthData, ErdeBinIsMadeOnceAndThenUsed) {
  WriteText("ECLGRAPH.DAT", "10\n20\n11\n21\n900\n0\n999\n999\n");
  LoadCoastlines();
  ASSERT_TRUE(std::filesystem::exists("ERDE.BIN"));
  EXPECT_FALSE(TemporaryFileLeft());
  EXPECT_EQ(EarthModel.Coastlines.size(), 1u);

  // A second load reads "ERDE.BIN"; the text is not converted again.
  ReleaseEarthModel();
  WriteText("ECLGRAPH.DAT", "999\n999\n");
  LoadCoastlines();
  ASSERT_EQ(EarthModel.Coastlines.size(), 1u);
  EXPECT_EQ(EarthModel.Coastlines[0].Count, 2);
}

TEST_F(EarthData, UnwritableErdeBinStillGivesCoastlines) {
  // "ERDE.BIN" cannot be created where a folder of that name stands.
  std::filesystem::create_directory("ERDE.BIN");
  WriteText("ECLGRAPH.DAT", "10\n20\n11\n21\n900\n0\n999\n999\n");
  LoadCoastlines();
  EXPECT_TRUE(Messages().empty());
  ASSERT_TRUE(EarthModel.CoastlinesLoaded);
  EXPECT_EQ(EarthModel.Coastlines.size(), 1u);
  EXPECT_TRUE(std::filesystem::is_directory("ERDE.BIN"));
  EXPECT_FALSE(TemporaryFileLeft());
}

TEST_F(EarthData, NoCoastlineFileGivesTheMessage) {
  LoadCoastlines();
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0],
            " Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" gefunden ! \a");
  EXPECT_FALSE(EarthModel.CoastlinesLoaded);
}

TEST_F(EarthData, DefaultMessageGoesToStandardErrorAndLoadingGivesUp) {
  SetEarthMessageHandler(nullptr);
  testing::internal::CaptureStderr();
  LoadCoastlines();
  TOutlineFile file;
  file.Bytes.assign(4000, 0);
  EXPECT_EQ(ReadSegmentDeltas(file, 1024), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "lunotrop: Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" gefunden !\n"
            "lunotrop: n zu groß : 1024\n");
  EXPECT_FALSE(EarthModel.CoastlinesLoaded);
  EXPECT_TRUE(EarthModel.Coastlines.empty());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(EarthData, AllEarthDataComesFromOneFolder) {
  namespace fs = std::filesystem;
  // The installed data: one segment.
  fs::create_directory("shipped");
  WriteText("shipped/ECLGRAPH.DAT", "10\n20\n900\n0\n999\n999\n");
  SetDataFolders((Folder / "shipped").string());

  // An empty working folder: the installed data, converted beside its source.
  EXPECT_EQ(EarthDataFolder(), (Folder / "shipped").string());
  LoadCoastlines();
  EXPECT_EQ(EarthModel.Coastlines.size(), 1u);
  EXPECT_TRUE(fs::exists("shipped/ERDE.BIN"));
  EXPECT_FALSE(fs::exists("ERDE.BIN"));

  // A teacher's own coastlines in the working folder (two segments) are
  // converted and drawn, although the installed data has a binary file.
  ReleaseEarthModel();
  WriteText("eclgraph.dat", "10\n20\n900\n0\n30\n40\n900\n0\n999\n999\n");
  EXPECT_EQ(EarthDataFolder(), "");
  LoadCoastlines();
  EXPECT_EQ(EarthModel.Coastlines.size(), 2u);
  EXPECT_TRUE(fs::exists("ERDE.BIN"));

  // A working folder with cities only is the Earth data folder all the same:
  // the coastlines are missing there, and that is said.
  ReleaseEarthModel();
  fs::remove("eclgraph.dat");
  fs::remove("ERDE.BIN");
  WriteText("CITY.DAT", "%\nName,Breite,Länge\nKiel,54.3,10.1\n");
  EXPECT_EQ(EarthDataFolder(), "");
  SetEarthMessageHandler(nullptr);
  testing::internal::CaptureStderr();
  LoadCoastlines();
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(EarthModel.Coastlines.empty());
  EXPECT_NE(err.find("gefunden"), std::string::npos) << err;
  SetDataFolders("");
}

// ---- compact files -------------------------------------------------------------------

TEST(CompactFormat, HeaderFields) {
  TOutlineFile file;
  file.Bytes = {0x9F, 0xFF, 0xC0 | 0x1F, 0xFF, 0xFF};
  file.WordDeltas = true;
  int count = 0;
  float lon = 0, lat = 0;
  ASSERT_TRUE(ReadSegmentHeader(file, count, lon, lat));
  EXPECT_TRUE(file.PenUp);
  EXPECT_EQ(count, 1023);
  EXPECT_FLOAT_EQ(lon, static_cast<float>(2 * Pi));
  EXPECT_FLOAT_EQ(lat, static_cast<float>(Pi / 2));

  // One-byte files count the longitude from -pi; bits 6 and 5 are ignored.
  file.Bytes = {0x1F | 0x60, 0xFF, 0x20, 0x00, 0x00};
  file.Position = 0;
  file.WordDeltas = false;
  ASSERT_TRUE(ReadSegmentHeader(file, count, lon, lat));
  EXPECT_FALSE(file.PenUp);
  EXPECT_EQ(count, 0);
  EXPECT_FLOAT_EQ(lon, static_cast<float>(Pi));
  EXPECT_FLOAT_EQ(lat, static_cast<float>(-Pi / 2));

  // Fewer than 5 bytes end the file.
  file.Bytes = {0x80, 0, 0, 0};
  file.Position = 0;
  EXPECT_FALSE(ReadSegmentHeader(file, count, lon, lat));
  EXPECT_TRUE(AtEndOfFile(file));
}

TEST(CompactFormat, DeltaDecoding) {
  long double dLon, dLat;
  // Bytes 0x05, 0x72: L = 5, G = 114.
  DecodeWordDelta(0x7205, dLon, dLat);
  EXPECT_NEAR(dLon / Degree, 0.0104, 0.0005);
  EXPECT_NEAR(dLon, 114 * DeltaUnit - 5 * Degree, 1e-15);
  EXPECT_NEAR(dLat / Degree, -2.18, 0.005);
  EXPECT_NEAR(dLat, 5 * DeltaUnit - 2.4L * Degree, 1e-15);
  // A nibble pair of 7 moves the point: the offset is 7.4.
  DecodeNibbleDelta(0x77, dLon, dLat);
  EXPECT_NEAR(dLon, -0.4L * 2 * DeltaUnit, 1e-15);
  EXPECT_NEAR(dLat, -0.4L * DeltaUnit, 1e-15);
  DecodeNibbleDelta(0xF0, dLon, dLat);
  EXPECT_NEAR(dLon, 7.6L * 2 * DeltaUnit, 1e-15);
  EXPECT_NEAR(dLat, -7.4L * DeltaUnit, 1e-15);
}

TEST(CompactFormat, SegmentsWithDeltas) {
  std::vector<uint8_t> bytes = Header(LonCode(10), LatCode(40), 0);
  Append(bytes, Header(LonCode(359.99), LatCode(0), 2));
  Append(bytes, {0x05, 0x72, 0x37, 0x80}); // +0.01 lon, then about +0.63 lon, crossing 360
  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, true, table);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Count, 1); // count 0: one point
  ASSERT_EQ(table[1].Count, 3);
  long double dLon, dLat;
  DecodeWordDelta(0x7205, dLon, dLat);
  EXPECT_NEAR(table[1].Points[1].Polar.Lat, table[1].Points[0].Polar.Lat + dLat, 1e-6);
  // The stored longitude is brought back into range after passing 2 pi.
  EXPECT_GE(table[1].Points[2].Polar.Lon, 0);
  EXPECT_LT(table[1].Points[2].Polar.Lon, 1 * Degree);

  // The same bytes as one-byte deltas: four deltas of a nibble each.
  bytes = Header(4096, 4096, 2);
  Append(bytes, {0x77, 0xF8});
  DecodeCompactCoastlines(bytes, false, table);
  ASSERT_EQ(table.size(), 1u);
  ASSERT_EQ(table[0].Count, 3);
  EXPECT_NEAR(table[0].Points[0].Polar.Lon, 4096 * DeltaUnit - Pi, 1e-6);
  EXPECT_NEAR(table[0].Points[1].Polar.Lat - table[0].Points[0].Polar.Lat, -0.4 * DeltaUnit, 1e-6);
}

TEST(CompactFormat, LongSegmentsLoadWhole) {
  std::vector<uint8_t> bytes = Header(LonCode(100), LatCode(-40), 1023);
  for (int k = 0; k < 1023; ++k) Append(bytes, {0x37, 0x72}); // about +0.01 lon, 0 lat
  Append(bytes, Header(LonCode(0), LatCode(0), 300));
  for (int k = 0; k < 300; ++k) Append(bytes, {0x37, 0x72});
  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, true, table);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Count, 1024);
  EXPECT_EQ(table[0].Points.size(), 1024u);
  EXPECT_EQ(table[1].Count, 301);
}

TEST(CompactFormat, CutFileEndsWithWhatWasRead) {
  std::vector<uint8_t> first = Header(LonCode(20), LatCode(10), 3);
  Append(first, {0x37, 0x72, 0x37, 0x72, 0x37, 0x72});
  // A second segment whose deltas stop after one and a half.
  std::vector<uint8_t> bytes = first;
  Append(bytes, Header(LonCode(50), LatCode(10), 3));
  Append(bytes, {0x37, 0x72, 0x37});
  std::vector<TSegment> table;
  DecodeCompactCoastlines(bytes, true, table);
  ASSERT_EQ(table.size(), 2u);
  EXPECT_EQ(table[0].Count, 4);
  // The missing deltas are not made up from the segment before.
  EXPECT_EQ(table[1].Count, 2);

  // A header cut short adds nothing.
  bytes = first;
  Append(bytes, {0x80, 0x10, 0x10});
  DecodeCompactCoastlines(bytes, true, table);
  EXPECT_EQ(table.size(), 1u);
}

TEST_F(EarthData, OversizedDeltaCountIsReported) {
  TOutlineFile file;
  file.Bytes.assign(4000, 0);
  file.WordDeltas = true;
  EXPECT_EQ(ReadSegmentDeltas(file, 1024), 0);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "\a n zu groß : 1024");
  EXPECT_EQ(ReadSegmentDeltas(file, 1023), 1023);
}

// ---- writing "ERDE_0.BIN" --------------------------------------------------------------

// Every point of the original lines must come back, in order, within
// tolerance; the decoded lines may carry extra points between them.
void ExpectSameOutlines(const std::vector<TSegment>& original, const std::vector<TSegment>& decoded,
                        long double toleranceDegrees) {
  std::vector<TEarthPoint> all;
  for (const TSegment& s : decoded) {
    EXPECT_LE(s.Count, 201);
    all.insert(all.end(), s.Points.begin(), s.Points.end());
  }
  size_t at = 0;
  for (const TSegment& s : original) {
    for (const TEarthPoint& p : s.Points) {
      bool found = false;
      for (; at < all.size() && !found; ++at) {
        found = LonDifferenceDegrees(all[at].Polar.Lon, p.Polar.Lon) <= toleranceDegrees &&
                std::fabs(all[at].Polar.Lat - p.Polar.Lat) / DegToRad <= toleranceDegrees;
      }
      ASSERT_TRUE(found) << "point " << p.Polar.Lon / DegToRad << ", " << p.Polar.Lat / DegToRad;
    }
  }
}

TEST_F(EarthData, WrittenCompactFileDecodesBack) {
  std::vector<TSegment> table;
  table.push_back(Line({{10, 50}, {10.3, 50.1}, {10.31, 50.12}, {9.5, 49}}));
  // Steps far beyond one delta, across the date line and near a pole.
  table.push_back(Line({{170, -10}, {-170, -12}, {-150, 30}, {160, 89.9}, {20, 89.95}}));
  table.push_back(Line({{0, 0}}));
  // A long, fine line: the rounding must not add up along it.
  std::vector<std::pair<double, double>> wavy;
  for (int k = 0; k < 700; ++k) wavy.push_back({k * 0.0371, 30 + 0.3 * std::sin(k * 0.1)});
  table.push_back(Line(wavy));

  ASSERT_TRUE(WriteCompactCoastlines(table));
  EXPECT_FALSE(TemporaryFileLeft());
  const std::vector<uint8_t> bytes = ReadBytes("ERDE_0.BIN");
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes[0] & 0x80, 0x80); // the pen-up bit is always set
  std::vector<TSegment> decoded;
  DecodeCompactCoastlines(bytes, true, decoded);
  ExpectSameOutlines(table, decoded, 0.03L);
  EXPECT_GE(decoded.size(), table.size() + 3); // the 700 points take four segments

  // The loader reads the same file.
  LoadCoastlines();
  EXPECT_EQ(EarthModel.Coastlines.size(), decoded.size());

  // Points that are not numbers and empty segments are left out.
  TSegment gap = Line({{10, 10}, {11, 11}});
  gap.Points.insert(gap.Points.begin() + 1, EarthPointAt(NAN, 0.1f));
  DecodeCompactCoastlines(EncodeCompactCoastlines({gap, TSegment()}), true, decoded);
  ASSERT_EQ(decoded.size(), 1u);
  ExpectSameOutlines({Line({{10, 10}, {11, 11}})}, decoded, 0.03L);
}

// ---- "CITY.DAT" --------------------------------------------------------------------------

TEST_F(EarthData, CityListLimitsAndFields) {
  std::string text = "% cities of the world\n%second comment\nName,Breite,Laenge\n";
  text += "Z\xFCrich,47.37,8.54\r\n";
  text += "Abcdefghijklmnopqrstuvwxy,-33.9,151.2\n"; // 25 characters
  text += "no commas here\n";
  text += "Nowhere,north,10\n";
  text += "Halfway,10\n";
  for (int i = 0; i < 250; ++i) text += "Stadt" + std::to_string(i) + ", 1.5 ,2.5\n";
  WriteText("CITY.DAT", text);
  LoadCities();
  ASSERT_TRUE(EarthModel.CitiesLoaded);
  ASSERT_EQ(EarthModel.CityNames.size(), 199u);
  EXPECT_EQ(EarthModel.CityPoints.Count, 199);
  EXPECT_EQ(EarthModel.CityNames[0], "Zürich");
  EXPECT_NEAR(EarthModel.CityPoints.Points[0].Polar.Lat, 47.37 * Degree, 1e-6);
  EXPECT_NEAR(EarthModel.CityPoints.Points[0].Polar.Lon, 8.54 * Degree, 1e-6);
  EXPECT_EQ(EarthModel.CityNames[1], "Abcdefghijklmnopqrst");
  EXPECT_NEAR(EarthModel.CityPoints.Points[1].Polar.Lon, 151.2 * Degree, 1e-6);
  EXPECT_EQ(EarthModel.CityNames[2], "Stadt0");
  EXPECT_EQ(EarthModel.CityNames[198], "Stadt196");
  EXPECT_NEAR(EarthModel.CityPoints.Points[2].Vector.Z, std::sin(1.5 * Degree), 1e-7);
}

TEST_F(EarthData, CityListWithoutCommentsOrFile) {
  // Missing: no cities, no message, and asked again next time.
  LoadCities();
  EXPECT_FALSE(EarthModel.CitiesLoaded);
  EXPECT_TRUE(Messages().empty());
  // Without comments the first line is still taken for a heading; a DOS
  // end-of-file mark ends the last line.
  WriteText("CITY.DAT", "Berlin,52.5,13.4\nParis,48.9,2.35\x1A");
  LoadCities();
  EXPECT_TRUE(EarthModel.CitiesLoaded);
  ASSERT_EQ(EarthModel.CityNames.size(), 1u);
  EXPECT_EQ(EarthModel.CityNames[0], "Paris");
}

TEST_F(EarthData, ReleaseEmptiesTheTables) {
  WriteBytes("ERDE_0.BIN", Header(LonCode(13), LatCode(52), 0));
  WriteText("CITY.DAT", "Name\nRom,41.9,12.5\n");
  LoadCoastlines();
  LoadCities();
  ReleaseEarthModel();
  EXPECT_FALSE(EarthModel.CoastlinesLoaded);
  EXPECT_FALSE(EarthModel.CitiesLoaded);
  EXPECT_TRUE(EarthModel.Coastlines.empty());
  EXPECT_TRUE(EarthModel.CityNames.empty());
  EXPECT_EQ(EarthModel.CityPoints.Count, 0);
}

} // namespace
