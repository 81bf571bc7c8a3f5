// Setting up a view after a parameter input, and the animation step that the
// key handler calls on every accepted timer tick.
#pragma once

// When set, AnimationStep does not wait its delay (headless rendering,
// benchmarks).
extern bool SkipDelay;

// The earlier Moons of the outside view's start picture are this many days
// apart (seven of them, 23.8 to 3.4 days before the start).
constexpr long double HistoryStep = 3.4L;

// The entered parameters (degrees, h.mm) become the working state of the
// views (radians, days, start instant, matrices); nothing is drawn.
void TakeParameters();
// Turns the entered parameters into the working state, builds (or reuses) the
// inside view's pictures, prepares the outside view's window and, when the
// outside view is chosen, draws its start picture.
void SetUpView();
// Waits the delay, draws the chosen view for View.CurrentJD, then advances
// View.CurrentJD by one time step in the time direction.
void AnimationStep();
