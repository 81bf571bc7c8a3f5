// Where to look in a picture of the program, and what colour is there: the
// named colour of a pixel, the colour most pixels of a small square have
// (a thin line or a letter crossing it does not change it), how many pixels
// of a colour an area holds, and the places of the drawn bodies taken from
// the views' own state (the tests that include this link lunotrop_core).
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cmath>

#include "KernGraf.h"
#include "KernGrafQt.h"
#include "Mathe.h"
#include "OutsideView.h"
#include "ViewState.h"

// The index of a named colour, or -1.
inline int ColourIndex(QRgb pixel) {
  for (int i = 0; i < 16; ++i)
    if ((ColourTable[i] & 0xFFFFFF) == (pixel & 0xFFFFFF)) return i;
  return -1;
}

// The colour that most pixels of the square (x, y) +- half have, or -1.
inline int MostColour(const QImage& picture, int x, int y, int half = 4) {
  int count[17] = {};
  for (int dy = -half; dy <= half; ++dy)
    for (int dx = -half; dx <= half; ++dx) {
      const QPoint p(x + dx, y + dy);
      if (!picture.rect().contains(p)) continue;
      const int c = ColourIndex(picture.pixel(p));
      ++count[c < 0 ? 16 : c];
    }
  int best = 0;
  for (int c = 1; c < 17; ++c)
    if (count[c] > count[best]) best = c;
  return best == 16 ? -1 : best;
}
inline int MostColour(const QImage& picture, const QPoint& p, int half = 4) {
  return MostColour(picture, p.x(), p.y(), half);
}

// Pixels of the colour inside the rectangle.
inline int CountColour(const QImage& picture, const QRect& area, int colour) {
  int n = 0;
  const QRect r = area.intersected(picture.rect());
  for (int y = r.top(); y <= r.bottom(); ++y)
    for (int x = r.left(); x <= r.right(); ++x)
      if (ColourIndex(picture.pixel(x, y)) == colour) ++n;
  return n;
}

// A place of the inside view's sky near the top centre, below the title
// band and clear of the grid lines.
inline QPoint SkyPlace() {
  return QPoint((MaxX() + 1) * 54 / 100, View.TitleBase + (MaxY() + 1) / 20);
}

// A place on the lit part (lit = true) or on the dark part of a disc of the
// outside view at (x, y) with radius r: on the line from the centre towards
// the Sun, halfway between the terminator and the limb. The terminator
// crosses that line at r sin f, f being the light's angle out of the picture
// plane: on the Sun's side when the light comes from behind the picture (a
// crescent), on the other side when it comes from the viewer's side. Width
// is the length of the part of the line that has the colour.
struct TDiscPart {
  QPoint Place;
  long double Width = 0;
};

inline TDiscPart PartOfDisc(int x, int y, int r, bool lit) {
  TVector D = View.SunVec;
  if (View.Perspective != 2) RotateVector(View.ViewMatrix, D);
  // Perspectives 0 and 1 look down from +Z; perspective 2 has its third
  // axis pointing away from the viewer.
  const long double towardsViewer = View.Perspective == 2 ? -D.Z : D.Z;
  const long double inPlane = std::hypot(D.X, D.Y);
  const long double b = r * std::fabs(D.Z) / std::hypot(inPlane, D.Z);
  const long double terminator = towardsViewer > 0 ? -b : b;
  const long double along = lit ? (terminator + r) / 2 : (terminator - r) / 2;
  TDiscPart part;
  part.Place = QPoint(x + static_cast<int>(std::lround(along * D.X / inPlane)),
                      y - static_cast<int>(std::lround(along * D.Y / inPlane)));
  part.Width = lit ? r - terminator : terminator + r;
  return part;
}
inline TDiscPart EarthPart(bool lit) {
  return PartOfDisc(View.EarthCentreX, View.EarthCentreY, View.EarthRadiusPx, lit);
}
inline TDiscPart MoonPart(bool lit) {
  int x = 0, y = 0;
  MoonPixel(x, y);
  return PartOfDisc(x, y, View.MoonRadiusPx, lit);
}

// The outside view's Earth and Moon in the picture, each lit on the side of
// the Sun, at the places the views' state gives. A part too narrow to look
// at (a thin crescent, or the dark rim of a nearly full disc) is left out;
// the other part is then wide.
inline void ExpectDiscPart(const QImage& picture, const TDiscPart& part, int colour, int half) {
  if (part.Width < 2 * half + 6) return;
  EXPECT_EQ(MostColour(picture, part.Place, half), colour)
      << "at " << part.Place.x() << "," << part.Place.y();
}
inline void ExpectEarthAndMoon(const QImage& picture) {
  ExpectDiscPart(picture, EarthPart(true), LightBlue, 4);
  ExpectDiscPart(picture, EarthPart(false), DarkGray, 4);
  ExpectDiscPart(picture, MoonPart(true), LightGray, 2);
  ExpectDiscPart(picture, MoonPart(false), DarkGray, 2);
}
