// The inside of Erdmodul: the module state, the decoders of the data files
// (which work on bytes in memory, so tests and fuzzers can call them without
// files) and the steps of the globe drawing. Only Erdmodul's own sources,
// its tests, its fuzzers and its benchmark include this header.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "Erdmodul.h"

// ---- units and marks of the files --------------------------------------------

// The step of the compact files' codes: a full turn in 8191 steps.
constexpr long double DeltaUnit = 2 * Pi / 8191;
// In "ERDE.BIN" a longitude from 899 degrees on ends a segment; from 990
// degrees on it ends the data.
constexpr long double SeparatorLongitude = 899 * DegToRad;
constexpr long double EndLongitude = 990 * DegToRad;
// The end pair "ERDE.BIN" is closed with: 999 degrees in radians as a single
// (bit pattern 418B7C99).
constexpr float EndMark = 17.435839f;
// The two-byte deltas are offset by 5 degrees in longitude and 2.4 in latitude.
constexpr long double WordDeltaLonOffset = 5 * DegToRad;
constexpr long double WordDeltaLatOffset = 2.4L * DegToRad;
// At most this many deltas follow one compact header (a 10-bit count).
constexpr int MaxSegmentDeltas = 1023;
// At most this many cities are read from "CITY.DAT", names keep 20 characters.
constexpr int MaxCities = 199;
constexpr size_t MaxCityNameLength = 20;
// Two projected points are joined only if they are closer than this in x and y.
constexpr int JumpLimit = 200;

// ---- module state --------------------------------------------------------------

struct TEarthModel {
  // Coastlines, one polyline per segment, loaded at the first drawing.
  std::vector<TSegment> Coastlines;
  bool CoastlinesLoaded = false;
  // The coordinate grid, built at the first drawing that asks for it.
  std::vector<TSegment> GridLines;
  bool GridBuilt = false;
  long double GridSpacing = 0;
  // Cities: one point and one name (UTF-8) each.
  TSegment CityPoints;
  std::vector<std::string> CityNames;
  bool CitiesLoaded = false;
  // The line width the drawing set last (1 until DrawGlobe sets one).
  int LineWidth = 1;
  // Where messages go (nullptr: ReportEarthMessage).
  EarthMessageHandler MessageHandler = nullptr;
  // StartErdmodul has run.
  bool Started = false;
};
extern TEarthModel EarthModel;

// Rounds to single precision; values beyond its range become infinite
// (stated here rather than left to the conversion).
float RoundToSingle(long double value);
// The point (Lon, Lat) on the unit sphere with its vector.
TEarthPoint EarthPointAt(float lon, float lat);

// Hands a message line to the handler of SetEarthMessageHandler.
void EarthMessage(const std::string& line);

// ---- compact outline files ("ERDE_0.BIN", "grenze_1.bin") -----------------------

// A compact file read whole, with the reading position and what the last
// header and delta reads found.
struct TOutlineFile {
  std::vector<uint8_t> Bytes;
  size_t Position = 0;
  bool WordDeltas = false; // two-byte deltas (the name contains "_0")
  bool PenUp = false;      // bit 7 of the header read last
  const uint8_t* Deltas = nullptr;
  int DeltaCount = 0; // whole deltas found by the last ReadSegmentDeltas
};

bool NameHasWordDeltas(const std::string& name);
bool AtEndOfFile(const TOutlineFile& file);
// Decodes the next 5-byte header; false (and nothing read) if fewer than 5
// bytes are left, which ends the file.
bool ReadSegmentHeader(TOutlineFile& file, int& count, float& lon, float& lat);
// Takes the next count deltas. A file that ends early gives fewer; the
// number found is returned and kept in file.DeltaCount. A count above 1023
// is reported (" n zu groß : ") and gives none.
int ReadSegmentDeltas(TOutlineFile& file, int count);
void DecodeWordDelta(uint16_t word, long double& dLon, long double& dLat);
void DecodeNibbleDelta(uint8_t byte, long double& dLon, long double& dLat);
// Delta k (0-based) of those taken by the last ReadSegmentDeltas.
void DecodeDelta(const TOutlineFile& file, int k, long double& dLon, long double& dLat);

// The whole compact coastline table, every segment a polyline of its own.
void DecodeCompactCoastlines(const std::vector<uint8_t>& bytes, bool wordDeltas,
                             std::vector<TSegment>& table);
// The table as a compact file with two-byte deltas.
std::vector<uint8_t> EncodeCompactCoastlines(const std::vector<TSegment>& table);

// ---- "ERDE.BIN" and "ECLGRAPH.DAT" ---------------------------------------------

void DecodeErdeBin(const std::vector<uint8_t>& bytes, std::vector<TSegment>& table);
// The contents of "ERDE.BIN" made from the text of "ECLGRAPH.DAT".
std::vector<uint8_t> ConvertEclgraphText(const std::string& text);

// ---- "CITY.DAT" ------------------------------------------------------------------

void DecodeCityText(const std::string& text, TSegment& points, std::vector<std::string>& names);

// ---- the files (read and written through Dateien) ----------------------------------

void LoadCoastlines();
void LoadCompactCoastlines();
// Writes "ERDE.BIN" from "ECLGRAPH.DAT". Returns false if "ECLGRAPH.DAT"
// cannot be read; the converted contents are left in erdeBin either way,
// so they can be used when "ERDE.BIN" cannot be written.
bool ConvertEclgraphFile(std::vector<uint8_t>& erdeBin);
void LoadCities();
// Writes the table as "ERDE_0.BIN"; false if it could not be written.
bool WriteCompactCoastlines(const std::vector<TSegment>& table);

// ---- drawing (ErdmodulGlobus.cpp) --------------------------------------------------

void DrawSegments(const std::vector<TSegment>& table, const TGlobeView& view, int colour);
// Draws a compact outline file straight from disk, read afresh at every call.
void DrawOutlineFile(const std::string& name, const TGlobeView& view, int colour);
void BuildGrid(long double spacing);
void DrawCities(const TGlobeView& view, int colour);
void DrawCityDot(int x, int y, int colour);
