// The Earth model's costs: drawing the globe from the shipped coastlines with
// the grid (at every redraw of the outside view) and loading the coastlines
// (once per run).
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "Dateien.h"
#include "ErdmodulIntern.h"
#include "KernGraf.h"
#include "ViewGeometry.h"
#include "Zahlen.h"

namespace {

// Two views of the globe. The outside view's kind turns every point three
// times (the Earth's spin, the ecliptic's tilt, the perspective), recomputes
// its polar half and rounds half to even; the plain kind turns it once and
// rounds with lround, so that what remains is the drawing's own cost.
struct TBenchView {
  TMatrix Spin, Tilt, Perspective, Combined;
  long double Radius = 100;
} View;

TEarthVector Arranged(const TEarthVector& v) {
  return {v.Length, v.X, -v.Z, v.Y};
}

void OutsideToView(const TEarthPoint& p, TEarthPoint& q) {
  q.Vector = Arranged(p.Vector);
  RotateEarthVector(View.Spin, q.Vector);
  RotateEarthVector(View.Tilt, q.Vector);
  RotateEarthVector(View.Perspective, q.Vector);
  EarthVectorToPolar(q.Vector, q.Polar);
}
void OutsideProject(const TEarthPoint& p, int& x, int& y) {
  x = RoundEven(View.Radius * p.Vector.X + 960);
  y = RoundEven(540 - View.Radius * p.Vector.Z);
}

void PlainToView(const TEarthPoint& p, TEarthPoint& q) {
  q.Vector = Arranged(p.Vector);
  RotateEarthVector(View.Combined, q.Vector);
}
void PlainProject(const TEarthPoint& p, int& x, int& y) {
  x = static_cast<int>(std::lround(View.Radius * p.Vector.X + 960));
  y = static_cast<int>(std::lround(540 - View.Radius * p.Vector.Z));
}

bool FacingSide(const TEarthPoint& p) {
  return p.Vector.Y < 0 && p.Vector.X * p.Vector.X + p.Vector.Z * p.Vector.Z < 0.95f;
}
bool NothingSeen(const TEarthPoint&) {
  return false;
}

void Prepare(long double radius) {
  static bool prepared = false;
  View.Radius = radius;
  if (prepared) return;
  prepared = true;
  AttachScreen(1920, 1080);
  ResetPalette();
  SetDataFolders(std::string(LUNOTROP_SOURCE_DIR) + "/data");
  View.Spin = RotationY(0.4L);
  View.Tilt = RotationX(-23.5L * DegToRad);
  View.Perspective = RotationX(0.3L);
  View.Combined = MatrixProduct(View.Perspective, MatrixProduct(View.Tilt, View.Spin));
}

const TGlobeView OutsideKind{OutsideToView, FacingSide, OutsideProject};
const TGlobeView PlainKind{PlainToView, FacingSide, PlainProject};
const TGlobeView OutsideViewItself{GlobeToView, GlobeVisible, GlobeProject, GlobeAllHidden,
                                   GlobeToPixels};
const TGlobeView NothingSeenKind{OutsideToView, NothingSeen, OutsideProject};

// The outside view's drawing: coastlines 2 pixels wide on a large globe, the
// grid in black, no borders, no cities.
void Draw(const TGlobeView& view) {
  TGlobeStyle style;
  style.CoastColour = White;
  style.CoastWidth = View.Radius >= 300 ? 2 : 1;
  style.Grid = true;
  style.GridDegrees = 30;
  style.GridColour = Black;
  DrawGlobe(view, style);
}

void BM_DrawGlobe(benchmark::State& state) {
  Prepare(state.range(0));
  Draw(OutsideKind); // loads the coastlines, builds the grid
  for (auto _ : state) Draw(OutsideKind);
}
BENCHMARK(BM_DrawGlobe)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// The outside view's own routines, as every step of the animation calls them.
void BM_DrawGlobeOutsideView(benchmark::State& state) {
  Prepare(state.range(0));
  InitViewState();
  SetGlobeSpin(RotationY(0.4L));
  SetViewMatrix(RotationX(0.3L));
  ::View.EarthRadiusPx = static_cast<int32_t>(state.range(0));
  ::View.EarthCentreX = 960;
  ::View.EarthCentreY = 540;
  Draw(OutsideViewItself);
  for (auto _ : state) Draw(OutsideViewItself);
}
BENCHMARK(BM_DrawGlobeOutsideView)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

void BM_DrawGlobePlainView(benchmark::State& state) {
  Prepare(state.range(0));
  Draw(PlainKind);
  for (auto _ : state) Draw(PlainKind);
}
BENCHMARK(BM_DrawGlobePlainView)->Arg(100)->Arg(300)->Unit(benchmark::kMillisecond);

// Every point turned and tested, nothing drawn: the cost before the console.
void BM_DrawGlobeNothingSeen(benchmark::State& state) {
  Prepare(100);
  Draw(NothingSeenKind);
  for (auto _ : state) Draw(NothingSeenKind);
}
BENCHMARK(BM_DrawGlobeNothingSeen)->Unit(benchmark::kMillisecond);

void BM_LoadCoastlines(benchmark::State& state) {
  Prepare(100);
  for (auto _ : state) {
    ReleaseEarthModel();
    LoadCoastlines();
    benchmark::DoNotOptimize(EarthModel.Coastlines.data());
  }
  state.counters["segments"] = static_cast<double>(EarthModel.Coastlines.size());
}
BENCHMARK(BM_LoadCoastlines)->Unit(benchmark::kMillisecond);

} // namespace
