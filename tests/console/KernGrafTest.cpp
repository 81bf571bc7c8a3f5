// The console's screen model, checked pixel by pixel on the framebuffer:
// palette, pixels, lines, filled bars and polygons, text and pictures.
#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "ConsoleTestHelpers.h"
#include "KernGraf.h"
#include "KernGrafQt.h"
#include "ModulGraf.h"

namespace {

const QRgb WhitePixel = qRgb(255, 255, 255);

class KernGrafTest : public ::testing::Test {
protected:
  void SetUp() override { ResetConsole(); }
};

// Number of pixels of the given colour in the rectangle (corners inclusive).
int CountColour(int left, int top, int right, int bottom, QRgb colour) {
  int count = 0;
  for (int y = top; y <= bottom; ++y)
    for (int x = left; x <= right; ++x)
      if (GetPixel(x, y) == colour) ++count;
  return count;
}

} // namespace

// ---- palette ---------------------------------------------------------------------------

TEST_F(KernGrafTest, PaletteMakesOnlyTheFirstWhitePure) {
  EXPECT_EQ(ColourTable[White], Rgb(255, 255, 255));
  EXPECT_EQ(ColourTable[31], Rgb(252, 252, 252));
  EXPECT_EQ(ColourTable[Red], Rgb(160, 28, 28));
  EXPECT_EQ(ColourTable[Red + 16], ColourTable[Red]);
  EXPECT_EQ(ColourTable[Yellow], Rgb(252, 252, 72));
  EXPECT_EQ(ColourTable[Black], Rgb(0, 0, 0));
  EXPECT_EQ(ColourTable[255], Rgb(252, 252, 252));
}

TEST_F(KernGrafTest, SetPaletteColourMultipliesAndClampsTheLevels) {
  SetPaletteColour(100, 2, 10, 20, 30);
  EXPECT_EQ(ColourTable[100], Rgb(20, 40, 60));
  SetPaletteColour(100, 5, 63, -1, 0);
  EXPECT_EQ(ColourTable[100], Rgb(255, 0, 0));
  SetPaletteColour(256, 1, 1, 1, 1); // no such entry: ignored
  SetPaletteColour(-1, 1, 1, 1, 1);
  EXPECT_EQ(ColourTable[255], Rgb(252, 252, 252));
}

TEST_F(KernGrafTest, ResetPaletteMakesTheTextBackgroundWhite) {
  SetTextBackground(Black);
  ResetPalette();
  OutTextXY(10, 40, "T", Black);
  // The text box's left column is background, not glyph.
  EXPECT_EQ(GetPixel(10, 40 - CharHeight), WhitePixel);
  SetTextBackground(Yellow);
  OutTextXY(10, 40, "T", Black);
  EXPECT_EQ(GetPixel(10, 40 - CharHeight), ColourTable[Yellow]);
}

// ---- pixels and lines ------------------------------------------------------------------

TEST_F(KernGrafTest, PutPixelClampsTheColourIndex) {
  SetPaletteColour(255, 1, 1, 2, 3);
  PutPixel(5, 5, 300);
  EXPECT_EQ(GetPixel(5, 5), Rgb(1, 2, 3));
  PutPixel(6, 5, -4);
  EXPECT_EQ(GetPixel(6, 5), ColourTable[0]);
  PutPixel(7, 5, LightGreen);
  EXPECT_EQ(GetPixel(7, 5), ColourTable[LightGreen]);
}

TEST_F(KernGrafTest, PutPixelOutsideTheFramebufferIsIgnored) {
  PutPixel(-1, 0, Black);
  PutPixel(MaxX() + 1, 0, Black);
  PutPixel(0, INT_MAX, Black);
  EXPECT_EQ(GetPixel(0, 0), WhitePixel);
  EXPECT_EQ(GetPixel(MaxX(), 0), WhitePixel);
  EXPECT_EQ(GetPixel(-1, 0), Rgb(0, 0, 0)); // outside reads black
}

