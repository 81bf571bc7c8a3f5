// The views on a 1920x1080 screen: one animation step (without its delay) of
// the outside view in each perspective and of the inside view, and the
// set-up with its three sky pictures.
#include <benchmark/benchmark.h>

#include "Animation.h"
#include "Dateien.h"
#include "InsideView.h"
#include "KernGraf.h"
#include "Parameter.h"
#include "ViewGeometry.h"
#include "ViewState.h"

namespace {

void PrepareViews(bool outside) {
  SetScreenSize(1920, 1080);
  AttachScreen(1920, 1080);
  ResetPalette();
  SetFont("Courier", 10, 0);
  SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
  InitViewState();
  Param.Latitude = 54.3L;
  Param.Longitude = 10.1L;
  Param.LatitudeText = "54.3";
  Param.LongitudeText = "10.1";
  Param.StartDay = 15;
  Param.StartMonth = 3;
  Param.StartYear = 2026;
  Param.StartTime = 20.00L;
  Param.StepDays = 0.05L;
  Param.CentralAzimuth = 0;
  Param.DrawEquator = false;
  Param.DrawEcliptic = false;
  Flags.PreviousLatitude = 0;
  Flags.StartedWithFile = false;
  SkipDelay = true;
  View.Perspective = 0;
  View.OutsideView = outside;
  SetUpView();
  View.MoonShown = outside;
}

void BM_OutsideStep(benchmark::State& state) {
  PrepareViews(true);
  SelectPerspective(static_cast<int>(state.range(0)));
  AnimationStep(); // loads the coastlines
  for (auto _ : state) AnimationStep();
}
BENCHMARK(BM_OutsideStep)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

void BM_InsideStep(benchmark::State& state) {
  PrepareViews(false);
  Param.DrawEquator = state.range(0) != 0;
  Param.DrawEcliptic = state.range(0) != 0;
  for (auto _ : state) AnimationStep();
}
BENCHMARK(BM_InsideStep)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_SetUpViewWithSkyPictures(benchmark::State& state) {
  PrepareViews(false);
  for (auto _ : state) {
    Flags.PreviousLatitude = 0; // builds the three pictures every time
    SetUpView();
  }
}
BENCHMARK(BM_SetUpViewWithSkyPictures)->Unit(benchmark::kMillisecond);

} // namespace
