// Soak run: many animation steps in each view on a headless 1920x1080
// screen, with the resident memory at the start and at the end and the time
// per step. A program left running through a lesson must not grow.
//
//   soak PARAMETERFILE [STEPS]     (STEPS per view, default 100000)
#include <QElapsedTimer>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

#include "Render.h"

namespace {

long ResidentKiB() {
  std::ifstream statm("/proc/self/statm");
  long size = 0, resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

bool Soak(const char* name, const std::string& file, int perspective, long steps) {
  TRenderOptions options;
  options.ParameterFile = file;
  options.Perspective = perspective;
  if (StartHeadlessRun(options, std::cerr) != 0) return false;
  // Some steps first, so that caches and pictures are in place.
  for (int i = 0; i < 100; ++i) HeadlessTick(0);
  const long before = ResidentKiB();
  QElapsedTimer clock;
  clock.start();
  for (long i = 0; i < steps; ++i) HeadlessTick(0);
  const double microseconds = clock.nsecsElapsed() / 1000.0 / steps;
  const long after = ResidentKiB();
  std::printf("%-22s %8ld steps  %8.1f us/step  RSS %7ld KiB -> %7ld KiB  (%+ld KiB)\n", name,
              steps, microseconds, before, after, after - before);
  // A few MB may come and go with the allocator; more means something grows.
  if (after - before > 4096) {
    std::printf("  Der Speicher wächst!\n");
    return false;
  }
  return true;
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "Aufruf: soak PARAMETERDATEI [SCHRITTE]\n");
    return 2;
  }
  const long steps = argc > 2 ? std::atol(argv[2]) : 100000;
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QGuiApplication app(argc, argv);
  bool ok = Soak("Ansicht von innen", argv[1], -1, steps);
  for (int p = 0; p <= 2 && ok; ++p)
    ok = Soak(("Ansicht von aussen, P" + std::to_string(p)).c_str(), argv[1], p, steps);
  return ok ? 0 : 1;
}
