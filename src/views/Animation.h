// Setting up a view after a parameter input, and the animation step that the
// key handler calls on every accepted timer tick.
#pragma once

#include "ViewState.h"

// The earlier Moons of the outside view's start picture are this many days
// apart (seven of them, 23.8 to 3.4 days before the start).
constexpr long double HistoryStep = 3.4L;

// The set-up becomes the working state of the views (radians, days, start
// instant, matrices); nothing is drawn.
void TakeParameters(const TViewSetup& setup);
// Takes the set-up, builds (or reuses) the inside view's pictures, prepares
// the outside view's window and, when the outside view is chosen, draws its
// start picture.
void SetUpView(const TViewSetup& setup);
// Draws the chosen view for View.CurrentJD, then advances View.CurrentJD by
// one time step in the time direction, but not beyond the calendar's first
// day of -4712 or last minute of 9999. The caller waits the delay first.
void AnimationStep();

// A routine the next step of the outside view calls once it knows where
// Earth and Moon go, before it draws anything but the erasing of the Moon
// before; the routine is then forgotten. The context is handed back to it.
using TBeforeDrawingProc = void (*)(void* context);
void CallBeforeNextOutsideDrawing(TBeforeDrawingProc proc, void* context);
// Forgets the routine if no step called it.
void ForgetBeforeNextOutsideDrawing();
