// The state that the outside view (Earth, Moon and Sun from space) and the
// inside view (the sky over the observer's horizon) share: the set-up in
// force, the instant shown, the observer, the view matrices, the computed
// positions and the sizes of the bodies. It lives in one module-level
// record, View, for the whole run. Only the views change it: the program's
// control hands in a TViewSetup (Animation.h) and calls the operations of
// ViewCommands.h for what the keys do.
#pragma once

#include <cstdint>
#include <string>

#include "AstrRout.h"
#include "Erdmodul.h"
#include "Mathe.h"
#include "MoonPhase.h"

// What the parameter input gives the views, as it was entered: the place in
// degrees (north and east positive) with its typed texts for the labels, the
// start in MEZ, the time step in h.mm, and the inside view's choices.
struct TViewSetup {
  long double Latitude = 0, Longitude = 0;
  std::string LatitudeText = "0", LongitudeText = "0";
  TCalendarDate StartDate;
  long double StartTime = 0; // h.mm
  long double Step = 0;      // h.mm; may be negative
  long double CentralAzimuth = 0;
  long double LineSpacing = 30; // degrees between the inside view's grid lines, 1..90
  bool DrawEquator = false, DrawEcliptic = false;
  // The outside view's start picture shows the Moons of the last weeks
  // (not when the program started straight from a parameter file).
  bool EarlierMoons = true;
};

// A direction projected onto the inside view's picture plane.
struct TSkyPoint {
  long double U = 0; // along the horizon, world units of the inside window
  long double V = 0; // upwards
  bool Visible = false;
};

struct TViewState {
  TViewSetup Setup; // the set-up in force

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
  // MEZ date and time (h.mm form) and local sidereal time of the instant
  // computed last; date and time as the labels show them, so less than half
  // a minute before midnight is 0.00 of the next day.
  TCalendarDate Date;
  long double Time = 0;
  long double SiderealTime = 0;

  // ---- observer, in radians (the parameters keep the typed degrees) ---------
  long double Latitude = 0, Longitude = 0, CentralAzimuth = 0;
  long double SinLatitude = 0, CosLatitude = 1;
  long double SinObliquity = 0, CosObliquity = 1;

  // ---- matrices: one per concept, set through ViewGeometry's setters ---------
  // The picture's turn: Sun and Moon in perspectives 0 and 1, and the globe
  // points in every perspective (see SetViewMatrix).
  TMatrix ViewMatrix;
  TMatrix GlobeSpin;     // turns the Earth's outline points to the instant (SetGlobeSpin)
  TMatrix EclipticTilt;  // globe points from the equator frame to the ecliptic frame
  TMatrix LatitudeView;  // the picture's turn of perspectives 1 and 2
  TMatrix AzimuthMatrix; // inside view: turns the central azimuth to the front
  // Derived, kept current by the setters: ViewMatrix * EclipticTilt *
  // GlobeSpin, and the same in double for the outline points.
  TMatrix GlobeMatrix;
  double GlobeTurn[3][3] = {};

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

  // ---- what the lesson adds, off at every set-up ----------------------------
  bool EquatorialGrid = false; // "a": hour and declination circles in the inside view
  bool SeenSky = false;        // "t": the Moon seen from the place, both bodies refracted
  TMoonPhase Phase;            // the Moon's phase at the instant computed last

  // ---- outside view animation -----------------------------------------------
  // False while the start picture with the earlier Moons stands; the key
  // handler sets it when it clears that picture. While true every step first
  // erases the Moon of the step before.
  bool MoonShown = false;
};

extern TViewState View;

// Caps that keep keys pressed without end from overflowing the view.
constexpr long double MaxStepDays = 36500.0L; // days, in magnitude
constexpr int32_t MaxRadiusPx = 10000;        // pixels

// The view part of the first-time initialisation: body sizes, obliquity,
// eye point, fixed matrices, inside view chosen, no stored sky pictures.
void InitViewState();
