// KernGraf, the screen: the framebuffer (QImage, RGB32) drawn on with
// QPainter, antialiasing off, the palette, the primitives, kept pictures and
// the damage records. One painter stays open between operations; pixels and
// one-pixel lines are set directly (KernGrafLinien.cpp).
#include <QGuiApplication>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

#include "KernGrafIntern.h"

// ---- module state --------------------------------------------------------------
int ScreenWidth = 0, ScreenHeight = 0;

namespace {

QImage Screen; // the framebuffer; null until AttachScreen
// Its pixels as ScreenPixels found them; no pixels: to be found again.
TScreenPixels ScreenRows;
void (*ScreenChangedHook)(const TRect&) = nullptr;

// The painter on the framebuffer (see ScreenPainter) and what it was last
// given: setting a pen, a brush or a font costs more than many a line, so
// what is already set is not set again. Opening the painter forgets it all.
QPainter Painter;
bool PainterEndsWithTheApplication = false;
enum class TPenKind { Unknown, None, Line, Text };
struct TPainterPen {
  TPenKind Kind = TPenKind::Unknown;
  QRgb Colour = 0;
  int Width = 0;
};
TPainterPen PainterPen;
bool PainterBrushKnown = false;
QRgb PainterBrushColour = 0;
bool PainterFontKnown = false;

// Fill state and pen.
QRgb FillColour = qRgb(255, 255, 255);
bool BorderSolid = true;
int BorderColour = 0;
int LineWidth = 1;

// Kept pictures; handle h is Pictures[h - 1], a null image once freed.
// PictureTexts[h - 1] are the texts it carries for the text record.
std::vector<QImage> Pictures;
std::vector<std::vector<TShownText>> PictureTexts;

const QRgb WindowColour = qRgb(255, 255, 255);

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int ClampByte(long long v) {
  return static_cast<int>(std::clamp<long long>(v, 0, 255));
}

QPen LinePen(QRgb colour) {
  QPen pen{QColor(colour)};
  pen.setWidth(LineWidth);
  if (LineWidth <= 1) {
    // Square ends set both end points of a thin line (see DrawLine).
    pen.setCapStyle(Qt::SquareCap);
  } else if (LineWidth == 2) {
    // At two pixels a round end is a square one, and square ends stroke
    // twice as fast; connected lines overlap at their joints without notches.
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
  } else {
    // Wide pens of the window system have round ends and joins, so
    // connected wide lines meet without notches.
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
  }
  return pen;
}

// Gives the painter the pen unless it has it already; the QPen itself is
// made only when it changes.
void UsePen(TPenKind kind, QRgb colour) {
  QPainter& painter = ScreenPainter();
  const int width = kind == TPenKind::Line ? LineWidth : 0;
  if (PainterPen.Kind == kind && PainterPen.Colour == colour && PainterPen.Width == width) return;
  if (kind == TPenKind::Line)
    painter.setPen(LinePen(colour));
  else if (kind == TPenKind::Text)
    painter.setPen(QPen(QColor(colour)));
  else
    painter.setPen(Qt::NoPen);
  PainterPen = {kind, colour, width};
}

// How far a line or an outline of the current pen may reach beyond the
// points it joins: half the width for the ends, more at a mitre, and a pixel
// for the rounding.
long long PenReach() {
  return 2LL * LineWidth + 2;
}

const QImage* PictureAt(TPicture picture) {
  if (picture < 1 || static_cast<size_t>(picture) > Pictures.size()) return nullptr;
  const QImage& image = Pictures[static_cast<size_t>(picture) - 1];
  return image.isNull() ? nullptr : &image;
}

// The rectangle of the screen that a picture put at (x, y) paints.
TRect PaintedBox(int x, int y, int width, int height) {
  return FigureBox(x, y, static_cast<long long>(x) + width - 1,
                   static_cast<long long>(y) + height - 1, 0);
}

} // namespace

// ---- internals shared with the other console modules -------------------------------
bool ScreenAttached() {
  return !Screen.isNull();
}

QImage& Framebuffer() {
  return Screen;
}

const TScreenPixels& ScreenPixels() {
  if (ScreenRows.Pixels == nullptr && !Screen.isNull()) {
    // bits() makes the framebuffer the only holder of its pixels.
    ScreenRows.Pixels = reinterpret_cast<QRgb*>(Screen.bits());
    ScreenRows.PixelsPerRow = Screen.bytesPerLine() / static_cast<qsizetype>(sizeof(QRgb));
    ScreenRows.Width = Screen.width();
    ScreenRows.Height = Screen.height();
  }
  return ScreenRows;
}