TEST_F(KernGrafTest, LineLeavesItsEndPointUnset) {
  DrawLine(10, 10, 20, 10, Red);
  for (int x = 10; x < 20; ++x) EXPECT_EQ(GetPixel(x, 10), ColourTable[Red]) << x;
  EXPECT_EQ(GetPixel(20, 10), WhitePixel);
  EXPECT_EQ(GetPixel(10, 11), WhitePixel); // one pixel wide

  DrawLine(30, 40, 30, 30, Blue); // upwards
  EXPECT_EQ(GetPixel(30, 40), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(30, 31), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(30, 30), WhitePixel);

  DrawLine(50, 50, 55, 55, Green); // diagonal
  EXPECT_EQ(GetPixel(50, 50), ColourTable[Green]);
  EXPECT_EQ(GetPixel(54, 54), ColourTable[Green]);
  EXPECT_EQ(GetPixel(55, 55), WhitePixel);

  DrawLine(80, 60, 70, 55, Red); // to the upper left
  EXPECT_EQ(GetPixel(80, 60), ColourTable[Red]);
  EXPECT_EQ(GetPixel(70, 55), WhitePixel);

  DrawLine(5, 5, 5, 5, Black); // length 0: nothing
  EXPECT_EQ(GetPixel(5, 5), WhitePixel);
}

TEST_F(KernGrafTest, LineWidthAppliesToLines) {
  SetLineWidth(3);
  DrawLine(10, 50, 100, 50, Black);
  EXPECT_EQ(CountColour(50, 45, 50, 55, ColourTable[Black]), 3);
  SetLineWidth(2);
  DrawLine(10, 20, 100, 20, Black);
  EXPECT_EQ(CountColour(50, 15, 50, 25, ColourTable[Black]), 2);
  SetLineWidth(0); // below one pixel: one pixel
  DrawLine(10, 80, 100, 80, Black);
  EXPECT_EQ(CountColour(50, 75, 50, 85, ColourTable[Black]), 1);
}

TEST_F(KernGrafTest, LinesFarOffTheScreenDoNotCrash) {
  DrawLine(0, 100, INT_MAX, 100, Black);
  DrawLine(INT_MIN, INT_MIN, INT_MAX, INT_MAX, Black);
  SetLineWidth(4);
  DrawLine(-2147483647, 200, 2147483647, 200, Black);
  EXPECT_EQ(GetPixel(300, 100), ColourTable[Black]);
  EXPECT_EQ(GetPixel(300, 200), ColourTable[Black]);
}

// ---- fill style and bars -------------------------------------------------------------

TEST_F(KernGrafTest, FillStyleIntensityScalesTheColour) {
  SetFillStyle(100, White, White);
  FillBar(10, 10, 5, 5);
  EXPECT_EQ(GetPixel(12, 12), Rgb(115, 115, 115));
  SetFillStyle(0, White, White);
  FillBar(20, 10, 5, 5);
  EXPECT_EQ(GetPixel(22, 12), Rgb(0, 0, 0));
  SetFillStyle(222, Red, Red); // 222 * 1.15 is beyond 255: full colour
  FillBar(30, 10, 5, 5);
  EXPECT_EQ(GetPixel(32, 12), ColourTable[Red]);
  SetFillStyle(128, Red, Red); // level 147: 160 -> 92, 28 -> 16
  FillBar(40, 10, 5, 5);
  EXPECT_EQ(GetPixel(42, 12), Rgb(92, 16, 16));
  SetFillStyle(-50, Red, Red); // a negative intensity is black, not a wrapped colour
  FillBar(50, 10, 5, 5);
  EXPECT_EQ(GetPixel(52, 12), Rgb(0, 0, 0));
}

TEST_F(KernGrafTest, BarWithItsOwnColourAsBorderHasNoBorder) {
  SetFillStyle(255, Yellow, Yellow);
  FillBar(10, 10, 20, 10);
  EXPECT_EQ(GetPixel(10, 10), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(29, 19), ColourTable[Yellow]);
  // Right and bottom edges exclusive, and no border drawn on them.
  EXPECT_EQ(GetPixel(30, 15), WhitePixel);
  EXPECT_EQ(GetPixel(20, 20), WhitePixel);
  EXPECT_EQ(GetPixel(30, 20), WhitePixel);
}

