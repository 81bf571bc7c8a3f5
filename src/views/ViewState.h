// The state that the outside view (Earth, Moon and Sun from space) and the
// inside view (the sky over the observer's horizon) share: the instant shown,
// the observer, the view matrices, the computed positions and the sizes of
// the bodies. It lives in one module-level record, View, for the whole run.
// The key commands read and change it directly (perspective, tilt, sizes,
// time step and direction).
#pragma once

#include <cstdint>

#include "AstrRout.h"
#include "Erdmodul.h"
#include "Mathe.h"

// A direction projected onto the inside view's picture plane.
struct TSkyPoint {
  long double U = 0; // along the horizon, world units of the inside window
  long double V = 0; // upwards
  bool Visible = false;
};

struct TViewState {
  // ---- what is shown ------------------------------------------------------
  bool OutsideView = false;  // true: from space ("Bewegung"); false: the sky ("Phase")
  int Perspective = 0;       // outside view: 0 ecliptic pole, 1 latitude circle, 2 horizon
  long double TiltAngle = 0; // radians, changed by the tilt keys; only labelled

  // ---- sizes in pixels ----------------------------------------------------
  int32_t EarthRadiusPx = 100;
  int32_t MoonRadiusPx = 25; // also the margin of the outside viewport
  int32_t DiscRadius = 15;   // Sun and Moon of the inside view
  int32_t EarthCentreX = 0, EarthCentreY = 0;

  // ---- time -----------------------------------------------------------------
  long double CurrentJD = 0; // the instant the next step draws
  long double StepDays = 0;  // time step in days; may be negative
  int32_t TimeDirection = 1; // +1 or -1
  // MEZ date and time and local sidereal time of the instant computed last.
  TCalendarDate Date;
  long double Time = 0; // h.mm form
  long double SiderealTime = 0;

  // ---- observer, in radians (the parameters keep the typed degrees) ---------
  long double Latitude = 0, Longitude = 0, CentralAzimuth = 0;
  long double SinLatitude = 0, CosLatitude = 1;
  long double SinObliquity = 0, CosObliquity = 1;

  // ---- matrices -------------------------------------------------------------
  TMatrix GlobeSpin;           // turns the Earth's outline points to the instant
  TMatrix GlobeMatrix;         // GlobeViewMatrix * EclipticTilt * GlobeSpin, see ComposeGlobeMatrix
  double GlobeTurn[3][3] = {}; // GlobeMatrix in double, for the outline points
  TMatrix EclipticTilt;        // globe points from the equator frame to the ecliptic frame
  TMatrix ViewMatrix;          // Sun and Moon, perspectives 0 and 1
  TMatrix GlobeViewMatrix;     // globe points, every perspective
  TMatrix LatitudeView;        // ViewMatrix of perspective 1
  TMatrix LatitudeGlobeView;   // GlobeViewMatrix of perspectives 1 and 2
  TMatrix TiltUp, TiltDown;    // RotationX(+10 degrees), RotationX(-10 degrees)
  TMatrix IdentityMatrix;
  TMatrix AzimuthMatrix; // inside view: turns the central azimuth to the front

  // ---- outside view positions, Earth radii ----------------------------------
  TVector SunVec, MoonVec;
  TEarthPoint ObserverPoint; // the place on the unit sphere (Earth frame)

  // ---- inside view ----------------------------------------------------------
  TVector EyePoint;        // (-1.05, 0, 0.35): behind and above the observer
  TVector SunDir, MoonDir; // unit vectors in the horizon frame (X south, Y west, Z zenith)
  long double SunAltitude = 0, MoonAltitude = 0; // radians
  TSkyPoint SunSky, MoonSky;                     // their projections
  bool SunUp = false, Twilight = false, Night = false;
  int SkyColour = 0;
  long double LimbAngle = 0;            // screen angle from the Moon towards the Sun, radians
  long double PhaseAngle = 0;           // 0 full Moon, +-pi new Moon, negative while waning
  int32_t ObserverX = 0, ObserverY = 0; // pixel of the observer's mark
  int32_t TitleBase = 0;                // bottom row of the inside view's title band

  // ---- outside view animation -----------------------------------------------
  // False while the start picture with the earlier Moons stands; the key
  // handler sets it when it clears that picture. While true every step first
  // erases the Moon of the step before.
  bool MoonShown = false;
};

extern TViewState View;

// Earth radii per astronomical unit.
constexpr long double EarthRadiiPerAU = 23454.78L;

// The view part of the first-time initialisation: body sizes, obliquity,
// eye point, fixed matrices, inside view chosen, no stored sky pictures.
void InitViewState();
