// The outside view's bodies: the Earth as a globe with its lit half, the
// observer's place and the coastlines, the Moon with its lit half, and in
// perspective 2 the Sun's direction and the horizon line. Every routine
// erases what it draws when called with the colour Black, so the animation
// never has to clear the picture.
#pragma once

#include "ViewState.h"

// A disc of radius r - 1 (outside view) in the dark colour whose part lit by
// light coming along L is drawn in the lit colour: a crescent when the light
// comes from behind the picture, a gibbous disc when it comes from the
// viewer's side, exactly half when it lies in the picture plane. L is given
// in the frame of SunVec; it is not changed.
void DrawLitDisc(const TVector& L, int x, int y, int r, int litColour, int darkColour);

// Black erases the Moon; any other colour draws it lit by the Sun.
void DrawMoon(int colour);
// Black erases the Earth; any other colour draws disc, globe and observer dot.
void DrawEarth(int colour);
// Erases the Sun's marker drawn last (perspective 2).
void EraseSunMarker();
// Draws the Sun's direction (perspective 2) unless the colour is Black or
// the Sun is below the horizon.
void DrawSunMarker(int colour);
// The horizon line of perspective 2 across the square picture, through the
// top of the Earth disc.
void DrawOutsideHorizon(int colour);
// Earth and Moon, the one nearer to the viewer drawn last.
void DrawEarthAndMoon();

// False in perspective 2 while the Moon is below the horizon plane: it is
// then neither drawn nor erased.
bool MoonDrawable();
// The pixel of the Moon's centre as DrawMoon places it.
void MoonPixel(int& x, int& y);