TEST_F(KernGrafTest, BarBorderIsDrawnOnAllFourEdgesInclusive) {
  SetFillStyle(255, LightBlue, LightBlue);
  FillBar(0, 0, 100, 100);
  SetFillStyle(255, Black, White);
  FillBar(10, 10, 20, 10);
  EXPECT_EQ(GetPixel(15, 15), ColourTable[Black]);
  for (const QPoint edge : {QPoint(10, 10), QPoint(20, 10), QPoint(30, 10), QPoint(30, 15),
                            QPoint(30, 20), QPoint(20, 20), QPoint(10, 20), QPoint(10, 15)})
    EXPECT_EQ(GetPixel(edge.x(), edge.y()), ColourTable[White]) << edge.x() << "," << edge.y();
  EXPECT_EQ(GetPixel(11, 11), ColourTable[Black]);
  EXPECT_EQ(GetPixel(31, 21), ColourTable[LightBlue]);
  EXPECT_EQ(GetPixel(9, 9), ColourTable[LightBlue]);
}

TEST_F(KernGrafTest, LineWidthAppliesToBarBorders) {
  SetLineWidth(3);
  SetFillStyle(255, Yellow, Black);
  FillBar(50, 50, 40, 40);
  EXPECT_EQ(GetPixel(70, 51), ColourTable[Black]);
  EXPECT_EQ(GetPixel(70, 49), ColourTable[Black]);
  EXPECT_EQ(GetPixel(70, 70), ColourTable[Yellow]);
}

TEST_F(KernGrafTest, HugeBarsAreClippedNotOverflowed) {
  SetFillStyle(255, Green, Black);
  FillBar(INT_MAX - 5, INT_MAX - 5, INT_MAX, INT_MAX);
  FillBar(-10, -10, INT_MAX, INT_MAX);
  EXPECT_EQ(GetPixel(MaxX(), MaxY()), ColourTable[Green]);
  EXPECT_EQ(GetPixel(0, 0), ColourTable[Green]);
}

TEST_F(KernGrafTest, PolygonIsFilledAndOutlined) {
  SetFillStyle(255, Yellow, Blue);
  const TPoint triangle[3] = {{100, 100}, {200, 100}, {150, 180}};
  FillPolygon(3, triangle);
  EXPECT_EQ(GetPixel(150, 130), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(150, 100), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(150, 190), WhitePixel);
  SetFillStyle(255, Green, Green); // no border
  const TPoint square[4] = {{300, 100}, {340, 100}, {340, 140}, {300, 140}};
  FillPolygon(4, square);
  EXPECT_EQ(GetPixel(320, 120), ColourTable[Green]);
  EXPECT_EQ(GetPixel(320, 141), WhitePixel);
  FillPolygon(0, nullptr); // nothing to draw
}

TEST_F(KernGrafTest, ClearScreenMakesEverythingWhite) {
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  ClearScreen();
  EXPECT_EQ(GetPixel(0, 0), WhitePixel);
  EXPECT_EQ(GetPixel(MaxX(), MaxY()), WhitePixel);
}

// ---- text --------------------------------------------------------------------------------

TEST_F(KernGrafTest, CharacterCellIsTheLetterT) {
  SetFont("Courier", 10, 0);
  EXPECT_EQ(CharWidth, TextWidth("T"));
  EXPECT_EQ(CharHeight, TextHeight("T"));
  EXPECT_EQ(TextWidth("TTTT"), 4 * CharWidth); // a monospaced font
  EXPECT_EQ(TextWidth("iiii"), 4 * CharWidth);
  const int smallHeight = CharHeight;
  SetFontSize(20);
  EXPECT_GT(CharHeight, smallHeight);
  EXPECT_EQ(CurrentFontName(), "Courier");
  EXPECT_EQ(CurrentFontSize(), 20);
}

