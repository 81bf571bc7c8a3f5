// The console's drawing on a 1920x1080 framebuffer without a window: what
// one animation step of the views costs in lines, picture copies, half
// ellipses and texts.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>

#include "Kern2Graf.h"
#include "KernGraf.h"
#include "KernGrafIntern.h"
#include "ModulGraf.h"

namespace {

void PrepareScreen() {
  SetScreenSize(1920, 1080);
  AttachScreen(1920, 1080);
  StartKernGraf();
  ResetPalette();
  SetFont("Courier", 10, 0);
  ClearScreen();
}

// 5000 connected lines of width 2, like a globe's coastlines.
void BM_ConnectedLines(benchmark::State& state) {
  PrepareScreen();
  SetLineWidth(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    PenMoveTo(960, 540);
    for (int i = 0; i < 5000; ++i) {
      const int x = 200 + (i * 37) % 1500;
      const int y = 100 + (i * 53) % 880;
      PenLineTo(x, y, i % 2 == 0 ? LightBlue : Green);
    }
  }
  SetLineWidth(1);
  state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_ConnectedLines)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

// 5000 connected lines of a few pixels each, as the outlines of a small
// globe are: here the cost per call counts, not the pixels.
void BM_ShortConnectedLines(benchmark::State& state) {
  PrepareScreen();
  SetLineWidth(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    PenMoveTo(500, 300);
    for (int i = 0; i < 5000; ++i) PenLineTo(500 + i % 400, 300 + (i % 7) * 3, Green);
  }
  SetLineWidth(1);
  state.SetItemsProcessed(state.iterations() * 5000);
}
BENCHMARK(BM_ShortConnectedLines)->Arg(2)->Arg(1)->Unit(benchmark::kMillisecond);

// The whole window kept as a picture and drawn back, as the inside view
// does with its stored backgrounds.
void BM_FullWindowPictureCopy(benchmark::State& state) {
  PrepareScreen();
  for (auto _ : state) {
    const TPicture picture = GrabPicture(0, 0, MaxX(), MaxY());
    PutPicture(picture, 0, 0);
    FreePicture(picture);
  }
}
BENCHMARK(BM_FullWindowPictureCopy)->Unit(benchmark::kMillisecond);

// The lit half of a body: a filled 182-point half ellipse with black border.
void BM_FilledHalfEllipse(benchmark::State& state) {
  PrepareScreen();
  for (auto _ : state) DrawHalfEllipse(960, 540, 300, 200, 255, Yellow, true, true, 30);
}
BENCHMARK(BM_FilledHalfEllipse)->Unit(benchmark::kMicrosecond);

// The label panel and status line: 20 texts on an opaque background.
void BM_TwentyTexts(benchmark::State& state) {
  PrepareScreen();
  SetTextBackground(Black);
  SetTextJustify(0, 0);
  for (auto _ : state)
    for (int i = 0; i < 20; ++i)
      OutTextXY(20, 40 + 20 * i, "Datum: 08.12.2026  Zeit: 14.07 MEZ", Yellow);
}
BENCHMARK(BM_TwentyTexts)->Unit(benchmark::kMicrosecond);

// The time of the outside view's panel: a text never drawn before at every
// step, so neither its width nor its shaping comes from a cache.
void BM_NewTimeText(benchmark::State& state) {
  PrepareScreen();
  SetTextBackground(Black);
  SetTextJustify(0, 0);
  SetFont("Courier", 20, 1);
  long long minutes = 0;
  for (auto _ : state) {
    ++minutes;
    const std::string text = std::to_string(minutes / 60 % 100000) + "." +
                             std::to_string(10 + minutes % 60) + " Uhr MEZ";
    OutTextXY(1100, 80, text, White);
  }
}
BENCHMARK(BM_NewTimeText)->Unit(benchmark::kMicrosecond);

// The region the window presents after a step of the inside view with the
// equator and the ecliptic: the damage of two curves of 180 short lines
// across the screen, a few hundred rectangles, made into bands of rows.
void BM_PresentRegionOfTwoCurves(benchmark::State& state) {
  PrepareScreen();
  TDamageRecord drawn;
  WatchDamage(drawn);
  for (int curve = 0; curve < 2; ++curve) {
    for (int i = 0; i <= 180; ++i) {
      const int x = i * 1919 / 180;
      const int y = static_cast<int>(540 + (250 + 100 * curve) * std::sin(i * 0.0349 + curve));
      if (i == 0)
        PenMoveTo(x, y);
      else
        PenLineTo(x, y, LightGray);
    }
  }
  UnwatchDamage(drawn);
  for (auto _ : state) benchmark::DoNotOptimize(PresentRegion(drawn.Rects, 8, 1080));
  state.counters["rectangles"] = static_cast<double>(drawn.Rects.size());
}
BENCHMARK(BM_PresentRegionOfTwoCurves)->Unit(benchmark::kMicrosecond);

} // namespace
