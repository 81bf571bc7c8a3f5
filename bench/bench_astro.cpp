// Cost of the astronomy for one animation step: Sun and Moon positions for
// one instant, and the whole sky instant that the inside view and the
// ephemeris table compute per step, with what the observer sees; the Moon's
// age and the phase calendar of a year.
#include "AstrRout.h"
#include "Mathe.h"
#include "Moon.h"
#include "MoonPhase.h"
#include "SkyInstant.h"
#include "Sun.h"

#include <benchmark/benchmark.h>

#include <vector>

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

// One row of the ephemeris table: the sky instant and what the observer
// sees (parallax and refraction) on top of it.
void BM_ComputeSkyInstantAndSeenSky(benchmark::State& state) {
  long double jd = StartJD;
  const long double latitude = 54.3L * DegToRad;
  const long double longitude = 10.1L * DegToRad;
  for (auto _ : state) {
    const TSkyInstant s = ComputeSkyInstant(jd, latitude, longitude);
    TSeenSky seen = ComputeSeenSky(s, latitude);
    benchmark::DoNotOptimize(seen);
    jd += StepDays;
  }
}
BENCHMARK(BM_ComputeSkyInstantAndSeenSky);

// The age of the Moon, which searches back for the last new Moon.
void BM_MoonAge(benchmark::State& state) {
  long double jd = StartJD;
  for (auto _ : state) {
    long double age = MoonAge(jd);
    benchmark::DoNotOptimize(age);
    jd += StepDays;
  }
}
BENCHMARK(BM_MoonAge);

// The main phases of one year, as lunotrop --phases finds them.
void BM_MainPhasesOfAYear(benchmark::State& state) {
  for (auto _ : state) {
    std::vector<TPhaseEvent> events = MainPhasesBetween(StartJD, StartJD + 365.25L);
    benchmark::DoNotOptimize(events.data());
  }
}
BENCHMARK(BM_MainPhasesOfAYear)->Unit(benchmark::kMicrosecond);

} // namespace