QPainter& ScreenPainter() {
  if (!Painter.isActive()) {
    Painter.begin(&Screen);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setRenderHint(QPainter::TextAntialiasing, false);
    PainterPen = TPainterPen();
    PainterBrushKnown = false;
    PainterFontKnown = false;
    // The painter ends with the application, not after it at the program's
    // very end, when the fonts it holds are gone.
    if (!PainterEndsWithTheApplication) {
      PainterEndsWithTheApplication = true;
      qAddPostRoutine(EndScreenPainter);
    }
  }
  return Painter;
}

void EndScreenPainter() {
  if (Painter.isActive()) Painter.end();
}

QRgb ColourOf(int index) {
  return ColourTable[std::clamp(index, 0, 255)];
}

void UseLinePen(QRgb colour) {
  UsePen(TPenKind::Line, colour);
}

void UseBorderPen() {
  if (BorderSolid)
    UsePen(TPenKind::Line, ColourOf(BorderColour));
  else
    UsePen(TPenKind::None, 0);
}

void UseTextPen(QRgb colour) {
  UsePen(TPenKind::Text, colour);
}

void UseFillBrush() {
  QPainter& painter = ScreenPainter();
  if (PainterBrushKnown && PainterBrushColour == FillColour) return;
  painter.setBrush(QBrush(QColor(FillColour)));
  PainterBrushKnown = true;
  PainterBrushColour = FillColour;
}

void UseCurrentFont() {
  QPainter& painter = ScreenPainter();
  if (PainterFontKnown) return;
  painter.setFont(ConsoleFont());
  PainterFontKnown = true;
}

void ForgetPainterFont() {
  PainterFontKnown = false;
}

int CurrentLineWidth() {
  return LineWidth;
}

TFillState GetFillState() {
  return {FillColour, BorderSolid, BorderColour};
}

void SetFillState(const TFillState& state) {
  FillColour = state.FillColour;
  BorderSolid = state.BorderSolid;
  BorderColour = state.BorderColour;
}

TRect WholeScreen() {
  return {0, 0, Screen.width(), Screen.height()};
}

TRect FigureBox(long long x1, long long y1, long long x2, long long y2, long long margin) {
  // Just outside the screen is as good as any further.
  auto clampX = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.width() + 1));
  };
  auto clampY = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.height() + 1));
  };
  return {clampX(std::min(x1, x2) - margin), clampY(std::min(y1, y2) - margin),
          clampX(std::max(x1, x2) + margin + 1), clampY(std::max(y1, y2) + margin + 1)};
}

void NotifyScreenChanged(const TRect& drawn) {
  if (GatherDamage(drawn)) return;
  ReportDamage(drawn);
  if (ScreenChangedHook) ScreenChangedHook(drawn);
}

// ---- module start ------------------------------------------------------------------
void StartKernGraf() {
  SetTextJustify(0, 0);
  FillColour = WindowColour;
  BorderSolid = true;
  BorderColour = 0;
  SetTextBackground(0);
  LineWidth = 1;
}

// ---- screen ------------------------------------------------------------------------
void AttachScreen(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const bool first = Screen.isNull();
  if (!first && Screen.width() == width && Screen.height() == height) return;
  EndScreenPainter();
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(WindowColour);
  if (!first) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, Screen);
  }
  Screen = resized;
  ScreenRows = {};
  if (first) {
    // The window's start font and the text cursor one character in.
    ApplyFont();
    TextCursorX = CharWidth;
    TextCursorY = CharHeight;
  }
  NotifyScreenChanged(WholeScreen());
}

void SetScreenSize(int width, int height) {
  ScreenWidth = width;
  ScreenHeight = height;
}

int MaxX() {
  return Screen.width() - 1;
}
int MaxY() {
  return Screen.height() - 1;
}
const QImage& ScreenImage() {
  EndScreenPainter();
  ScreenRows = {}; // the caller may keep a copy, which must not change
  return Screen;
}
const QImage& ScreenToPresent() {
  return Screen;
}
void SetScreenChangedHook(void (*hook)(const TRect&)) {
  ScreenChangedHook = hook;
}

// ---- primitives --------------------------------------------------------------------
void ClearScreen() {
  if (!ScreenAttached()) return;
  Screen.fill(WindowColour);
  if (TextsWatched()) RecordCover(QRegion(Screen.rect()));
  NotifyScreenChanged(WholeScreen());
}

void PutPixel(int x, int y, int colour) {
  // Straight into the row: a globe sets thousands of pixels a step, and
  // QImage::setPixel looks up the format for each of them.
  const TScreenPixels& screen = ScreenPixels();
  if (x < 0 || y < 0 || x >= screen.Width || y >= screen.Height) return;
  screen.Pixels[y * screen.PixelsPerRow + x] = ColourOf(colour);
  NotifyScreenChanged({x, y, x + 1, y + 1});
}