TEST_F(KernGrafTest, FontsMadeBeforeAreTheFontsAskedFor) {
  // Fonts are kept once made: switching back and forth between names, sizes
  // and weights must measure each as it was measured when first made.
  struct TAsked {
    const char* Name;
    int Size, Bold;
  };
  const TAsked asked[] = {
      {"Courier", 10, 0}, {"MS Sans Serif", 10, 1}, {"MS Sans Serif", 10, 0}, {"Courier", 20, 0}};
  int width[4], cell[4], height[4];
  for (int i = 0; i < 4; ++i) {
    SetFont(asked[i].Name, asked[i].Size, asked[i].Bold);
    width[i] = TextWidth("Mondphase");
    cell[i] = CharWidth;
    height[i] = CharHeight;
  }
  EXPECT_GT(width[1], width[2]); // bold is wider in a proportional font
  EXPECT_NE(width[2], width[0]);
  EXPECT_GT(width[3], width[0]);
  for (int round = 0; round < 3; ++round) {
    for (int i = 3; i >= 0; --i) {
      SetFont(asked[i].Name, asked[i].Size, asked[i].Bold);
      EXPECT_EQ(TextWidth("Mondphase"), width[i]) << asked[i].Name << " " << asked[i].Size;
      EXPECT_EQ(CharWidth, cell[i]);
      EXPECT_EQ(CharHeight, height[i]);
    }
  }
  // More fonts than are kept: the first is made again, the same as before.
  for (int size = 5; size < 40; ++size) SetFontSize(size);
  SetFont("Courier", 10, 0);
  EXPECT_EQ(TextWidth("Mondphase"), width[0]);
}

TEST_F(KernGrafTest, ATextDrawnAgainLooksAsItDidInItsOwnFont) {
  // Texts keep their shaping for the next time: the same text again gives
  // the same pixels, and in another font it is shaped for that font, not
  // drawn as it was in the first.
  auto drawn = [](const char* font, int size, int bold, int colour) {
    ClearScreen();
    SetFont(font, size, bold);
    SetTextJustify(0, 2);
    SetTextBackground(-1);
    OutTextXY(20, 20, "Mond: 44 % beleuchtet, 7.6 Tage", colour);
    return ScreenImage().copy(0, 0, 640, 120);
  };
  const QImage small = drawn("Courier", 10, 0, Yellow);
  const QImage large = drawn("Courier", 20, 0, Yellow);
  const QImage sans = drawn("MS Sans Serif", 10, 1, Yellow);
  EXPECT_FALSE(small == large);
  EXPECT_FALSE(small == sans);
  for (int round = 0; round < 2; ++round) {
    EXPECT_TRUE(drawn("Courier", 10, 0, Yellow) == small);
    EXPECT_TRUE(drawn("Courier", 20, 0, Yellow) == large);
    EXPECT_TRUE(drawn("MS Sans Serif", 10, 1, Yellow) == sans);
  }
  // The colour is the pen's at each drawing, not the first one's.
  drawn("Courier", 10, 0, LightRed);
  EXPECT_EQ(CountColour(0, 0, 639, 119, ColourTable[Yellow]), 0);
  EXPECT_GT(CountColour(0, 0, 639, 119, ColourTable[LightRed]), 50);
}

TEST_F(KernGrafTest, FontsAreMappedAndSizedAt96Dpi) {
  EXPECT_EQ(PointsToPixels(10), 13);
  EXPECT_EQ(PointsToPixels(14), 19);
  EXPECT_EQ(PointsToPixels(12), 16);
  EXPECT_EQ(MakeFont("Courier", 13, false).family(), "Liberation Mono");
  EXPECT_EQ(MakeFont("MS Sans Serif", 11, true).family(), "Liberation Sans");
  EXPECT_TRUE(MakeFont("MS Sans Serif", 11, true).bold());
  EXPECT_EQ(MakeFont("Courier", 13, false).pixelSize(), 13);
}

TEST_F(KernGrafTest, TextBottomAlignedSitsOnTheGivenRow) {
  SetTextBackground(Yellow);
  SetTextJustify(0, 0);
  OutTextXY(0, MaxY() - 5, "Taste", Black);
  // The text box ends 5 pixels above the last row.
  EXPECT_EQ(GetPixel(0, MaxY() - 6), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(0, MaxY() - 5), WhitePixel);
  EXPECT_EQ(GetPixel(0, MaxY() - 5 - CharHeight), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(0, MaxY() - 6 - CharHeight), WhitePixel);
  // Only the text's own two colours, no antialiasing shades.
  const int w = TextWidth("Taste");
  const int top = MaxY() - 5 - CharHeight;
  const int yellow = CountColour(0, top, w - 1, MaxY() - 6, ColourTable[Yellow]);
  const int black = CountColour(0, top, w - 1, MaxY() - 6, ColourTable[Black]);
  EXPECT_GT(black, 10);
  EXPECT_EQ(yellow + black, w * CharHeight);
}

