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

void EarthPolarToVector(const TEarthPolar& P, TEarthVector& V);
void EarthVectorToPolar(const TEarthVector& V, TEarthPolar& P);
void RotateEarthVector(const TMatrix& M, TEarthVector& V);

void DrawGlobe(ToViewProc ToView, ProjectProc Project, IsVisibleFunc IsVisible, int CoastColour,
               int CoastWidth, int BorderLineColour, bool DrawBorders, bool DrawGrid,
               bool DrawCityList, long double GridDegrees, int GridColour, int CityColour);

void ReleaseEarthModel();
