// KernGraf in the browser, the text: fonts (the Windows names on the
// Liberation web fonts of the page), text metrics from the canvas, texts at
// a point with alignment and background, and the text cursor. The page
// draws a text's glyphs without antialiasing into the framebuffer
// (LunotropPage.drawText), as the desktop draws its texts.
#include <emscripten.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

#include "WebIntern.h"

// ---- module state --------------------------------------------------------------
int CharWidth = 0, CharHeight = 0;

namespace {

int HorizontalJustify = 0, VerticalJustify = 0;
int TextBackground = 0;

// The current font as the page knows it and its line metrics.
struct TWebFont {
  int Family = 0; // 0 Liberation Mono, 1 Liberation Sans, 2 Liberation Serif
  int PixelSize = 13;
  bool Bold = false;
  int Ascent = 0, Descent = 0;
};
TWebFont Font;
bool FontReady = false;

int FamilyOf(const std::string& name) {
  std::string key = name;
  for (char& c : key)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  if (key == "courier" || key == "courier new") return 0;
  if (key == "times new roman") return 2;
  return 1; // "MS Sans Serif", "Arial", "System" and the rest
}

// Control characters have no glyph: they are left out (the bell of the
// number input draws nothing); a tab stands for one blank.
std::string DrawableText(const std::string& text) {
  std::string result;
  result.reserve(text.size());
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (b == '\t')
      result += ' ';
    else if (b >= 0x20 && b != 0x7F)
      result += c;
  }
  return result;
}

const TWebFont& CurrentWebFont() {
  if (!FontReady) ApplyFont();
  return Font;
}

} // namespace

EM_JS(int, JsFontAscent, (int family, int pixelSize, int bold),
      { return LunotropPage.fontAscent(family, pixelSize, bold); });
EM_JS(int, JsFontDescent, (int family, int pixelSize, int bold),
      { return LunotropPage.fontDescent(family, pixelSize, bold); });
EM_JS(int, JsTextWidth, (int family, int pixelSize, int bold, const char* text),
      { return LunotropPage.textWidth(family, pixelSize, bold, UTF8ToString(text)); });
EM_JS(void, JsDrawText,
      (int family, int pixelSize, int bold, const char* text, int left, int top, int ascent,
       int height, uint32_t colour, uint32_t* pixels, int screenWidth, int screenHeight),
      {
        LunotropPage.drawText(family, pixelSize, bold, UTF8ToString(text), left, top, ascent,
                              height, colour, pixels, screenWidth, screenHeight);
      });

void ApplyFont() {
  Font.Family = FamilyOf(CurrentFontName());
  Font.PixelSize = std::clamp(PointsToPixels(CurrentFontSize()), 1, 1000);
  Font.Bold = CurrentFontBold();
  Font.Ascent = JsFontAscent(Font.Family, Font.PixelSize, Font.Bold);
  Font.Descent = JsFontDescent(Font.Family, Font.PixelSize, Font.Bold);
  FontReady = true;
  CharWidth = JsTextWidth(Font.Family, Font.PixelSize, Font.Bold, "T");
  CharHeight = Font.Ascent + Font.Descent;
}

int PointsToPixels(int points) {
  const long long magnitude = std::llabs(static_cast<long long>(points));
  return std::clamp<int32_t>(RoundEven(static_cast<long double>(magnitude) * 96 / 72), 1, 1000);
}

void SetTextJustify(int horizontal, int vertical) {
  HorizontalJustify = horizontal;
  VerticalJustify = vertical;
}

void SetTextBackground(int colour) {
  TextBackground = colour;
}

int TextWidth(const std::string& text) {
  const TWebFont& font = CurrentWebFont();
  return JsTextWidth(font.Family, font.PixelSize, font.Bold, DrawableText(text).c_str());
}

int TextHeight(const std::string& /*text*/) {
  const TWebFont& font = CurrentWebFont();
  return font.Ascent + font.Descent;
}

void OutTextXY(int x, int y, const std::string& text, int colour) {
  if (!ScreenAttached()) return;
  const TWebFont& font = CurrentWebFont();
  const std::string drawable = DrawableText(text);
  const int w = JsTextWidth(font.Family, font.PixelSize, font.Bold, drawable.c_str());
  const int h = font.Ascent + font.Descent;
  long long left = x, top = y;
  if (HorizontalJustify == 1)
    left -= w / 2;
  else if (HorizontalJustify != 0)
    left -= w;
  if (VerticalJustify == 0)
    top -= h;
  else if (VerticalJustify == 1)
    top -= h / 2;
  if (left + w < 0 || left > MaxX() + 1 || top + h < 0 || top > MaxY() + 1) return;
  if (TextBackground != -1 && w > 0)
    FillRectPixels(left, top, left + w, top + h, ColourOf(TextBackground));
  TFramebuffer& screen = Framebuffer();
  if (!drawable.empty())
    JsDrawText(font.Family, font.PixelSize, font.Bold, drawable.c_str(), static_cast<int>(left),
               static_cast<int>(top), font.Ascent, h, ToStored(ColourOf(colour)),
               screen.Pixels.data(), screen.Width, screen.Height);
  NotifyScreenChanged(FigureBox(left, top, left + w - 1, top + h - 1, h));
}
