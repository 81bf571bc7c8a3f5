// Erdmodul: the Earth's outlines (coastlines, borders, cities) on the unit
// sphere, the data files they come from, and the drawing of the globe.
// The data readers do not use Qt; DrawGlobe draws through the console.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "Mathe.h"

struct TEarthVector {
  float Length = 0, X = 0, Y = 0, Z = 0;
};
struct TEarthPolar {
  float Lon = 0, Lat = 0, R = 0; // radians; note the order differs from TPolar
};
struct TEarthPoint {
  TEarthVector Vector;
  TEarthPolar Polar;
};
struct TSegment {
  int32_t Count = 0;
  std::vector<TEarthPoint> Points; // Count points
};

// The three view routines that DrawGlobe calls for every point.
using ToViewProc = void (*)(const TEarthPoint& P, TEarthPoint& Q);
using IsVisibleFunc = bool (*)(const TEarthPoint& P);
using ProjectProc = void (*)(const TEarthPoint& P, int& x, int& y);

// X, Y, Z from Lon, Lat and R (computed in extended precision, stored as
// single); Length := R.
void EarthPolarToVector(const TEarthPolar& P, TEarthVector& V);
// R := Length (copied); Lat from ArcTan2, so a pole gives exactly +-pi/2;
// Lon in [0, 2pi).
void EarthVectorToPolar(const TEarthVector& V, TEarthPolar& P);
// V := M V, each partial sum rounded to single precision; Length unchanged.
void RotateEarthVector(const TMatrix& M, TEarthVector& V);

// Draws the coastlines and, on request, the national borders
// ("grenze_1.bin"), a grid of latitude circles and meridians (built once,
// with the spacing of the first call that asks for it) and the cities.
// Loads the coastlines at the first call.
void DrawGlobe(ToViewProc ToView, ProjectProc Project, IsVisibleFunc IsVisible, int CoastColour,
               int CoastWidth, int BorderLineColour, bool DrawBorders, bool DrawGrid,
               bool DrawCityList, long double GridDegrees, int GridColour, int CityColour);

// Frees the coastlines, the grid and the cities and clears their flags, so
// the next drawing loads them again.
void ReleaseEarthModel();

// The module start: registers ReleaseEarthModel as an end-of-program routine
// of the console. DrawGlobe calls it at its first use, so the program need
// not; calling it again does nothing.
void StartErdmodul();

// Messages about missing Earth data ("... nicht gefunden !"). The handler
// shows the line and ends the program. Until one is set, the line goes to
// standard error and the program exits with status 1; DrawGlobe installs the
// console's version (WriteLine, wait for Enter, EndProgram(1)) at its first
// use unless the program has set one of its own. If a handler returns (as a
// test's may), the operation that gave the message gives up without data.
using EarthMessageHandler = void (*)(const std::string& line);
void SetEarthMessageHandler(EarthMessageHandler handler); // nullptr: back to the default
