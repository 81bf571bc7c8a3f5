#include "Parameter.h"

TParameters Param;
TControlFlags Flags;
bool SkipDelay = false;

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
  setup.DrawEquator = Param.DrawEquator;
  setup.DrawEcliptic = Param.DrawEcliptic;
  setup.EarlierMoons = !Flags.StartedWithFile;
  return setup;
}