TEST_F(KernGrafTest, TextAlignmentUsesTheMeasuredSize) {
  SetTextBackground(Yellow);
  const int w = TextWidth("Mond");
  SetTextJustify(1, 1); // centred both ways
  OutTextXY(200, 200, "Mond", Black);
  EXPECT_EQ(GetPixel(200 - w / 2, 200), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(200 - w / 2 - 1, 200), WhitePixel);
  EXPECT_EQ(GetPixel(200, 200 - CharHeight / 2), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(200, 200 - CharHeight / 2 - 1), WhitePixel);
  SetTextJustify(2, 2); // right, top
  OutTextXY(400, 300, "Mond", Black);
  EXPECT_EQ(GetPixel(399, 300), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(400, 300), WhitePixel);
  EXPECT_EQ(GetPixel(400 - w, 300), ColourTable[Yellow]);
  EXPECT_EQ(GetPixel(399, 299), WhitePixel);
}

TEST_F(KernGrafTest, TransparentTextDrawsOnlyItsGlyphs) {
  SetFillStyle(255, Blue, Blue);
  FillBar(0, 0, 200, 100);
  SetTextBackground(-1);
  OutTextXY(10, 50, "Sonne", Yellow);
  const int w = TextWidth("Sonne");
  const int blue = CountColour(10, 50 - CharHeight, 9 + w, 49, ColourTable[Blue]);
  const int yellow = CountColour(10, 50 - CharHeight, 9 + w, 49, ColourTable[Yellow]);
  EXPECT_GT(yellow, 10);
  EXPECT_EQ(blue + yellow, w * CharHeight);
}

TEST_F(KernGrafTest, ControlCharactersDrawNothing) {
  SetTextBackground(Yellow);
  const QImage before = ScreenImage().copy();
  const int x = TextCursorX, y = TextCursorY;
  WriteText(std::string(1, '\a'));
  EXPECT_EQ(TextWidth("\a"), 0);
  EXPECT_EQ(TextCursorX, x);
  EXPECT_EQ(TextCursorY, y);
  EXPECT_TRUE(ScreenImage() == before);
  EXPECT_EQ(TextWidth("a\tb"), TextWidth("a b")); // a tab stands for a blank
}

TEST_F(KernGrafTest, TextFarOffTheScreenIsSkipped) {
  OutTextXY(INT_MAX, INT_MAX, "weit weg", Black);
  SetTextJustify(2, 1);
  OutTextXY(INT_MIN, INT_MIN, "weit weg", Black);
  EXPECT_EQ(GetPixel(0, 0), WhitePixel);
}

TEST_F(KernGrafTest, WriteTextMovesToTheNextRowWhenTheTextDoesNotFit) {
  const int w = TextWidth("Mondphase");
  SetTextCursor(MaxX() - w, 100);
  WriteText("Mondphase"); // fits exactly
  EXPECT_EQ(TextCursorX, MaxX());
  EXPECT_EQ(TextCursorY, 100);
  SetTextCursor(MaxX() - w + 1, 100);
  WriteText("Mondphase"); // one pixel too wide: a new row first
  EXPECT_EQ(TextCursorX, CharWidth + w);
  EXPECT_EQ(TextCursorY, 100 + CharHeight);
}

TEST_F(KernGrafTest, WriteLineStartsTheNextLineOneCharacterIn) {
  SetTextCursor(200, 100);
  WriteLine("Zeile");
  EXPECT_EQ(TextCursorX, CharWidth);
  EXPECT_EQ(TextCursorY, 100 + CharHeight);
  // Below the screen the cursor stays where it is.
  SetTextCursor(0, ScreenHeight);
  WriteLine("unten");
  EXPECT_EQ(TextCursorY, ScreenHeight);
}

