// Erdmodul, the drawing side: the globe's coastlines, borders, grid and
// cities as polylines, pixels and texts on the console. The caller hands in
// how a point turns into its view, whether it is seen and where it lands.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "Dateien.h"
#include "ErdmodulIntern.h"
#include "FensterGraf.h"
#include "KernGraf.h"
#include "ModulGraf.h"

namespace {

const char* const BorderFile = "grenze_1.bin";

// Ten degrees: the step along every grid circle.
constexpr long double GridStep = 0.17453292519943295L;
// 2 pi as a single: the last point of every grid circle, on its first.
constexpr float FullTurn = 6.2831855f;
// A finer grid would only fill the disk; this also keeps the loops short.
constexpr long double FinestGridSpacing = 0.1L * DegToRad;

// Pixels that the view routines give may lie anywhere; differences and
// offsets are taken in 64 bits so that none overflows.
bool CloseEnough(int x, int y, int previousX, int previousY) {
  return std::llabs(static_cast<long long>(x) - previousX) < JumpLimit &&
         std::llabs(static_cast<long long>(y) - previousY) < JumpLimit;
}

// The joined points of a thin outline not yet drawn: they go to the console
// as one polyline, which sets the pixels of its lines one by one as DrawLine
// would, but without a call and a report for every point.
constexpr int ThinRunLength = 64;
// Points are projected in batches as long as a run, so that a run takes one call.
constexpr size_t PixelBatch = 32;

// The pen and the pixel of the point before, shared by the polyline drawings.
struct TPolylinePen {
  int X = 0, Y = 0;     // the previous pixel
  bool Visible = false; // the previous point was seen
  bool Moved = true;    // the pen got to (X, Y) by a move, not by a line
  // The arrays zero themselves when a pen is made, so one pen serves a whole
  // table of segments: made for every segment, it cost a tenth of the globe.
  TPoint Run[ThinRunLength];
  int RunCount = 0; // points in Run; the last one is (X, Y) if any
  // The projected points of a batch (DrawPoints).
  TSeenPixel Batch[PixelBatch];
};

// Draws the thin run in run[0 .. n - 1] and empties it.
inline void DrawRun(const TPoint* run, int& n, int colour) {
  if (n >= 2) DrawPolyline(n, run, colour);
  n = 0;
}

void DrawThinRun(TPolylinePen& pen, int colour) {
  DrawRun(pen.Run, pen.RunCount, colour);
}

// Adds (x, y) to the thin run in run[0 .. n - 1], which ends at (lastX,
// lastY): joined to it when join is set; else the run so far is drawn and a
// new one starts there. Inline, so that ThinPixels keeps n in a register.
[[gnu::always_inline]] inline void AddToRun(TPoint* run, int& n, int lastX, int lastY, int x, int y,
                                            bool join, int colour) {
  if (!join || n == ThinRunLength) {
    DrawRun(run, n, colour);
    if (join) run[n++] = TPoint{lastX, lastY}; // a full run goes on from its last point
  }
  // A point on the pixel before adds no line. Stored either way and counted
  // only if it adds one: whether it does is a coin toss for the branch
  // predictor.
  run[n] = TPoint{x, y};
  n += static_cast<int>(!join | (x != lastX) | (y != lastY));
}

void ThinLineOrMove(TPolylinePen& pen, int x, int y, bool join, int colour) {
  AddToRun(pen.Run, pen.RunCount, pen.X, pen.Y, x, y, join, colour);
}

// Draws to (x, y) from the previous point when join is set, else moves there.
// Seen from afar, many points of a coast fall on the pixel before them, and
// every line costs the console a painter of its own. So a wide line of no
// length is left out where it adds nothing (after a line it only covers
// that line's end once more, but for a corner pixel at most).
void LineOrMove(TPolylinePen& pen, int x, int y, bool join, int colour) {
  if (EarthModel.LineWidth <= 1) {
    ThinLineOrMove(pen, x, y, join, colour);
  } else if (!join) {
    PenMoveTo(x, y);
    pen.Moved = true;
  } else if (x == pen.X && y == pen.Y && !pen.Moved) {
    // nothing new to draw
  } else {
    PenLineTo(x, y, colour);
    pen.Moved = false;
  }
  pen.X = x;
  pen.Y = y;
}

// ThinLineOrMove for a batch of projected points, with the pen's place and
// run length in locals: through the pen itself, which the console calls can
// reach, every point cost loads and stores of them.
void ThinPixels(const TSeenPixel* pixels, size_t count, TPolylinePen& pen, int colour) {
  int x = pen.X, y = pen.Y, n = pen.RunCount;
  bool visible = pen.Visible;
  TPoint* const run = pen.Run;
  for (size_t k = 0; k < count; ++k) {
    const TSeenPixel& p = pixels[k];
    if (!p.Seen) {
      visible = false;
      continue;
    }
    AddToRun(run, n, x, y, p.X, p.Y, visible && CloseEnough(p.X, p.Y, x, y), colour);
    x = p.X;
    y = p.Y;
    visible = true;
  }
  pen.X = x;
  pen.Y = y;
  pen.RunCount = n;
  pen.Visible = visible;
}

// Draws what is left of a thin run and leaves the console's pen at the last
// point, where the moves and lines one by one would have left it.
void EndPolyline(TPolylinePen& pen, int colour) {
  DrawThinRun(pen, colour);
  PenMoveTo(pen.X, pen.Y);
}

// Every line width the drawing sets goes through here, so LineOrMove knows it.
void SetGlobeLineWidth(int width) {
  SetLineWidth(width);
  EarthModel.LineWidth = width;
}

int Shifted(int value, int offset) {
  const long long shifted = static_cast<long long>(value) + offset;
  if (shifted > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  if (shifted < std::numeric_limits<int>::min()) return std::numeric_limits<int>::min();
  return static_cast<int>(shifted);
}

// The angles along every grid circle: from 0 in steps of 10 degrees up to
// 2 pi, the last point on the first.
std::vector<float> GridAngles() {
  std::vector<float> angles;
  float lambda = 0;
  for (;;) {
    angles.push_back(lambda);
    if (lambda >= FullTurn) break;
    lambda = RoundToSingle(lambda + GridStep);
    // Thirty-six steps summed in single precision end a hair below 2 pi;
    // the step that comes within half a step of it closes the circle.
    if (lambda > 2 * Pi - GridStep / 2) lambda = FullTurn;
  }
  return angles;
}

TEarthPoint GridPoint(const TEarthVector& vector) {
  TEarthPoint p;
  p.Vector = vector;
  EarthVectorToPolar(p.Vector, p.Polar);
  return p;
}

void StoreGridLine(std::vector<TEarthPoint> points) {
  TSegment segment;
  segment.Count = static_cast<int32_t>(points.size());
  segment.Points = std::move(points);
  BoundSegment(segment);
  EarthModel.GridLines.push_back(std::move(segment));
}

void BuildLatitudeCircles(long double s) {
  const std::vector<float> angles = GridAngles();
  float phi = 0;
  while (phi - s > -Pi / 2) phi = RoundToSingle(phi - s);
  while (phi < Pi / 2) {
    const long double c = std::cos(static_cast<long double>(phi));
    const long double z = std::sin(static_cast<long double>(phi));
    std::vector<TEarthPoint> circle;
    for (const float lambda : angles) {
      const long double l = lambda;
      circle.push_back(GridPoint(
          {1, RoundToSingle(std::cos(l) * c), RoundToSingle(std::sin(l) * c), RoundToSingle(z)}));
    }
    StoreGridLine(std::move(circle));
    phi = RoundToSingle(phi + s);
  }
}

void BuildMeridians(long double s) {
  // A great circle through both poles and longitude 0, starting at the south
  // pole; each stored meridian is the one before turned by s about the axis.
  std::vector<TEarthPoint> meridian;
  for (const float lambda : GridAngles()) {
    const long double l = lambda;
    meridian.push_back(GridPoint({1, RoundToSingle(std::sin(l)), 0, RoundToSingle(-std::cos(l))}));
  }
  float theta = 0;
  while (theta - s >= -Pi / 2) theta = RoundToSingle(theta - s);
  const TMatrix first = RotationZ(theta - s);
  for (TEarthPoint& p : meridian) RotateEarthVector(first, p.Vector);
  const TMatrix step = RotationZ(s);
  do {
    for (TEarthPoint& p : meridian) {
      RotateEarthVector(step, p.Vector);
      EarthVectorToPolar(p.Vector, p.Polar);
    }
    StoreGridLine(meridian);
    theta = RoundToSingle(theta + s);
  } while (!(theta > s / 2 + Pi / 2));
}

} // namespace

void StartErdmodul() {
  if (EarthModel.Started) return;
  EarthModel.Started = true;
  AddExitRoutine(ReleaseEarthModel);
}

namespace {

// The points first .. end - 1 of a segment after its first point: each is
// joined to the one before when both are seen and close.
void DrawPoints(const std::vector<TEarthPoint>& points, size_t first, size_t end,
                const TGlobeView& view, TPolylinePen& pen, int colour) {
  if (view.ToPixels) {
    TSeenPixel* const pixels = pen.Batch;
    for (size_t start = first; start < end; start += PixelBatch) {
      const size_t count = std::min(PixelBatch, end - start);
      view.ToPixels(&points[start], count, pixels);
      if (EarthModel.LineWidth <= 1) {
        ThinPixels(pixels, count, pen, colour);
        continue;
      }
      for (size_t k = 0; k < count; ++k) {
        const TSeenPixel& p = pixels[k];
        if (!p.Seen) {
          pen.Visible = false;
          continue;
        }
        LineOrMove(pen, p.X, p.Y, pen.Visible && CloseEnough(p.X, p.Y, pen.X, pen.Y), colour);
        pen.Visible = true;
      }
    }
    return;
  }
  TEarthPoint seen;
  int x = 0, y = 0;
  for (size_t i = first; i < end; ++i) {
    view.ToView(points[i], seen);
    if (!view.IsVisible(seen)) {
      pen.Visible = false;
      continue;
    }
    view.Project(seen, x, y);
    LineOrMove(pen, x, y, pen.Visible && CloseEnough(x, y, pen.X, pen.Y), colour);
    pen.Visible = true;
  }
}

} // namespace

void DrawSegments(const std::vector<TSegment>& table, const TGlobeView& globeView, int colour) {
  // A copy of its own, which the view routines cannot change, so the loop
  // need not fetch them again for every point; fetched through the
  // reference, the globe took a fifth longer (bench_earth, BM_DrawGlobe).
  const TGlobeView view = globeView;
  TEarthPoint seen;
  TPolylinePen pen;
  for (const TSegment& segment : table) {
    if (segment.Points.empty()) continue;
    // The first point only places the pen, seen or not; the run of the
    // segment before was drawn by EndPolyline.
    view.ToView(segment.Points[0], seen);
    pen.Visible = view.IsVisible(seen);
    int x = 0, y = 0;
    view.Project(seen, x, y);
    LineOrMove(pen, x, y, false, colour);
    if (!view.AllHidden || segment.Runs.empty()) {
      DrawPoints(segment.Points, 1, segment.Points.size(), view, pen, colour);
      EndPolyline(pen, colour);
      continue;
    }
    // A run on the far side leaves only the pen up, as its points one by
    // one would. About half the globe's points are spared so.
    for (const TPointRun& run : segment.Runs) {
      view.ToView(run.Centre, seen);
      if (view.AllHidden(seen, run.Reach)) {
        pen.Visible = false;
        continue;
      }
      DrawPoints(segment.Points, std::max<size_t>(run.First, 1), run.First + run.Count, view, pen,
                 colour);
    }
    EndPolyline(pen, colour);
  }
}

void DrawOutlineFile(const std::string& name, const TGlobeView& view, int colour) {
  TOutlineFile file;
  file.WordDeltas = NameHasWordDeltas(name);
  const std::string path = EarthFile(name);
  if (file.WordDeltas && !FileIsReadable(path)) {
    LoadCoastlines();
    if (EarthModel.CoastlinesLoaded) WriteCompactCoastlines(EarthModel.Coastlines);
  }
  if (!FileIsReadable(path)) {
    EarthMessage(" \"" + name + "\" nicht gefunden ! \a");
    return;
  }
  std::string bytes;
  if (!ReadWholeFile(path, bytes).Ok) return;
  file.Bytes.assign(bytes.begin(), bytes.end());

  TPolylinePen pen;
  // Every point is projected; it is joined to the one before when both are
  // seen and close, unless it begins a new polyline.
  auto visit = [&](float lon, float lat, bool newLine) {
    TEarthPoint seen;
    view.ToView(EarthPointAt(lon, lat), seen);
    const bool visible = view.IsVisible(seen);
    int x = 0, y = 0;
    view.Project(seen, x, y);
    LineOrMove(pen, x, y, !newLine && pen.Visible && visible && CloseEnough(x, y, pen.X, pen.Y),
               colour);
    pen.Visible = visible;
  };

  int count = 0;
  float lon = 0, lat = 0;
  while (ReadSegmentHeader(file, count, lon, lat)) {
    // A header without the pen-up bit continues the line of the segment before.
    visit(lon, lat, file.PenUp);
    const int found = ReadSegmentDeltas(file, count);
    for (int k = 0; k < found; ++k) {
      long double dLon, dLat;
      DecodeDelta(file, k, dLon, dLat);
      lon = RoundToSingle(lon + dLon);
      lat = RoundToSingle(lat + dLat);
      visit(lon, lat, false);
    }
    if (found < count) break; // the file ends inside this segment
  }
  EndPolyline(pen, colour);
}

void BuildGrid(long double spacing) {
  EarthModel.GridLines.clear();
  EarthModel.GridSpacing = spacing;
  if (std::isfinite(spacing) && spacing > 0) {
    const long double s = std::max(spacing, FinestGridSpacing);
    EarthModel.GridSpacing = s;
    BuildLatitudeCircles(s);
    BuildMeridians(s);
  }
  EarthModel.GridBuilt = true;
}

void DrawCityDot(int x, int y, int colour) {
  for (int dx = -1; dx <= 1; ++dx)
    for (int dy = -1; dy <= 1; ++dy) PutPixel(Shifted(x, dx), Shifted(y, dy), colour);
}

void DrawCities(const TGlobeView& view, int colour) {
  // Names start 6 pixels right of the dot, centred on its row.
  SetTextJustify(0, 1);
  SetTextBackground(-1);
  const std::vector<TEarthPoint>& points = EarthModel.CityPoints.Points;
  for (size_t i = 0; i < points.size() && i < EarthModel.CityNames.size(); ++i) {
    TEarthPoint seen;
    view.ToView(points[i], seen);
    if (!view.IsVisible(seen)) continue;
    int x = 0, y = 0;
    view.Project(seen, x, y);
    DrawCityDot(x, y, colour);
    OutTextXY(Shifted(x, 6), y, EarthModel.CityNames[i], colour);
  }
  SetTextBackground(White);
}

void DrawGlobe(const TGlobeView& view, const TGlobeStyle& style) {
  if (!view.ToView || !view.IsVisible || !view.Project) return;

  LoadCoastlines();
  // Thousands of short lines and pixels, all on the disc: handed on to the
  // screen's damage records as one rectangle.
  const TDamageGroup drawnAsOne;
  SetGlobeLineWidth(style.CoastWidth);
  DrawSegments(EarthModel.Coastlines, view, style.CoastColour);
  SetGlobeLineWidth(1);

  if (style.Borders) DrawOutlineFile(BorderFile, view, style.BorderColour);
  if (style.Grid) {
    // The grid keeps the spacing of the first call that asked for it.
    if (!EarthModel.GridBuilt) BuildGrid(style.GridDegrees * Pi / 180);
    DrawSegments(EarthModel.GridLines, view, style.GridColour);
  }
  if (style.Cities) {
    LoadCities();
    DrawCities(view, style.CityColour);
  }
}
