// The program's parameters and control flags, shared by the main routine,
// the key commands and the help screens; the views get a TViewSetup made
// from them (ViewSetupFromParameters). Each parameter keeps the
// text the user typed (or accepted) beside its value: the text is the default
// of the next prompt and what the parameter file stores.
#pragma once

#include <cstdint>
#include <string>

#include "ModulGraf.h"
#include "ViewState.h"

struct TParameters {
  // Values as entered: Latitude, Longitude and CentralAzimuth in degrees,
  // StartTime and StepDays in h.mm form, LineSpacing in radians. The view
  // set-up takes its working values (radians, days) from these.
  long double Latitude = 0;
  long double Longitude = 0;
  int32_t StartDay = 1, StartMonth = 1, StartYear = 2000;
  long double StartTime = 0; // MEZ, h.mm form
  long double StepDays = 0;
  int32_t Delay = 30; // milliseconds
  long double CentralAzimuth = 0;
  long double LineSpacing = 0;
  bool DrawEquator = false;
  bool DrawEcliptic = false;

  // Texts as typed.
  std::string LatitudeText = "54.3";
  std::string LongitudeText = "10.1";
  std::string DayText, MonthText, YearText;
  std::string StartTimeText;
  std::string TimeStepText = "0.05";
  std::string DelayText = "30";
  std::string AzimuthText = "0";
  std::string LineSpacingText = "30";
  std::string EquatorAnswer = "n"; // one letter
  std::string EclipticAnswer = "n";
};

struct TControlFlags {
  bool FirstTimeDone = false;
  bool InputDoneOnce = false;
  bool StartScreenShown = false;
  bool SingleStep = true;
  bool SavedSingleStep = true;
  bool PendingClear = false;
  bool Paused = false;
  bool InputInProgress = false;
  int32_t PictureCounter = 0;
  bool StartedWithFile = false; // a parameter file was named on the command line
  std::string ParameterFileName;
};

extern TParameters Param;
extern TControlFlags Flags;

// What the views need of the parameters and flags.
TViewSetup ViewSetupFromParameters();

// When set, the animation steps do not wait their delay (headless pictures,
// benchmarks).
extern bool SkipDelay;

// The delay's cap: keys pressed without end must not freeze the program.
constexpr int32_t MaxDelay = 10000; // ms

// The values the program can show, with what the dialog says of one outside
// them: latitude -90..90, longitude -180..360, year -4712..9999, time step
// at most 36 500 days (876000 hours) either way, delay 1..10000 ms, grid
// lines 1..90 degrees apart.
extern const TInputRange LatitudeRange, LongitudeRange, YearRange, StepRange, DelayRange,
    LineSpacingRange;
