// Kern2Graf: clock, waiting, filled ellipses and the half ellipse from which
// the lit parts of Earth and Moon are built.
#pragma once

// Waits the given milliseconds without keeping the CPU busy. The window
// goes on handling its events meanwhile, so Ctrl+C ends the program at once
// and a typed key ends the wait early (the key then acts on the next tick).
void DelayMs(int milliseconds);
// The window system's bell (a browser has none).
void Beep();
void GetTimeNow(int& hour, int& minute, int& second, int& hundredths);
void GetDateNow(int& day, int& month, int& year);

// Filled with the current fill colour and outlined with the current border pen.
void DrawEllipse(int x, int y, int radiusX, int radiusY);
// 182-point half ellipse; see the implementation for the construction.
void DrawHalfEllipse(int centreX, int centreY, int a, int b, int intensity, int colour,
                     bool blackBorder, bool filled, long double angleDegrees);
