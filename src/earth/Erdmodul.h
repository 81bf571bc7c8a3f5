// Erdmodul: the Earth's outlines (coastlines, borders, cities) on the unit
// sphere, the data files they come from, and the drawing of the globe.
// The data readers do not use Qt; DrawGlobe draws through the console.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "KernGraf.h"
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
// A run of a segment's points and a ball round them: every point of the
// run lies within Reach of Centre (a mean of the run, not on the sphere).
struct TPointRun {
  size_t First = 0, Count = 0;
  TEarthPoint Centre;
  float Reach = 0;
};
struct TSegment {
  int32_t Count = 0;
  std::vector<TEarthPoint> Points; // Count points
  std::vector<TPointRun> Runs;     // from BoundSegment; none: no run is ever left out
};

// Splits the points into runs of a few dozen and bounds each by a ball.
void BoundSegment(TSegment& segment);

// The view routines that DrawGlobe calls for every point.
using ToViewProc = void (*)(const TEarthPoint& P, TEarthPoint& Q);
using IsVisibleFunc = bool (*)(const TEarthPoint& P);
using ProjectProc = void (*)(const TEarthPoint& P, int& x, int& y);
// True only if no view-frame point within reach of centre is seen.
using AllHiddenFunc = bool (*)(const TEarthPoint& centre, float reach);
// A point as the view shows it: its pixel, if it is seen at all.
struct TSeenPixel {
  int X = 0, Y = 0;
  bool Seen = false;
};
// ToView, IsVisible and Project for count points at once, with their results.
using ToPixelsProc = void (*)(const TEarthPoint* points, size_t count, TSeenPixel* pixels);

// How the caller sees the globe: ToView turns an Earth point into the
// view's frame, IsVisible tells whether a view-frame point is seen (only
// its vector is read), Project gives its pixel. AllHidden and ToPixels may
// be left out. AllHidden spares the far side's runs of points one by one
// (ToView must then keep distances, as a turn does); ToPixels spares three
// calls for every point. The Earth model keeps none of them; every drawing
// uses the view it is handed.
struct TGlobeView {
  ToViewProc ToView = nullptr;
  IsVisibleFunc IsVisible = nullptr;
  ProjectProc Project = nullptr;
  AllHiddenFunc AllHidden = nullptr;
  ToPixelsProc ToPixels = nullptr;
};

// What DrawGlobe draws and in which colours (the console's colour indices);
// the defaults draw white coastlines one pixel wide and nothing else.
struct TGlobeStyle {
  int CoastColour = White;
  int CoastWidth = 1; // pixels
  int BorderColour = White;
  bool Borders = false; // the national borders of "grenze_1.bin"
  bool Grid = false;    // latitude circles and meridians
  bool Cities = false;  // the dots and names of "CITY.DAT"
  // The grid's spacing. The grid is built once, with the spacing of the
  // first drawing that asks for it; later drawings keep that grid.
  long double GridDegrees = 30;
  int GridColour = Black;
  int CityColour = LightRed;
};

// X, Y, Z from Lon, Lat and R (computed in extended precision, stored as
// single); Length := R.
void EarthPolarToVector(const TEarthPolar& P, TEarthVector& V);
// R := Length (copied); Lat from ArcTan2, so a pole gives exactly +-pi/2;
// Lon in [0, 2pi).
void EarthVectorToPolar(const TEarthVector& V, TEarthPolar& P);
// V := M V, each partial sum rounded to single precision; Length unchanged.
void RotateEarthVector(const TMatrix& M, TEarthVector& V);

// Draws the coastlines and, as the style asks, the national borders, the
// grid and the cities, through the given view. Loads the coastlines at the
// first call (the cities at the first call that asks for them); the borders
// are read from their file at every call that asks for them. Nothing is
// drawn if one of the view's routines is missing.
void DrawGlobe(const TGlobeView& view, const TGlobeStyle& style);

// The module start, once at program start: registers ReleaseEarthModel as
// an end-of-program routine of the console. Calling it again does nothing.
void StartErdmodul();

// The one folder the Earth data comes from: the current folder if it holds
// any Earth data file ("ERDE_0.BIN", "ERDE.BIN", "ECLGRAPH.DAT",
// "grenze_1.bin", "CITY.DAT"), else the first data folder that does (the
// installed data), else the current folder. "" stands for the current
// folder. A teacher's own files in the working folder are never mixed with
// the installed ones.
std::string EarthDataFolder();
// The name of an Earth data file in that folder.
std::string EarthFile(const std::string& name);

// Frees the coastlines, the grid and the cities and clears their flags, so
// the next drawing loads them again.
void ReleaseEarthModel();

// Messages about missing or damaged Earth data: one German line that holds
// the bell character for the console ("... nicht gefunden ! \a").
// After the handler returns, the operation that gave the message gives up
// without data: nothing of it is drawn, and the next drawing tries again.
// Until the program sets a handler of its own (the interactive program
// shows the line, waits for Enter and ends), ReportEarthMessage is used.
using EarthMessageHandler = void (*)(const std::string& line);
void SetEarthMessageHandler(EarthMessageHandler handler); // nullptr: back to the default
// The default handler: the line without its bell character and the blanks
// around it, through ReportProblem ("lunotrop: ..." on standard error).
void ReportEarthMessage(const std::string& line);
