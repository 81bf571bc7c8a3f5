// What the key commands do to the views: the program's control calls these
// operations and never writes the view state itself. Each draws what its
// key changes at once where the key command asks for that; the next
// animation step draws the rest.
#pragma once

#include "KernGraf.h"

// ---- which view --------------------------------------------------------------
// Chooses the outside view (true) or the inside view for the next set-up.
void ChooseView(bool outside);
bool OutsideViewShown();
// The box of the outside view's Moon as the screen shows it; empty in the
// inside view and while the Moon is not drawn (perspective 2, below the
// horizon).
TRect MoonDiscBox();
// The top row of what "s" saves: the whole screen outside, the sky without
// most of the black band above the title inside.
int SavedPictureTop();
// The bottom row of the inside view's title band.
int InsideTitleBase();

// ---- time ---------------------------------------------------------------------
// Makes the next step draw the instant that is on the screen again.
void StepBack();
void TimeForward();    // "+": forward from the instant on the screen
void ReverseTime();    // "-": the other way from the instant on the screen
void DoubleTimeStep(); // "*": up to MaxStepDays in magnitude
void HalveTimeStep();  // "/"

// ---- pictures -------------------------------------------------------------------
// ">" and "<": the bodies grow or shrink by a tenth (the discs of the inside
// view, the Earth of the outside view); the instant is drawn again.
void ChangeBodySizes(bool larger);
// "d": the other view on a black screen; the instant is drawn again.
void SwitchView();
// "h": the outside view's next perspective, drawn at once; the instant is
// drawn again.
void NextPerspective();
// The arrow keys: tilts the outside picture back (up) or forward and draws
// it at once (not in perspective 2, which stays tied to the horizon).
void TiltPicture(bool up);
// "a" and "t" in the inside view: the equatorial grid on or off, the sky as
// seen (parallax and refraction) or as from the Earth's centre; the instant
// is drawn again.
void ToggleEquatorialGrid();
void ToggleSeenSky();
// "l": the sight lines of the inside view.
void ShowSightLines();
// The first key after the outside view's start picture clears the earlier
// Moons (does nothing otherwise).
void ClearStartPicture();
// A black screen for the next step (after a help screen).
void ClearForStep();
