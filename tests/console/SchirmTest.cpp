// The framebuffer's fast paths: one-pixel lines set without the painter must
// set exactly the pixels of Qt's line, texts in a monospaced font set from
// their glyphs exactly those of Qt's shaped text, copies of the screen must
// keep what they showed while the painter stays open, and drawing must still
// make the main window repaint.
#include <gtest/gtest.h>

#include <QEvent>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QScreen>
#include <QStaticText>
#include <QTest>

#include <algorithm>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "ConsoleTestHelpers.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "KernGraf.h"
#include "KernGrafQt.h"

namespace {

const QRgb WhitePixel = qRgb(255, 255, 255);

// How the console drew a one-pixel line before it set such lines itself, and
// still draws those with an end off the screen: Qt's aliased line with square
// ends, a painter of its own, and the end pixel given its old colour back.
void QtThinLine(QImage& image, int x1, int y1, int x2, int y2, QRgb colour) {
  const bool endOnImage = image.valid(x2, y2);
  const QRgb underEnd = endOnImage ? image.pixel(x2, y2) : 0;
  {
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, false);
    QPen pen{QColor(colour)};
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    painter.setPen(pen);
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }
  if (endOnImage) image.setPixel(x2, y2, underEnd);
}

// Check draws a line both ways on a white screen, once by DrawLine and once
// by Qt, compares the pixels around it, and takes it away again with the
// same line in white. The first few lines that differ are reported.
class ThinLines : public ::testing::Test {
protected:
  void SetUp() override { UseScreen(640, 480); }

  void UseScreen(int width, int height) {
    ResetConsole(width, height);
    SetLineWidth(1);
    Reference = QImage(width, height, QImage::Format_RGB32);
    Reference.fill(WhitePixel);
  }

  void Check(int x1, int y1, int x2, int y2) {
    DrawLine(x1, y1, x2, y2, Black);
    QtThinLine(Reference, x1, y1, x2, y2, ColourTable[Black]);
    if (!SameAround(x1, y1, x2, y2) && ++Differences <= 5)
      ADD_FAILURE() << "line (" << x1 << ", " << y1 << ") - (" << x2 << ", " << y2 << ")";
    DrawLine(x1, y1, x2, y2, White);
    QtThinLine(Reference, x1, y1, x2, y2, ColourTable[White]);
    ++Lines;
  }

  // The line's bounding box and one pixel more on every side.
  bool SameAround(int x1, int y1, int x2, int y2) const {
    const QImage& screen = ScreenImage();
    const int left = std::clamp(std::min(x1, x2) - 1, 0, MaxX());
    const int right = std::clamp(std::max(x1, x2) + 1, 0, MaxX());
    const int top = std::clamp(std::min(y1, y2) - 1, 0, MaxY());
    const int bottom = std::clamp(std::max(y1, y2) + 1, 0, MaxY());
    const size_t bytes = static_cast<size_t>(right - left + 1) * sizeof(QRgb);
    for (int y = top; y <= bottom; ++y) {
      const auto* ours = reinterpret_cast<const QRgb*>(screen.constScanLine(y)) + left;
      const auto* qts = reinterpret_cast<const QRgb*>(Reference.constScanLine(y)) + left;
      if (std::memcmp(ours, qts, bytes) != 0) return false;
    }
    return true;
  }

  QImage Reference;
  int Lines = 0;
  int Differences = 0;
};

} // namespace

// ---- one-pixel lines --------------------------------------------------------------------

TEST_F(ThinLines, EveryDirectionUpToFiftyPixelsMatchesQt) {
  // All ends within 50 pixels of a start: every octant, the axes, the
  // diagonals and every slope with a denominator up to 50, both ways.
  for (int dy = -50; dy <= 50; ++dy)
    for (int dx = -50; dx <= 50; ++dx) Check(320, 240, 320 + dx, 240 + dy);
  EXPECT_EQ(Lines, 101 * 101);
  EXPECT_EQ(Differences, 0);
}