// ---- pictures ---------------------------------------------------------------------------

TEST_F(KernGrafTest, KeptPictureCanBeDrawnElsewhereWholeOrInPart) {
  SetFillStyle(255, Red, Red);
  FillBar(10, 10, 10, 10);
  PutPixel(15, 15, Blue);
  const TPicture picture = GrabPicture(10, 10, 19, 19);
  ASSERT_NE(picture, 0);
  ASSERT_EQ(PictureWidth(picture), 10);
  ASSERT_EQ(PictureHeight(picture), 10);
  PutPicture(picture, 100, 200);
  EXPECT_EQ(GetPixel(100, 200), ColourTable[Red]);
  EXPECT_EQ(GetPixel(105, 205), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(110, 210), WhitePixel);

  // A part lands where it lay in the picture, relative to the corner given.
  PutPicturePart(picture, TRect{4, 4, 7, 6}, 300, 300);
  EXPECT_EQ(GetPixel(305, 305), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(304, 304), ColourTable[Red]);
  EXPECT_EQ(GetPixel(303, 304), WhitePixel);
  EXPECT_EQ(GetPixel(307, 305), WhitePixel);
  EXPECT_EQ(GetPixel(305, 306), WhitePixel);

  FreePicture(picture);
  EXPECT_EQ(PictureWidth(picture), 0);
  PutPicture(picture, 0, 0); // a freed handle draws nothing
  EXPECT_EQ(GetPixel(0, 0), WhitePixel);
  EXPECT_EQ(GrabPicture(10, 10, 9, 10), 0); // right before left
  EXPECT_EQ(GrabPicture(0, 0, INT_MAX, 10), 0);
  EXPECT_TRUE(GrabScreen(10, 10, 9, 10).isNull());
}

TEST_F(KernGrafTest, ResizedFramebufferKeepsWhatFits) {
  SetFillStyle(255, Green, Green);
  FillBar(0, 0, 10, 10);
  AttachScreen(800, 600);
  EXPECT_EQ(MaxX(), 799);
  EXPECT_EQ(MaxY(), 599);
  EXPECT_EQ(GetPixel(5, 5), ColourTable[Green]);
  EXPECT_EQ(GetPixel(700, 500), WhitePixel);
}

// ---- damage ------------------------------------------------------------------------------

namespace {

// Every pixel that differs between the two pictures lies in one of the
// record's rectangles.
void ExpectChangesCovered(const QImage& before, const QImage& after, const TDamageRecord& record) {
  int uncovered = 0, changed = 0;
  for (int y = 0; y < after.height(); ++y) {
    for (int x = 0; x < after.width(); ++x) {
      if (before.pixel(x, y) == after.pixel(x, y)) continue;
      ++changed;
      bool covered = false;
      for (const TRect& r : record.Rects)
        covered = covered || (r.Left <= x && x < r.Right && r.Top <= y && y < r.Bottom);
      if (!covered) ++uncovered;
    }
  }
  EXPECT_GT(changed, 0);
  EXPECT_EQ(uncovered, 0) << "of " << changed << " changed pixels";
}

} // namespace

TEST_F(KernGrafTest, DamageCoversWhatEachOperationDrew) {
  TDamageRecord record;
  WatchDamage(record);
  struct TCase {
    const char* Name;
    void (*Draw)();
  };
  const TCase cases[] = {
      {"pixel", [] { PutPixel(5, 7, Red); }},
      {"thin line", [] { DrawLine(30, 40, 200, 90, Blue); }},
      {"wide line",
       [] {
         SetLineWidth(3);
         DrawLine(300, 40, 250, 300, Blue);
         SetLineWidth(1);
       }},
      {"bar with border",
       [] {
         SetFillStyle(255, Yellow, Red);
         FillBar(400, 300, -60, 40);
       }},
      {"polygon",
       [] {
         const TPoint points[] = {{10, 400}, {90, 470}, {5, 479}, {-40, 420}};
         SetFillStyle(255, Green, Black);
         FillPolygon(4, points);
       }},
      {"text",
       [] {
         SetFont("Courier", 20, 1);
         SetTextJustify(1, 1);
         OutTextXY(320, 200, "Wäge jQ|ß°", Magenta);
       }},
      {"picture",
       [] {
         SetFillStyle(255, Cyan, Cyan);
         FillBar(0, 0, 100, 100);
         const TPicture picture = GrabPicture(0, 0, 99, 99);
         PutPicture(picture, 500, 380);
         PutPicturePart(picture, TRect{10, 10, 20, 20}, 300, 0);
         FreePicture(picture);
       }},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ClearScreen();
    ClearDamage(record);
    const QImage before = ScreenImage().copy();
    c.Draw();
    ExpectChangesCovered(before, ScreenImage(), record);
    // A figure's rectangle stays near the figure: far less than the screen.
    long long area = 0;
    for (const TRect& r : record.Rects)
      area += static_cast<long long>(r.Right - r.Left) * (r.Bottom - r.Top);
    EXPECT_LT(area, 640LL * 480 / 2);
  }
  UnwatchDamage(record);
  ClearDamage(record);
  PutPixel(1, 1, Red);
  EXPECT_TRUE(record.Rects.empty()); // no longer watched
}

