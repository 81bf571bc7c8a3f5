// Turns an instant into what the two views draw, and owns their projections:
// the outside view's frames (three perspectives) and the routines through
// which the globe drawing turns outline points, and the inside view's central
// projection of the sky onto the picture plane. Draws nothing.
#pragma once

#include "ViewState.h"

// ---- outside view -----------------------------------------------------------
// MEZ date and time, sidereal time, GlobeSpin, SunVec and MoonVec (Earth radii,
// in the frame of the current perspective) for the Julian date jd.
void ComputeOutsidePositions(long double jd);

// The routines handed to DrawGlobe. GlobeToView turns a point with
// GlobeMatrix and fills only the vector half of Q (the globe drawing reads
// nothing else); the polar half is left zero.
void GlobeToView(const TEarthPoint& P, TEarthPoint& Q);
bool GlobeVisible(const TEarthPoint& P);
// True if every point within reach of the view-frame point centre lies on
// the far hemisphere, which GlobeVisible hides.
bool GlobeAllHidden(const TEarthPoint& centre, float reach);
// GlobeToView, GlobeVisible and GlobeProject for many points at once.
void GlobeToPixels(const TEarthPoint* points, size_t count, TSeenPixel* pixels);
void GlobeProject(const TEarthPoint& P, int& x, int& y);

// The setters of the two turns a globe point goes through besides the fixed
// EclipticTilt. Each keeps GlobeMatrix (ViewMatrix * EclipticTilt *
// GlobeSpin, the three turns in one) and GlobeTurn current.
void SetViewMatrix(const TMatrix& M);
void SetGlobeSpin(const TMatrix& M);
// The angle b by which perspective 1 turns the picture about its x axis,
// from the ecliptic north pole towards the viewer: latitude - 23.5 degrees
// for a northern place (the equator included), 156.5 degrees - latitude for
// a southern one. Radians.
long double LatitudeViewAngle(long double latitude);
// Builds LatitudeView from the latitude.
void BuildLatitudeViews();
// Moves to a perspective (0, 1, 2) and sets the view matrix to match it;
// the tilt starts again from 0.
void SelectPerspective(int perspective);
// The tilt keys: +1 tilts the picture back (its top away from the viewer, so
// the ecliptic pole moves up), -1 forward. Sun, Moon and globe turn alike.
// Does nothing in perspective 2, whose picture is tied to the horizon.
void TiltView(int direction);
// True if the Moon is nearer to the viewer than the Earth's centre.
bool MoonInFront();

// Viewport and world window of the two views.
void SetOutsideWindow();
void SetInsideWindow();

// ---- inside view ------------------------------------------------------------
// Central projection from the eye E onto the plane X = 1 of the horizon frame
// turned by AzimuthMatrix. A point in the eye's own plane (or one whose
// projection does not fit a number) is reported not visible and u, v are left
// as they were.
void ProjectToSky(const TVector& E, const TVector& P, long double& u, bool& visible,
                  long double& v);
TSkyPoint ProjectToSky(const TVector& P); // from View.EyePoint, starting at (0, 0)

// Date, time, sidereal time, daylight state, sky colour, Sun and Moon
// directions and projections, limb and phase angle for View.CurrentJD.
void ComputeInsidePositions();

// Screen angle (radians, counter-clockwise from the right) from the Moon's
// disc towards the Sun; 0 when the two stand in the same or opposite directions.
long double ComputeLimbAngle(const TVector& sunDir, const TVector& moonDir);

// Pixel of a projected point (the inside window must be in force).
int SkyPixelX(const TSkyPoint& P);
int SkyPixelY(const TSkyPoint& P);