TEST_F(ThinLines, RandomLinesAcrossTheScreenMatchQt) {
  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> x(0, 639), y(0, 479);
  for (int i = 0; i < 4000; ++i) Check(x(random), y(random), x(random), y(random));
  EXPECT_EQ(Differences, 0);
}

TEST_F(ThinLines, RandomLinesAcrossAFullScreenMatchQt) {
  UseScreen(1920, 1080);
  std::mt19937 random(1080);
  std::uniform_int_distribution<int> x(0, 1919), y(0, 1079);
  for (int i = 0; i < 1500; ++i) Check(x(random), y(random), x(random), y(random));
  EXPECT_EQ(Differences, 0);
}

TEST_F(ThinLines, LinesOnAndOverTheEdgesMatchQt) {
  // Ends on the first and last rows and columns, corner to corner, and ends
  // just off the screen (those go through the painter).
  const int xs[] = {-3, -1, 0, 1, 317, 638, 639, 640, 700};
  const int ys[] = {-2, -1, 0, 1, 239, 478, 479, 480, 600};
  for (const int x1 : xs)
    for (const int y1 : ys)
      for (const int x2 : xs)
        for (const int y2 : ys) Check(x1, y1, x2, y2);
  EXPECT_EQ(Differences, 0);
}

TEST_F(ThinLines, ShortConnectedLinesMatchQt) {
  // A coastline seen from afar: steps of a few pixels in every direction.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> step(-4, 4);
  int x = 320, y = 240;
  for (int i = 0; i < 20000; ++i) {
    const int nx = std::clamp(x + step(random), 0, 639), ny = std::clamp(y + step(random), 0, 479);
    Check(x, y, nx, ny);
    x = nx;
    y = ny;
  }
  EXPECT_EQ(Differences, 0);
}

TEST_F(ThinLines, TakeTheColourOfTheTableEntry) {
  SetPaletteColour(200, 1, 10, 20, 30);
  DrawLine(10, 10, 20, 15, 200);
  EXPECT_EQ(GetPixel(10, 10), Rgb(10, 20, 30));
  EXPECT_EQ(GetPixel(20, 15), WhitePixel);
}

// ---- polylines ---------------------------------------------------------------------------

namespace {

// A polyline as an outline seen from afar: mostly steps of a pixel or two
// and points on the pixel before, now and then a long line, and points
// beyond the screen's edges.
std::vector<TPoint> RandomPolyline(std::mt19937& random) {
  std::uniform_int_distribution<int> count(2, 90), kind(0, 19), small(-2, 2), large(-90, 90);
  std::vector<TPoint> points{{160, 120}};
  for (int i = count(random); i > 0; --i) {
    const int k = kind(random);
    const int d = k < 15 ? 0 : 1;
    TPoint p = points.back();
    if (k < 15) {
      p.X += small(random);
      p.Y += small(random);
    } else if (k < 19) {
      p.X += large(random);
      p.Y += large(random);
    }
    p.X = std::clamp(p.X, -30 + d, 350);
    p.Y = std::clamp(p.Y, -30, 270);
    points.push_back(p);
  }
  return points;
}

// The screen after the polyline drawn over a few bars, which lie under the
// ends of some lines, either at once or line by line.
QImage Polyline(const std::vector<TPoint>& points, int width, bool atOnce) {
  ClearScreen();
  SetFillStyle(255, Yellow, Yellow);
  FillBar(60, 40, 120, 100);
  SetFillStyle(255, Blue, Blue);
  FillBar(150, 100, 80, 90);
  SetLineWidth(width);
  const int n = static_cast<int>(points.size());
  if (atOnce) {
    DrawPolyline(n, points.data(), LightRed);
  } else {
    for (int i = 1; i < n; ++i)
      DrawLine(points[i - 1].X, points[i - 1].Y, points[i].X, points[i].Y, LightRed);
  }
  SetLineWidth(1);
  return ScreenImage().copy();
}

} // namespace

TEST(Polylines, SetThePixelsOfTheirLinesDrawnOneByOne) {
  ResetConsole(320, 240);
  std::mt19937 random(20261208);
  for (const int width : {1, 2})
    for (int round = 0; round < 150; ++round) {
      const std::vector<TPoint> points = RandomPolyline(random);
      if (Polyline(points, width, true) != Polyline(points, width, false)) {
        ADD_FAILURE() << "width " << width << ", round " << round;
        return;
      }
    }
}

