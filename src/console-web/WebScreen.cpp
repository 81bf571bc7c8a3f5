// KernGraf in the browser, the screen: the framebuffer in the module's
// memory, the palette, the primitives, kept pictures and damage records.
// The page shows the framebuffer on its canvas (WebPage.cpp); drawing here
// follows the desktop's pixel rules, so a picture does not depend on the
// browser's antialiasing.
#include <algorithm>
#include <climits>
#include <cmath>

#include "WebIntern.h"

// ---- module state --------------------------------------------------------------
int ScreenWidth = 0, ScreenHeight = 0;

namespace {

TFramebuffer Screen;

TColourValue FillColour = 0xFFFFFFFFu;
bool BorderSolid = true;
int BorderColour = 0;
int LineWidth = 1;

// Kept pictures; handle h is Pictures[h - 1], empty once freed.
struct TKeptPicture {
  int Width = 0, Height = 0;
  std::vector<uint32_t> Pixels;
};
std::vector<TKeptPicture> Pictures;

constexpr TColourValue WindowColour = 0xFFFFFFFFu;

TColourValue Rgb(int red, int green, int blue) {
  return 0xFF000000u | (static_cast<uint32_t>(red) << 16) | (static_cast<uint32_t>(green) << 8) |
         static_cast<uint32_t>(blue);
}

int ClampByte(long long v) {
  return static_cast<int>(std::clamp<long long>(v, 0, 255));
}

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

long long PenReach() {
  return 2LL * LineWidth + 2;
}

const TKeptPicture* PictureAt(TPicture picture) {
  if (picture < 1 || static_cast<size_t>(picture) > Pictures.size()) return nullptr;
  const TKeptPicture& kept = Pictures[static_cast<size_t>(picture) - 1];
  return kept.Pixels.empty() ? nullptr : &kept;
}

// Copies the part of a kept picture inside source (picture pixels) so that
// the picture's corner lands on (x, y).
void DrawPicturePixels(const TKeptPicture& picture, const TRect& source, long long x, long long y) {
  for (int row = source.Top; row < source.Bottom; ++row) {
    const long long screenY = y + row;
    if (screenY < 0 || screenY >= Screen.Height) continue;
    for (int column = source.Left; column < source.Right; ++column) {
      const long long screenX = x + column;
      if (screenX < 0 || screenX >= Screen.Width) continue;
      Screen.Pixels[static_cast<size_t>(screenY * Screen.Width + screenX)] =
          picture.Pixels[static_cast<size_t>(row) * picture.Width + column];
    }
  }
}

} // namespace

// ---- internals -----------------------------------------------------------------------
TFramebuffer& Framebuffer() {
  return Screen;
}

bool ScreenAttached() {
  return !Screen.Pixels.empty();
}

TColourValue ColourOf(int index) {
  return ColourTable[std::clamp(index, 0, 255)];
}

TFillState GetFillState() {
  return {FillColour, BorderSolid, BorderColour};
}

void SetFillState(const TFillState& state) {
  FillColour = state.FillColour;
  BorderSolid = state.BorderSolid;
  BorderColour = state.BorderColour;
}

int CurrentLineWidth() {
  return LineWidth;
}

void StrokeBorder(const std::vector<TPoint>& points) {
  if (!BorderSolid || points.empty()) return;
  const TColourValue colour = ColourOf(BorderColour);
  for (size_t i = 0; i < points.size(); ++i) {
    const TPoint& a = points[i];
    const TPoint& b = points[(i + 1) % points.size()];
    if (LineWidth <= 1)
      ThinLinePixels(a.X, a.Y, b.X, b.Y, colour);
    else
      WideLinePixels(a.X, a.Y, b.X, b.Y, LineWidth, colour);
  }
}

TRect WholeScreen() {
  return {0, 0, Screen.Width, Screen.Height};
}

TRect FigureBox(long long x1, long long y1, long long x2, long long y2, long long margin) {
  auto clampX = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.Width + 1));
  };
  auto clampY = [](long long v) {
    return static_cast<int>(std::clamp<long long>(v, -1, Screen.Height + 1));
  };
  return {clampX(std::min(x1, x2) - margin), clampY(std::min(y1, y2) - margin),
          clampX(std::max(x1, x2) + margin + 1), clampY(std::max(y1, y2) + margin + 1)};
}

