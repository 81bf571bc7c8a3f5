#include "Parameter.h"

#include "Mathe.h"

TParameters Param;
TControlFlags Flags;
bool SkipDelay = false;

const TInputRange LatitudeRange{-90, 90, "Breite zwischen −90 und 90",
                                "Breite zwischen −90 und 90"};
const TInputRange LongitudeRange{-180, 360, "Länge zwischen −180 und 360",
                                 "Länge zwischen −180 und 360"};
const TInputRange YearRange{-4712, 9999, "Jahr zwischen −4712 und 9999",
                            "Jahr zwischen −4712 und 9999"};
const TInputRange StepRange{-876000, 876000, "Zeitschritt höchstens 876000 Stunden",
                            "Zeitschritt höchstens 876000 Stunden"};
const TInputRange LineSpacingRange{1, 90, "Abstand zwischen 1 und 90 Grad",
                                   "Abstand zwischen 1 und 90 Grad"};
const TInputRange DelayRange{1, MaxDelay, "Verzögerung mindestens 1 ms",
                             "Verzögerung höchstens 10000 ms"};

TViewSetup ViewSetupFromParameters() {
  TViewSetup setup;
  setup.Latitude = Param.Latitude;
  setup.Longitude = Param.Longitude;
  setup.LatitudeText = Param.LatitudeText;
  setup.LongitudeText = Param.LongitudeText;
  setup.StartDate = TCalendarDate{Param.StartDay, Param.StartMonth, Param.StartYear};
  setup.StartTime = Param.StartTime;
  setup.Step = Param.StepDays;
  setup.CentralAzimuth = Param.CentralAzimuth;
  setup.LineSpacing = Param.LineSpacing / DegToRad;
  setup.DrawEquator = Param.DrawEquator;
  setup.DrawEcliptic = Param.DrawEcliptic;
  setup.EarlierMoons = !Flags.StartedWithFile;
  return setup;
}