TEST(Polylines, ReportWhatTheyDraw) {
  ResetConsole(320, 240);
  std::mt19937 random(8);
  for (int round = 0; round < 50; ++round) {
    const std::vector<TPoint> points = RandomPolyline(random);
    ClearScreen();
    TDamageRecord drawn;
    WatchDamage(drawn);
    DrawPolyline(static_cast<int>(points.size()), points.data(), Black);
    UnwatchDamage(drawn);
    const QImage& screen = ScreenImage();
    for (int y = 0; y <= MaxY(); ++y)
      for (int x = 0; x <= MaxX(); ++x) {
        if (screen.pixel(x, y) == WhitePixel) continue;
        const bool reported =
            std::any_of(drawn.Rects.begin(), drawn.Rects.end(), [&](const TRect& r) {
              return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
            });
        ASSERT_TRUE(reported) << "pixel (" << x << ", " << y << "), round " << round;
      }
  }
}

// ---- texts -------------------------------------------------------------------------------

namespace {

// How the console drew every text before it set monospaced ones from their
// glyphs: the box filled, then Qt's shaped text with its corner there.
QImage QtText(const QFont& font, const QString& text, QRgb colour) {
  QImage image(640, 120, QImage::Format_RGB32);
  image.fill(WhitePixel);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setRenderHint(QPainter::TextAntialiasing, false);
  painter.setFont(font);
  painter.setPen(QColor(colour));
  const QFontMetrics metrics(font);
  const QRect box(20, 30, metrics.horizontalAdvance(text), metrics.height());
  painter.fillRect(box, QColor(ColourTable[Black]));
  QStaticText shaped(text);
  shaped.setTextFormat(Qt::PlainText);
  painter.drawStaticText(box.topLeft(), shaped);
  return image;
}

QImage ConsoleText(const std::string& text, int colour) {
  ClearScreen();
  SetTextJustify(0, 2);
  SetTextBackground(Black);
  OutTextXY(20, 30, text, colour);
  return ScreenImage().copy(0, 0, 640, 120);
}

// Texts of the program, a few with characters the font lacks or shaping
// hides (U+00AD, the soft hyphen), and random ones of every Latin-1
// character that can be typed.
std::vector<std::string> SampleTexts() {
  std::vector<std::string> texts = {"16.20 Uhr MEZ",
                                    "22.12.2026",
                                    "54.3° n.B., 10.1° ö.L.",
                                    "Größe: äöü ÄÖÜ ß",
                                    "zum Frühlingspunkt ------->",
                                    "Soft\xc2\xadhyphen",
                                    "−5 → 1½",
                                    "   "};
  std::mt19937 random(8122026);
  std::uniform_int_distribution<int> length(1, 24), character(0x20, 0xFF);
  for (int n = 0; n < 60; ++n) {
    QString text;
    for (int i = length(random); i > 0; --i) {
      const int c = character(random);
      if (c < 0x7F || c >= 0xA0) text += QChar(c);
    }
    texts.push_back(text.toStdString());
  }
  return texts;
}

} // namespace

TEST(MonospacedTexts, SetFromTheirGlyphsMatchQtsShapedText) {
  ResetConsole();
  const std::vector<std::string> texts = SampleTexts();
  int differences = 0;
  for (const int points : {6, 8, 10, 12, 14, 15, 20, 24})
    for (const int bold : {0, 1}) {
      SetFont("Courier", points, bold);
      const QFont font = MakeFont("Courier", PointsToPixels(points), bold == 1);
      for (const std::string& text : texts) {
        const QString shown = QString::fromStdString(text);
        EXPECT_EQ(TextWidth(text), QFontMetrics(font).horizontalAdvance(shown))
            << points << (bold ? " bold " : " ") << text;
        if (ConsoleText(text, White) != QtText(font, shown, ColourTable[White]) &&
            ++differences <= 5)
          ADD_FAILURE() << "Courier " << points << (bold ? " bold: " : ": ") << text;
      }
    }
  EXPECT_EQ(differences, 0);
}

