// The views on a 1920x1080 screen: one animation step (without its delay) of
// the outside view in each perspective and of the inside view, and the
// set-up with its three sky pictures.
#include <benchmark/benchmark.h>

#include "Animation.h"
#include "Dateien.h"
#include "InsideView.h"
#include "KernGraf.h"
#include "ViewGeometry.h"
#include "ViewState.h"

#include <vector>

namespace {

TViewSetup Setup;

void PrepareViews(bool outside) {
  SetScreenSize(1920, 1080);
  AttachScreen(1920, 1080);
  ResetPalette();
  SetFont("Courier", 10, 0);
  SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
  InitViewState();
  Setup = TViewSetup();
  Setup.Latitude = 54.3L;
  Setup.Longitude = 10.1L;
  Setup.LatitudeText = "54.3";
  Setup.LongitudeText = "10.1";
  Setup.StartDate = TCalendarDate{15, 3, 2026};
  Setup.StartTime = 20.00L;
  Setup.Step = 0.05L;
  View.Perspective = 0;
  View.OutsideView = outside;
  SetUpView(Setup);
  View.MoonShown = outside;
}

void BM_OutsideStep(benchmark::State& state) {
  PrepareViews(true);
  SelectPerspective(static_cast<int>(state.range(0)));
  AnimationStep(); // loads the coastlines
  for (auto _ : state) AnimationStep();
}
BENCHMARK(BM_OutsideStep)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Writes more memory than the caches hold, as the rest of the machine does
// in the 30 ms an animation waits between two steps.
void CoolCaches() {
  static std::vector<char> elsewhere(64 << 20);
  for (size_t i = 0; i < elsewhere.size(); i += 64) elsewhere[i] = static_cast<char>(i);
  benchmark::ClobberMemory();
}

// The step as the animation meets it: with cold caches.
void BM_OutsideStepCold(benchmark::State& state) {
  PrepareViews(true);
  SelectPerspective(static_cast<int>(state.range(0)));
  AnimationStep();
  for (auto _ : state) {
    state.PauseTiming();
    CoolCaches();
    state.ResumeTiming();
    AnimationStep();
  }
}
BENCHMARK(BM_OutsideStepCold)->Arg(0)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_InsideStep(benchmark::State& state) {
  PrepareViews(false);
  View.Setup.DrawEquator = state.range(0) != 0;
  View.Setup.DrawEcliptic = state.range(0) != 0;
  for (auto _ : state) AnimationStep();
}
BENCHMARK(BM_InsideStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SetUpViewWithSkyPictures(benchmark::State& state) {
  PrepareViews(false);
  for (auto _ : state) {
    ForgetBackgroundPictures(); // builds the three pictures every time
    SetUpView(Setup);
  }
}
BENCHMARK(BM_SetUpViewWithSkyPictures)->Unit(benchmark::kMillisecond);

} // namespace
