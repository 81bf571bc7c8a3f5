// Cost of the astronomy for one animation step: Sun and Moon positions for
// one instant, and the whole sky instant that the inside view and the
// ephemeris table compute per step.
#include "AstrRout.h"
#include "Mathe.h"
#include "Moon.h"
#include "SkyInstant.h"
#include "Sun.h"

#include <benchmark/benchmark.h>

namespace {

// Steps through time like the animation does, so no two calls see the same T.
// bench/peer/peer.js times astronomy-engine on the same instants.
constexpr long double StartJD = 2460440.5L;
constexpr long double StepDays = 0.1L / 24.0L;

void BM_SunAndMoonPosition(benchmark::State& state) {
  long double jd = StartJD;
  for (auto _ : state) {
    long double L, B, R, Lambda, Beta, Rm;
    const long double T = JulianCenturies(jd);
    SunPosition(T, L, B, R);
    MoonPosition(T, Lambda, Beta, Rm);
    benchmark::DoNotOptimize(L + B + R + Lambda + Beta + Rm);
    jd += StepDays;
  }
}
BENCHMARK(BM_SunAndMoonPosition);

void BM_SunPosition(benchmark::State& state) {
  long double jd = StartJD;
  for (auto _ : state) {
    long double L, B, R;
    SunPosition(JulianCenturies(jd), L, B, R);
    benchmark::DoNotOptimize(L + B + R);
    jd += StepDays;
  }
}
BENCHMARK(BM_SunPosition);

void BM_MoonPosition(benchmark::State& state) {
  long double jd = StartJD;
  for (auto _ : state) {
    long double Lambda, Beta, R;
    MoonPosition(JulianCenturies(jd), Lambda, Beta, R);
    benchmark::DoNotOptimize(Lambda + Beta + R);
    jd += StepDays;
  }
}
BENCHMARK(BM_MoonPosition);

void BM_ComputeSkyInstant(benchmark::State& state) {
  long double jd = StartJD;
  const long double latitude = 54.3L * DegToRad;
  const long double longitude = 10.1L * DegToRad;
  for (auto _ : state) {
    TSkyInstant s = ComputeSkyInstant(jd, latitude, longitude);
    benchmark::DoNotOptimize(s);
    jd += StepDays;
  }
}
BENCHMARK(BM_ComputeSkyInstant);

} // namespace