bool CopyScreen(int left, int top, int right, int bottom, int& width, int& height,
                std::vector<uint32_t>& pixels) {
  if (!ScreenAttached()) return false;
  const long long w = static_cast<long long>(right) - left + 1;
  const long long h = static_cast<long long>(bottom) - top + 1;
  if (w <= 0 || h <= 0 || w > 32767 || h > 32767) return false;
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  pixels.assign(static_cast<size_t>(w * h), ToStored(0xFF000000u));
  for (int row = 0; row < height; ++row) {
    const long long y = static_cast<long long>(top) + row;
    if (y < 0 || y >= Screen.Height) continue;
    for (int column = 0; column < width; ++column) {
      const long long x = static_cast<long long>(left) + column;
      if (x < 0 || x >= Screen.Width) continue;
      pixels[static_cast<size_t>(row) * width + column] =
          Screen.Pixels[static_cast<size_t>(y * Screen.Width + x)];
    }
  }
  return true;
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
  const bool first = !ScreenAttached();
  if (!first && Screen.Width == width && Screen.Height == height) return;
  TFramebuffer resized;
  resized.Width = width;
  resized.Height = height;
  resized.Pixels.assign(static_cast<size_t>(width) * height, ToStored(WindowColour));
  for (int y = 0; y < std::min(height, Screen.Height); ++y)
    std::copy_n(Screen.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * Screen.Width,
                std::min(width, Screen.Width),
                resized.Pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
  Screen = std::move(resized);
  if (first) {
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
  return Screen.Width - 1;
}

int MaxY() {
  return Screen.Height - 1;
}

// ---- primitives --------------------------------------------------------------------
void ClearScreen() {
  if (!ScreenAttached()) return;
  std::fill(Screen.Pixels.begin(), Screen.Pixels.end(), ToStored(WindowColour));
  NotifyScreenChanged(WholeScreen());
}

void PutPixel(int x, int y, int colour) {
  if (!Screen.Valid(x, y)) return;
  Screen.Pixels[static_cast<size_t>(y) * Screen.Width + x] = ToStored(ColourOf(colour));
  NotifyScreenChanged({x, y, x + 1, y + 1});
}

TColourValue GetPixel(int x, int y) {
  if (!Screen.Valid(x, y)) return 0xFF000000u;
  return FromStored(Screen.Pixels[static_cast<size_t>(y) * Screen.Width + x]);
}

void DrawLine(int x1, int y1, int x2, int y2, int colour) {
  if (!ScreenAttached()) return;
  const TColourValue value = ColourOf(colour);
  if (LineWidth <= 1) {
    // Both ends are set, then the end pixel gets its old colour back: the
    // console's lines leave out their end point.
    const bool endOnScreen = Screen.Valid(x2, y2);
    const uint32_t underEnd =
        endOnScreen ? Screen.Pixels[static_cast<size_t>(y2) * Screen.Width + x2] : 0;
    ThinLinePixels(x1, y1, x2, y2, value);
    if (endOnScreen) Screen.Pixels[static_cast<size_t>(y2) * Screen.Width + x2] = underEnd;
  } else {
    WideLinePixels(x1, y1, x2, y2, LineWidth, value);
  }
  NotifyScreenChanged(FigureBox(x1, y1, x2, y2, PenReach()));
}

void DrawPolyline(int n, const TPoint* points, int colour) {
  for (int i = 1; i < n; ++i)
    DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, colour);
}

void SetLineWidth(int width) {
  LineWidth = std::clamp(width, 1, 1000);
}

void SetFillStyle(int intensity, int colour, int borderColour) {
  const long double level =
      std::clamp<int32_t>(RoundEven(static_cast<long double>(intensity) * 1.15L), 0, 255);
  const TColourValue full = ColourOf(colour);
  auto component = [level](int c) {
    return ClampByte(RoundEven(static_cast<long double>(c) / 255 * level));
  };
  FillColour =
      Rgb(component((full >> 16) & 0xFF), component((full >> 8) & 0xFF), component(full & 0xFF));
  BorderSolid = colour != borderColour;
  BorderColour = borderColour;
}

void FillBar(int x, int y, int width, int height) {
  if (!ScreenAttached()) return;
  const long long right = static_cast<long long>(x) + width;
  const long long bottom = static_cast<long long>(y) + height;
  const long long left = std::min<long long>(x, right), rightEdge = std::max<long long>(x, right);
  const long long top = std::min<long long>(y, bottom), bottomEdge = std::max<long long>(y, bottom);
  FillRectPixels(left, top, rightEdge, bottomEdge, FillColour);
  NotifyScreenChanged(FigureBox(left, top, rightEdge - 1, bottomEdge - 1, 0));
  if (!BorderSolid) return;
  const int r = ClampToInt(right), b = ClampToInt(bottom);
  DrawLine(x, y, r, y, BorderColour);
  DrawLine(r, y, r, b, BorderColour);
  DrawLine(r, b, x, b, BorderColour);
  DrawLine(x, b, x, y, BorderColour);
}

void FillPolygon(int n, const TPoint* points) {
  if (!ScreenAttached() || n < 1 || points == nullptr) return;
  std::vector<TPointF> corners(static_cast<size_t>(n));
  std::vector<TPoint> outline(points, points + n);
  long long left = points[0].X, right = points[0].X, top = points[0].Y, bottom = points[0].Y;
  for (int i = 0; i < n; ++i) {
    // The outline runs through the pixel centres; the fill covers the
    // pixels whose centres lie inside it.
    corners[static_cast<size_t>(i)] = {points[i].X + 0.5, points[i].Y + 0.5};
    left = std::min<long long>(left, points[i].X);
    right = std::max<long long>(right, points[i].X);
    top = std::min<long long>(top, points[i].Y);
    bottom = std::max<long long>(bottom, points[i].Y);
  }
  FillPolygonPixels(corners, FillColour);
  StrokeBorder(outline);
  NotifyScreenChanged(FigureBox(left, top, right, bottom, PenReach()));
}

// ---- pictures ------------------------------------------------------------------------
TPicture GrabPicture(int left, int top, int right, int bottom) {
  TKeptPicture picture;
  if (!CopyScreen(left, top, right, bottom, picture.Width, picture.Height, picture.Pixels))
    return 0;
  for (size_t i = 0; i < Pictures.size(); ++i) {
    if (Pictures[i].Pixels.empty()) {
      Pictures[i] = std::move(picture);
      return static_cast<TPicture>(i + 1);
    }
  }
  Pictures.push_back(std::move(picture));
  return static_cast<TPicture>(Pictures.size());
}

void PutPicture(TPicture picture, int x, int y) {
  const TKeptPicture* kept = PictureAt(picture);
  if (!ScreenAttached() || kept == nullptr) return;
  DrawPicturePixels(*kept, {0, 0, kept->Width, kept->Height}, x, y);
  NotifyScreenChanged(FigureBox(x, y, static_cast<long long>(x) + kept->Width - 1,
                                static_cast<long long>(y) + kept->Height - 1, 0));
}

void PutPicturePart(TPicture picture, const TRect& part, int x, int y) {
  const TKeptPicture* kept = PictureAt(picture);
  if (!ScreenAttached() || kept == nullptr) return;
  const TRect source{std::max(part.Left, 0), std::max(part.Top, 0),
                     std::min(part.Right, kept->Width), std::min(part.Bottom, kept->Height)};
  if (RectIsEmpty(source)) return;
  DrawPicturePixels(*kept, source, x, y);
  NotifyScreenChanged(FigureBox(static_cast<long long>(x) + source.Left,
                                static_cast<long long>(y) + source.Top,
                                static_cast<long long>(x) + source.Right - 1,
                                static_cast<long long>(y) + source.Bottom - 1, 0));
}

int PictureWidth(TPicture picture) {
  const TKeptPicture* kept = PictureAt(picture);
  return kept ? kept->Width : 0;
}

int PictureHeight(TPicture picture) {
  const TKeptPicture* kept = PictureAt(picture);
  return kept ? kept->Height : 0;
}

void FreePicture(TPicture picture) {
  if (PictureAt(picture) != nullptr) Pictures[static_cast<size_t>(picture) - 1] = TKeptPicture();
}

// ---- what was drawn --------------------------------------------------------------------
void NotifyScreenChanged(const TRect& drawn) {
  if (GatherDamage(drawn)) return;
  ReportDamage(drawn);
  MarkForPresent(drawn);
}