TColourValue GetPixel(int x, int y) {
  return Screen.valid(x, y) ? Screen.pixel(x, y) : qRgb(0, 0, 0);
}

void DrawLine(int x1, int y1, int x2, int y2, int colour) {
  if (!ScreenAttached()) return;
  // Qt's flat-ended thin lines leave out the lower or right end, whichever
  // way the line runs; the original left out the end point. So the line is
  // drawn with both ends and the end pixel gets its old colour back (which
  // also leaves a line of length 0 undrawn, as before).
  const bool thin = LineWidth <= 1;
  if (!thin || !DrawThinLineWithoutEnd(x1, y1, x2, y2, ColourOf(colour))) {
    const bool endOnScreen = Screen.valid(x2, y2);
    const QRgb underEnd = endOnScreen ? Screen.pixel(x2, y2) : 0;
    UseLinePen(ColourOf(colour));
    ScreenPainter().drawLine(QPointF(x1, y1), QPointF(x2, y2));
    if (thin && endOnScreen) Screen.setPixel(x2, y2, underEnd);
    NotifyScreenChanged(FigureBox(x1, y1, x2, y2, PenReach()));
    return;
  }
  // A line set pixel by pixel lies within its ends; a level or upright one
  // does not even reach its end pixel, which matters where it ends at the
  // edge of another area (the horizon line of the outside view at the panel).
  TRect drawn = FigureBox(x1, y1, x2, y2, 0);
  if (y1 == y2) {
    if (x2 > x1) drawn.Right = x2;
    if (x2 < x1) drawn.Left = x2 + 1;
  } else if (x1 == x2) {
    if (y2 > y1) drawn.Bottom = y2;
    if (y2 < y1) drawn.Top = y2 + 1;
  }
  NotifyScreenChanged(drawn);
}

void SetLineWidth(int width) {
  LineWidth = std::clamp(width, 1, 1000);
}

void SetFillStyle(int intensity, int colour, int borderColour) {
  const long double level =
      std::clamp<int32_t>(RoundEven(static_cast<long double>(intensity) * 1.15L), 0, 255);
  const QRgb full = ColourOf(colour);
  auto component = [level](int c) {
    return ClampByte(RoundEven(static_cast<long double>(c) / 255 * level));
  };
  FillColour = qRgb(component(qRed(full)), component(qGreen(full)), component(qBlue(full)));
  BorderSolid = colour != borderColour;
  BorderColour = borderColour;
}

void FillBar(int x, int y, int width, int height) {
  if (!ScreenAttached()) return;
  const long long right = static_cast<long long>(x) + width;
  const long long bottom = static_cast<long long>(y) + height;
  // Only the part on the framebuffer matters; clamping keeps QRect in range.
  auto clampX = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.width() + 1));
  };
  auto clampY = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.height() + 1));
  };
  const int left = clampX(std::min<long long>(x, right)),
            rightEdge = clampX(std::max<long long>(x, right));
  const int top = clampY(std::min<long long>(y, bottom)),
            bottomEdge = clampY(std::max<long long>(y, bottom));
  const QRect filled(left, top, rightEdge - left, bottomEdge - top);
  ScreenPainter().fillRect(filled, QColor(FillColour));
  if (TextsWatched()) RecordCover(QRegion(filled));
  NotifyScreenChanged({left, top, rightEdge, bottomEdge});
  if (!BorderSolid) return;
  const int r = ClampToInt(right), b = ClampToInt(bottom);
  DrawLine(x, y, r, y, BorderColour);
  DrawLine(r, y, r, b, BorderColour);
  DrawLine(r, b, x, b, BorderColour);
  DrawLine(x, b, x, y, BorderColour);
}

void FillPolygon(int n, const TPoint* points) {
  if (!ScreenAttached() || n < 1 || points == nullptr) return;
  QPolygon polygon(n);
  long long left = points[0].X, right = points[0].X, top = points[0].Y, bottom = points[0].Y;
  for (int i = 0; i < n; ++i) {
    polygon.setPoint(i, points[i].X, points[i].Y);
    left = std::min<long long>(left, points[i].X);
    right = std::max<long long>(right, points[i].X);
    top = std::min<long long>(top, points[i].Y);
    bottom = std::max<long long>(bottom, points[i].Y);
  }
  UseFillBrush();
  UseBorderPen();
  ScreenPainter().drawPolygon(polygon, Qt::OddEvenFill);
  if (TextsWatched()) RecordCover(QRegion(polygon, Qt::OddEvenFill));
  NotifyScreenChanged(FigureBox(left, top, right, bottom, PenReach()));
}

