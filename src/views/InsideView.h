// The inside view: the sky over the observer's horizon towards the central
// azimuth, in central perspective from an eye behind and above the observer.
// Ground, sky, grid, compass letters and the observer's mark are drawn once
// into three stored pictures (night, twilight, day), kept by the console;
// every step puts back the one that fits the Sun's altitude and draws Sun,
// Moon and the requested circles on top. Where the screen still shows that
// picture, nothing is put back: the console's damage record tells what was
// drawn over it since.
#pragma once

#include <vector>

#include "KernGraf.h"
#include "ViewState.h"

enum TSkyPictureKind { NightPicture = 0, TwilightPicture = 1, DayPicture = 2 };

// ---- horizon ------------------------------------------------------------------
// Traces the projected horizon in steps of the given whole degrees, from
// beyond the right edge of the window to beyond its left edge.
void TraceHorizon(int stepDegrees);
// TraceHorizon(2) and the ground and sky polygons below and above it.
void BuildHorizon();
const std::vector<TPoint>& HorizonPoints();
void DrawHorizonLine(int colour);
void PaintGroundAndSky(int groundColour, int skyColour, int lineColour);

// ---- curves on the sky (angles in radians) --------------------------------------
void DrawAzimuthLine(int colour, long double azimuth); // zenith down to the horizon
void DrawAltitudeLine(int colour, long double altitude);
void DrawEquatorLine(int colour);  // where above the horizon
void DrawEclipticLine(int colour); // where above the horizon

// ---- Sun and Moon -----------------------------------------------------------------
void DrawSunDisc(int x, int y, int colour); // radius View.DiscRadius
// The Moon's lit part: k = |PhaseAngle| - 90 degrees (radians; -90 degrees
// full, 0 a quarter, +90 degrees new), limbAngle = screen direction towards
// the Sun (radians). The unlit part is not drawn.
void DrawMoonPhase(int x, int y, int r, long double k, long double limbAngle, int litColour,
                   int darkColour);

// ---- the stored pictures ------------------------------------------------------------
// Builds the three pictures with the inside window in force; sets TitleBase
// and the observer's mark.
void BuildBackgroundPictures();
// True if the three pictures exist and were built for this central azimuth,
// this screen size, a latitude of the same sign and the grid spacing of the
// set-up in force.
bool BackgroundPicturesFit(long double centralAzimuth, long double latitude);
bool BackgroundPicturesExist();
TPicture BackgroundPicture(TSkyPictureKind kind);
void ForgetBackgroundPictures();
// The observer's mark: the projection of the observer's own place.
void ComputeObserverMark();
// The bottom row of the title band.
int ComputeTitleBase();
// Puts the picture that fits the Sun's altitude on the screen: the whole
// picture after another one, else only the rectangles drawn over since it
// was put back last.
void ShowBackgroundPicture();
// The sight lines from the observer to the Sun and to the Moon (key "l").
void DrawSightLines();
// Drawing over the picture that the next step does not put back: for what
// stands from step to step and keeps account of itself (the status line).
// It hands what it drew to PutBackAtNextStep when it is to go.
void DrawKeptOverPicture(void (*draw)(void* context), void* context);
void PutBackAtNextStep(const std::vector<TRect>& parts);

// ---- one step ------------------------------------------------------------------------
// Equator and ecliptic when the set-up asks for them.
void DrawRequestedCircles();
// Hour circles (labelled in hours) and declination circles with the
// spacing of the grid, the celestial equator and pole marked, while the
// lesson switch "a" is on.
void DrawEquatorialGrid();
// The Sun's disc and the Moon's phase at their projected pixels, when not
// more than 10 degrees below the horizon.
void DrawSunAndMoon();
