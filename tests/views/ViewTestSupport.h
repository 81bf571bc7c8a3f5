// Shared set-up of the view tests: a headless 1920x1080 console with the
// palette loaded, the shipped Earth data, the view state initialised and the
// parameters as the parameter input would leave them.
#pragma once

#include <QColor>
#include <QRgb>

#include <cmath>
#include <string>

#include "Animation.h"
#include "Dateien.h"
#include "InsideView.h"
#include "KernGraf.h"
#include "KernGrafQt.h"
#include "Labels.h"
#include "ModulGraf.h"
#include "OutsideView.h"
#include "SkyInstant.h"
#include "ViewCommands.h"
#include "ViewGeometry.h"
#include "ViewState.h"

inline void StartHeadlessConsole() {
  SetScreenSize(1920, 1080);
  AttachScreen(1920, 1080);
  StartKernGraf();
  ResetPalette();
  SetFont("Courier", 10, 0);
  SetDataFolders(LUNOTROP_SOURCE_DIR "/data");
}

// The set-up the views tests hand to the views.
inline TViewSetup Entered;

// A place and an instant as typed at the parameter input (degrees, h.mm),
// then the working state without drawing anything.
inline void EnterParameters(const std::string& latitude, const std::string& longitude, int day,
                            int month, int year, long double time) {
  Entered = TViewSetup();
  Entered.LatitudeText = latitude;
  Entered.LongitudeText = longitude;
  Entered.Latitude = std::stold(latitude);
  Entered.Longitude = std::stold(longitude);
  Entered.StartDate = TCalendarDate{day, month, year};
  Entered.StartTime = time;
  Entered.Step = 1.00L; // one hour
  Entered.CentralAzimuth = Entered.Latitude >= 0 ? 0 : 180;
  TakeParameters(Entered);
}

inline int ColourAt(int x, int y) {
  const QRgb c = GetPixel(x, y);
  for (int i = 0; i < 16; ++i) {
    if ((ColourTable[i] & 0xFFFFFF) == (c & 0xFFFFFF)) return i;
  }
  return -1;
}

inline void ClearToBlack() {
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX(), MaxY());
}

// Share of the pixels inside the circle (x, y, r) that have the colour.
inline double ShareOfColour(int x, int y, int r, int colour) {
  int inside = 0, hits = 0;
  for (int dy = -r; dy <= r; ++dy) {
    for (int dx = -r; dx <= r; ++dx) {
      if (dx * dx + dy * dy > (r - 2) * (r - 2)) continue;
      ++inside;
      if (ColourAt(x + dx, y + dy) == colour) ++hits;
    }
  }
  return inside ? static_cast<double>(hits) / inside : 0;
}