TEST(MonospacedTexts, ReportWhereTheirGlyphsReach) {
  // Each character alone and in a line of all of them, without a background,
  // so that only the glyphs' ink is set.
  ResetConsole();
  std::vector<std::string> texts;
  std::string all;
  for (int c = 0x20; c <= 0xFF; ++c)
    if (c < 0x7F || c >= 0xA0) {
      texts.push_back(QString(QChar(c)).toStdString());
      all += texts.back();
    }
  texts.push_back(all.substr(0, 60));
  texts.push_back(all.substr(60));
  for (const int points : {6, 10, 20, 24})
    for (const int bold : {0, 1}) {
      SetFont("Courier", points, bold);
      for (const std::string& text : texts) {
        ClearScreen();
        SetTextJustify(0, 2);
        SetTextBackground(-1);
        TDamageRecord drawn;
        WatchDamage(drawn);
        OutTextXY(30, 40, text, Black);
        UnwatchDamage(drawn);
        // The text and far round it: rows 0..119 of the screen.
        const QImage& screen = ScreenImage();
        for (int y = 0; y < 120; ++y)
          for (int x = 0; x <= MaxX(); ++x)
            if (reinterpret_cast<const QRgb*>(screen.constScanLine(y))[x] != WhitePixel &&
                std::none_of(drawn.Rects.begin(), drawn.Rects.end(), [&](const TRect& r) {
                  return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
                })) {
              ADD_FAILURE() << "Courier " << points << (bold ? " bold " : " ") << text
                            << ": pixel (" << x << ", " << y << ") not reported";
              return;
            }
      }
    }
}

TEST(MonospacedTexts, ProportionalFontsAreShapedAsBefore) {
  ResetConsole();
  for (const char* name : {"MS Sans Serif", "Times New Roman"}) {
    SetFont(name, 10, 0);
    const QFont font = MakeFont(name, PointsToPixels(10), false);
    for (const std::string text : {"Mond: 44 % beleuchtet", "Frühlingspunkt", "AVATAR Tage"}) {
      const QString shown = QString::fromStdString(text);
      EXPECT_EQ(TextWidth(text), QFontMetrics(font).horizontalAdvance(shown));
      EXPECT_TRUE(ConsoleText(text, Yellow) == QtText(font, shown, ColourTable[Yellow]))
          << name << ": " << text;
    }
  }
}

// ---- copies of the screen ---------------------------------------------------------------

TEST(ScreenCopies, KeepWhatTheScreenShowedWhenTheyWereTaken) {
  ResetConsole();
  DrawLine(10, 10, 100, 10, Red);
  const QImage shown = ScreenImage();
  const QImage grabbed = GrabScreen(0, 0, MaxX(), MaxY());
  // Drawn by the painter first, then directly, and the other way round.
  SetLineWidth(3);
  DrawLine(10, 30, 100, 30, Blue);
  SetLineWidth(1);
  DrawLine(10, 40, 100, 40, Blue);
  PutPixel(5, 5, Black);
  const QImage shownLater = ScreenImage();
  PutPixel(6, 5, Black);
  DrawLine(10, 50, 100, 50, Green);
  SetFillStyle(255, Yellow, Yellow);
  FillBar(200, 200, 20, 20);
  OutTextXY(300, 300, "Mond", Black);

  for (const QImage* copy : {&shown, &grabbed}) {
    EXPECT_EQ(copy->pixel(50, 10), ColourTable[Red]);
    EXPECT_EQ(copy->pixel(50, 30), WhitePixel);
    EXPECT_EQ(copy->pixel(50, 40), WhitePixel);
    EXPECT_EQ(copy->pixel(5, 5), WhitePixel);
  }
  EXPECT_EQ(shownLater.pixel(50, 40), ColourTable[Blue]);
  EXPECT_EQ(shownLater.pixel(6, 5), WhitePixel);
  EXPECT_EQ(shownLater.pixel(50, 50), WhitePixel);
  EXPECT_EQ(shownLater.pixel(210, 210), WhitePixel);

  EXPECT_EQ(GetPixel(50, 30), ColourTable[Blue]);
  EXPECT_EQ(GetPixel(6, 5), ColourTable[Black]);
  EXPECT_EQ(GetPixel(50, 50), ColourTable[Green]);
  EXPECT_EQ(GetPixel(210, 210), ColourTable[Yellow]);
}