TEST_F(KernGrafTest, ADamageGroupHandsOnWhatItDrewAsOneRectangle) {
  TDamageRecord record;
  WatchDamage(record);
  ClearDamage(record);
  {
    const TDamageGroup outer;
    PutPixel(10, 20, Red);
    {
      const TDamageGroup inner; // nested: nothing is handed on at its end
      DrawLine(100, 200, 300, 210, Blue);
    }
    EXPECT_TRUE(record.Rects.empty());
    PutPixel(400, 30, Red);
  }
  ASSERT_EQ(record.Rects.size(), 1u);
  const TRect& all = record.Rects[0];
  EXPECT_LE(all.Left, 10);
  EXPECT_LE(all.Top, 20);
  EXPECT_GE(all.Right, 401);
  EXPECT_GE(all.Bottom, 210);
  // A group left by an error ends all the same: later drawing is seen.
  ClearDamage(record);
  try {
    const TDamageGroup group;
    PutPixel(5, 5, Red);
    throw std::runtime_error("kaputt");
  } catch (const std::runtime_error&) {
  }
  EXPECT_EQ(record.Rects.size(), 1u);
  PutPixel(600, 400, Red);
  EXPECT_EQ(record.Rects.size(), 2u);
  // A group that drew nothing hands on nothing.
  ClearDamage(record);
  { const TDamageGroup empty; }
  EXPECT_TRUE(record.Rects.empty());
  UnwatchDamage(record);
}

TEST_F(KernGrafTest, DamageRecordStaysShortAndInsideTheScreen) {
  TDamageRecord record;
  WatchDamage(record);
  ClearDamage(record);
  for (int i = 0; i < 200; ++i) PutPixel((i * 37) % 640, (i * 101) % 480, Red);
  EXPECT_LE(record.Rects.size(), MaxDamageRects);
  // Far-off figures add only what lies on the screen.
  ClearDamage(record);
  DrawLine(-2000000000, 5, 2000000000, 5, Blue);
  ASSERT_EQ(record.Rects.size(), 1u);
  EXPECT_EQ(record.Rects[0].Left, 0);
  EXPECT_EQ(record.Rects[0].Right, 640);
  // A rectangle inside one already kept adds nothing; one touching it joins it.
  ClearDamage(record);
  AddDamage(record, TRect{10, 10, 50, 50});
  AddDamage(record, TRect{20, 20, 30, 30});
  AddDamage(record, TRect{50, 10, 60, 20});
  ASSERT_EQ(record.Rects.size(), 1u);
  EXPECT_EQ(record.Rects[0].Right, 60);

  // A long curve of short lines keeps close to the curve: far less than
  // the rectangle around all of it.
  ClearDamage(record);
  PenMoveTo(0, 0);
  for (int i = 1; i <= 64; ++i) PenLineTo(10 * i, 7 * i, Blue);
  long long area = 0;
  for (const TRect& r : record.Rects)
    area += static_cast<long long>(r.Right - r.Left) * (r.Bottom - r.Top);
  EXPECT_LT(area, 640LL * 448 / 4);
  UnwatchDamage(record);
}
