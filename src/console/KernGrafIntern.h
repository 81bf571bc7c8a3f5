// Internals of the console shared by its own modules (KernGraf, Kern2Graf,
// FensterGraf): the painter on the framebuffer and the fill state. Other
// subsystems draw only through the public console headers.
#pragma once

#include <QBrush>
#include <QPainter>
#include <QPen>

#include "KernGraf.h"

// True once a framebuffer exists; every drawing operation does nothing before.
bool ScreenAttached();

// A painter on the framebuffer with antialiasing off. When it ends, the main
// window is told that the picture changed.
class TScreenPainter : public QPainter {
public:
  TScreenPainter();
  ~TScreenPainter();
};

// ColourTable[index], the index clamped to 0..255 so that no caller can read
// outside the table.
QRgb ColourOf(int index);

// The pen for lines, outlines and borders in the current line width.
QPen LinePen(QRgb colour);

// The fill state of SetFillStyle: the brush of FillBar, FillPolygon and
// DrawEllipse and the border pen around them.
struct TFillState {
  QRgb FillColour;
  bool BorderSolid;
  int BorderColour;
};
TFillState GetFillState();
void SetFillState(const TFillState& state);
QBrush FillBrush();
QPen BorderPen(); // Qt::NoPen while the border style is none

// Tells the main window (if any) to present the framebuffer again.
void NotifyScreenChanged();