// ---- repainting -------------------------------------------------------------------------

namespace {

// Counts what the window presents.
struct TPresentCounter {
  int Count = 0;
};

// The main window on a white framebuffer, shown, its presents counted.
class Repaint : public ::testing::Test {
protected:
  void SetUp() override {
    StartFensterGraf("/opt/lunotrop/Lunotrop");
    Window = std::make_unique<TGrundfenster>(false);
    ResetPalette();
    ClearScreen();
    Window->ShowAndActivate();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Window.get()));
    QObject::connect(Window.get(), &TGrundfenster::Presented, [this] { ++Counter.Count; });
  }

  std::unique_ptr<TGrundfenster> Window;
  TPresentCounter Counter;
};

} // namespace

TEST_F(Repaint, EveryKindOfDrawingRepaintsTheWindow) {
  auto repaintsAfter = [&](auto draw) {
    QTest::qWait(5);
    const int before = Counter.Count;
    draw();
    return QTest::qWaitFor([&] { return Counter.Count > before; }, 2000);
  };
  EXPECT_TRUE(repaintsAfter([] { DrawLine(10, 10, 60, 30, Red); }));
  EXPECT_TRUE(repaintsAfter([] { PutPixel(70, 70, Blue); }));
  EXPECT_TRUE(repaintsAfter([] {
    SetLineWidth(2);
    DrawLine(10, 100, 60, 130, Red);
    SetLineWidth(1);
  }));
  EXPECT_TRUE(repaintsAfter([] { OutTextXY(100, 100, "Sonne", Black); }));
  const QImage shown = Window->grab().toImage();
  EXPECT_EQ(shown.pixel(10, 10), ColourTable[Red]);
  EXPECT_EQ(shown.pixel(70, 70), ColourTable[Blue]);
}

TEST_F(Repaint, TheWindowShowsWhatTheFramebufferHolds) {
  // What reaches the window's backing store (copied there row by row when
  // the store is an image, as here), step by step, with and without a notice
  // over the picture.
  std::mt19937 random(30);
  std::uniform_int_distribution<int> x(0, MaxX()), y(0, MaxY()), colour(0, 15);
  for (int step = 0; step < 12; ++step) {
    if (step == 8) ShowNotice("Bild gespeichert: Lunotrop00.bmp", Yellow, 100000);
    const int before = Counter.Count;
    for (int figure = 0; figure < 6; ++figure) {
      SetFillStyle(255, colour(random), colour(random));
      FillBar(x(random), y(random), 1 + x(random) / 8, 1 + y(random) / 8);
      DrawLine(x(random), y(random), x(random), y(random), colour(random));
    }
    OutTextXY(x(random), y(random), "Mond " + std::to_string(step), colour(random));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Counter.Count > before; }, 2000));
    const QImage shown = Window->screen()->grabWindow(Window->winId()).toImage();
    const QImage framebuffer = ScreenImage();
    // The notice stands in a box above the status line, over the rows below
    // these.
    const int noticeRows = step >= 8 ? framebuffer.height() - 200 : framebuffer.height();
    int differences = 0, noticeDifferences = 0;
    for (int row = 0; row < framebuffer.height(); ++row)
      for (int column = 0; column < framebuffer.width(); ++column) {
        const QRgb pixel = shown.pixel(column, row) | 0xFF000000u;
        if (pixel == framebuffer.pixel(column, row)) continue;
        ++(row < noticeRows ? differences : noticeDifferences);
      }
    EXPECT_EQ(differences, 0) << "step " << step;
    EXPECT_EQ(noticeDifferences > 0, step >= 8) << "step " << step;
  }
  ShowNotice("", White, 0);
}