// ---- pictures ------------------------------------------------------------------------
QImage GrabScreen(int left, int top, int right, int bottom) {
  if (!ScreenAttached()) return {};
  const long long width = static_cast<long long>(right) - left + 1;
  const long long height = static_cast<long long>(bottom) - top + 1;
  // Parts outside the framebuffer come out black. Absurd sizes give no picture
  // rather than an allocation of gigabytes.
  if (width <= 0 || height <= 0 || width > 32767 || height > 32767) return {};
  return Screen.copy(left, top, static_cast<int>(width), static_cast<int>(height));
}

TPicture GrabPicture(int left, int top, int right, int bottom) {
  QImage picture = GrabScreen(left, top, right, bottom);
  if (picture.isNull()) return 0;
  size_t slot = 0;
  while (slot < Pictures.size() && !Pictures[slot].isNull()) ++slot;
  if (slot == Pictures.size()) {
    Pictures.emplace_back();
    PictureTexts.emplace_back();
  }
  Pictures[slot] = std::move(picture);
  PictureTexts[slot] = TextsToCarry({left, top, right + 1, bottom + 1});
  return static_cast<TPicture>(slot + 1);
}

QImage PictureImage(TPicture picture) {
  const QImage* image = PictureAt(picture);
  return image ? *image : QImage();
}

void DrawImage(const QImage& picture, int x, int y) {
  if (!ScreenAttached() || picture.isNull()) return;
  ScreenPainter().drawImage(QPointF(x, y), picture);
  const TRect painted = PaintedBox(x, y, picture.width(), picture.height());
  RecordCover(painted);
  NotifyScreenChanged(painted);
}

namespace {

// Copies the part of a kept picture to the screen with its top left corner
// at (x, y), row by row. Kept pictures have the framebuffer's format, so no
// pixel needs converting; Qt's drawImage would hand a large copy to worker
// threads, which costs more in waking them than the copy itself.
void CopyToScreen(const QImage& picture, QRect source, long long x, long long y) {
  if (picture.format() != Screen.format()) {
    ScreenPainter().drawImage(QPointF(static_cast<qreal>(x), static_cast<qreal>(y)), picture,
                              source);
    return;
  }
  // Only the part that lands on the screen.
  const long long left = std::max<long long>(x, 0), top = std::max<long long>(y, 0);
  const long long right = std::min<long long>(x + source.width(), Screen.width());
  const long long bottom = std::min<long long>(y + source.height(), Screen.height());
  if (right <= left || bottom <= top) return;
  const int fromX = source.left() + static_cast<int>(left - x);
  const int fromY = source.top() + static_cast<int>(top - y);
  const size_t bytes = static_cast<size_t>(right - left) * sizeof(QRgb);
  for (long long row = top; row < bottom; ++row) {
    const uchar* from = picture.constScanLine(fromY + static_cast<int>(row - top)) +
                        static_cast<size_t>(fromX) * sizeof(QRgb);
    uchar* to = Screen.scanLine(static_cast<int>(row)) + static_cast<size_t>(left) * sizeof(QRgb);
    std::memcpy(to, from, bytes);
  }
}

} // namespace

void PutPicture(TPicture picture, int x, int y) {
  const QImage* image = PictureAt(picture);
  if (!ScreenAttached() || image == nullptr) return;
  CopyToScreen(*image, image->rect(), x, y);
  const TRect painted = PaintedBox(x, y, image->width(), image->height());
  RecordPicturePut(PictureTexts[static_cast<size_t>(picture) - 1], painted, x, y);
  NotifyScreenChanged(painted);
}

void PutPicturePart(TPicture picture, const TRect& part, int x, int y) {
  const QImage* image = PictureAt(picture);
  if (!ScreenAttached() || image == nullptr) return;
  const QRect source = QRect(QPoint(part.Left, part.Top), QPoint(part.Right - 1, part.Bottom - 1))
                           .intersected(image->rect());
  if (source.isEmpty()) return;
  const long long left = static_cast<long long>(x) + source.left();
  const long long top = static_cast<long long>(y) + source.top();
  CopyToScreen(*image, source, left, top);
  const TRect painted =
      FigureBox(left, top, left + source.width() - 1, top + source.height() - 1, 0);
  RecordPicturePut(PictureTexts[static_cast<size_t>(picture) - 1], painted, x, y);
  NotifyScreenChanged(painted);
}

int PictureWidth(TPicture picture) {
  const QImage* image = PictureAt(picture);
  return image ? image->width() : 0;
}

int PictureHeight(TPicture picture) {
  const QImage* image = PictureAt(picture);
  return image ? image->height() : 0;
}

void FreePicture(TPicture picture) {
  if (PictureAt(picture) == nullptr) return;
  Pictures[static_cast<size_t>(picture) - 1] = QImage();
  PictureTexts[static_cast<size_t>(picture) - 1].clear();
}
