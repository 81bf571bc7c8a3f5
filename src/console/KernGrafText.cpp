// KernGraf, the text: fonts (Windows font names on the Liberation fonts),
// text metrics, texts at a point with alignment and background, and the text
// cursor of WriteText and WriteLine.
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QRawFont>
#include <QStaticText>
#include <QString>
#include <QTextLayout>
#include <QTransform>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <memory>
#include <vector>

#include "KernGrafIntern.h"

// ---- module state --------------------------------------------------------------
int CharWidth = 0, CharHeight = 0;

namespace {

// The metrics belong to CurrentFont and are made on first use, because
// fonts can only be measured once the QGuiApplication exists.
QFont CurrentFont;
std::unique_ptr<QFontMetrics> Metrics;

// The glyphs of a monospaced font for texts drawn without shaping them.
// Shaping a text is most of the cost of one never drawn before, and the
// clock is such a text at every step. With full hinting the shaping puts
// the glyphs of a monospaced font a whole number of pixels apart, one glyph
// per character, so a text of plain characters comes out the same when its
// glyphs are set that far apart (a test compares the two).
struct TMonospacedGlyphs {
  QRawFont Raw; // invalid: the font's texts are shaped
  // The glyph of each Latin-1 character that takes exactly one step; 0 for
  // the others (control characters, the soft hyphen, which shaping hides,
  // and characters the font lacks or sets wider or narrower).
  std::array<quint32, 256> Glyphs{};
  int Step = 0;
  QPointF Origin; // where shaping puts the first glyph, from the box's top left
  // How far the glyphs' ink may reach beyond the text's box on each side.
  int ReachLeft = 0, ReachTop = 0, ReachRight = 0, ReachBottom = 0;
};

// Fonts made before, with their metrics. A view switches between a few
// sizes for every label of every step; making the font and its metrics
// anew each time cost more than drawing the texts.
struct TMadeFont {
  std::string Name;
  int PixelHeight = 0;
  bool Bold = false;
  QFont Font;
  QFontMetrics Metrics;
  int CharWidth = 0, CharHeight = 0;
  TMonospacedGlyphs Monospaced;
};
std::vector<TMadeFont> MadeFonts;
// The monospaced glyphs of CurrentFont.
TMonospacedGlyphs CurrentGlyphs;
constexpr size_t MadeFontsKept = 16;
int HorizontalJustify = 0, VerticalJustify = 0;
int TextBackground = 0;

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

// The text as it is measured and drawn. Control characters have no glyph of
// their own: Qt would show a box for them, so they are left out (the bell of
// the number input draws nothing); a tab stands for one blank.
QString DrawableText(const std::string& text) {
  QString result = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  result.replace(QLatin1Char('\t'), QLatin1Char(' '));
  result.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
  return result;
}

const QFontMetrics& FontMetrics() {
  if (!Metrics) ApplyFont();
  return *Metrics;
}

// Widths of texts measured before, each under the font it was measured in
// (the font's key and the text). The status line and most labels come again
// at every step, and measuring a text shapes it anew each time.
QHash<QString, int> MeasuredWidths;
constexpr qsizetype MeasuredWidthsKept = 1024;
QString FontKey;

bool PlainCharacter(char16_t c) {
  return (c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF && c != 0xAD);
}

TMonospacedGlyphs MonospacedGlyphs(const QFont& font) {
  TMonospacedGlyphs monospaced;
  if (!QFontInfo(font).fixedPitch()) return monospaced;
  // Where shaping puts two glyphs, and in which font engine.
  QTextLayout layout(QStringLiteral("00"), font);
  layout.beginLayout();
  layout.createLine();
  layout.endLayout();
  const QList<QGlyphRun> runs = layout.glyphRuns();
  if (runs.size() != 1 || runs[0].positions().size() != 2) return monospaced;
  const QPointF first = runs[0].positions()[0];
  const qreal step = runs[0].positions()[1].x() - first.x();
  // The baseline may lie between rows; the glyphs' left edges must not.
  if (!(step > 0 && step == std::round(step) && first.x() == std::round(first.x())))
    return monospaced;
  const QRawFont raw = runs[0].rawFont();
  const int height = QFontMetrics(font).height();
  // The ink of every glyph in its cell; a pixel more each way for the
  // rounding of its outline to pixels.
  QRectF ink;
  for (char16_t c = 0; c < 256; ++c) {
    if (!PlainCharacter(c)) continue;
    const QList<quint32> glyph = raw.glyphIndexesForString(QString(QChar(c)));
    if (glyph.size() != 1 || glyph[0] == 0) continue;
    const QList<QPointF> advance = raw.advancesForGlyphIndexes(glyph);
    if (advance.size() != 1 || advance[0].x() != step || advance[0].y() != 0) continue;
    monospaced.Glyphs[c] = glyph[0];
    ink |= raw.boundingRect(glyph[0]).translated(first);
  }
  monospaced.ReachLeft = std::max(0, static_cast<int>(std::ceil(-ink.left())) + 1);
  monospaced.ReachTop = std::max(0, static_cast<int>(std::ceil(-ink.top())) + 1);
  monospaced.ReachRight = std::max(0, static_cast<int>(std::ceil(ink.right() - step)) + 1);
  monospaced.ReachBottom = std::max(0, static_cast<int>(std::ceil(ink.bottom() - height)) + 1);
  monospaced.Raw = raw;
  monospaced.Step = static_cast<int>(step);
  monospaced.Origin = first;
  return monospaced;
}

// True if the text can be set from the current font's monospaced glyphs.
bool SetFromGlyphs(const QString& drawable) {
  if (!CurrentGlyphs.Raw.isValid()) return false;
  for (const QChar c : drawable)
    if (c.unicode() > 0xFF || CurrentGlyphs.Glyphs[c.unicode()] == 0) return false;
  return true;
}

// Draws a text for which SetFromGlyphs holds with its box's corner at topLeft.
void DrawFromGlyphs(QPainter& painter, const QPoint& topLeft, const QString& drawable) {
  if (drawable.isEmpty()) return;
  QList<quint32> glyphs(drawable.size());
  QList<QPointF> positions(drawable.size());
  for (qsizetype i = 0; i < drawable.size(); ++i) {
    glyphs[i] = CurrentGlyphs.Glyphs[drawable[i].unicode()];
    positions[i] = CurrentGlyphs.Origin + QPointF(static_cast<qreal>(i) * CurrentGlyphs.Step, 0);
  }
  QGlyphRun run;
  run.setRawFont(CurrentGlyphs.Raw);
  run.setGlyphIndexes(glyphs);
  run.setPositions(positions);
  painter.drawGlyphRun(topLeft, run);
}

int Advance(const QString& drawable) {
  const QFontMetrics& metrics = FontMetrics(); // makes the font, and its key, if need be
  if (SetFromGlyphs(drawable)) return static_cast<int>(drawable.size()) * CurrentGlyphs.Step;
  const QString key = FontKey + drawable;
  const auto known = MeasuredWidths.constFind(key);
  if (known != MeasuredWidths.constEnd()) return known.value();
  // The clock texts are new at every step: the store starts afresh when
  // full rather than growing without end.
  if (MeasuredWidths.size() >= MeasuredWidthsKept) MeasuredWidths.clear();
  const int width = metrics.horizontalAdvance(drawable);
  MeasuredWidths.insert(key, width);
  return width;
}

// Texts drawn before, shaped and laid out for the font they were drawn in
// (keyed as MeasuredWidths). The status line is erased and written again at
// every step, and shaping a text is most of the cost of drawing it.
QHash<QString, QStaticText> ShapedTexts;
constexpr qsizetype ShapedTextsKept = 256;

const QStaticText& ShapedText(const QString& drawable) {
  const QString key = FontKey + drawable;
  auto known = ShapedTexts.find(key);
  if (known != ShapedTexts.end()) return known.value();
  if (ShapedTexts.size() >= ShapedTextsKept) ShapedTexts.clear();
  QStaticText shaped(drawable);
  shaped.setTextFormat(Qt::PlainText);
  shaped.setPerformanceHint(QStaticText::AggressiveCaching);
  shaped.prepare(QTransform(), CurrentFont);
  return ShapedTexts.insert(key, shaped).value();
}

// Tells the text record about a text drawn with its box's corner at (left,
// top): the box of its visible characters, and the whole box as the cover of
// its background.
void NoteText(const QString& drawable, long long left, long long top, int colour) {
  const QFontMetrics& metrics = FontMetrics();
  const QString visible = drawable.trimmed();
  const long long lead = Advance(drawable.left(drawable.indexOf(visible)));
  const int h = metrics.height();
  const TRect visibleBox{ClampToInt(left + lead), ClampToInt(top),
                         ClampToInt(left + lead + Advance(visible)), ClampToInt(top + h)};
  const TRect drawnBox{ClampToInt(left), ClampToInt(top), ClampToInt(left + Advance(drawable)),
                       ClampToInt(top + h)};
  RecordText(visible.toStdString(), visibleBox, colour, drawnBox, TextBackground != -1);
}

} // namespace

namespace {

const TMadeFont& MadeFont(const std::string& name, int pixelHeight, bool bold) {
  for (const TMadeFont& made : MadeFonts)
    if (made.PixelHeight == pixelHeight && made.Bold == bold && made.Name == name) return made;
  if (MadeFonts.size() >= MadeFontsKept) MadeFonts.erase(MadeFonts.begin());
  const QFont font = MakeFont(name, pixelHeight, bold);
  const QFontMetrics metrics(font);
  MadeFonts.push_back({name, pixelHeight, bold, font, metrics,
                       metrics.horizontalAdvance(QStringLiteral("T")), metrics.height(),
                       MonospacedGlyphs(font)});
  return MadeFonts.back();
}

} // namespace

void ApplyFont() {
  const TMadeFont& made =
      MadeFont(CurrentFontName(), PointsToPixels(CurrentFontSize()), CurrentFontBold());
  if (Metrics && CurrentFont == made.Font) return; // the painter has it already
  ForgetPainterFont();
  CurrentFont = made.Font;
  FontKey = QString::fromStdString(made.Name) + QLatin1Char('\n') +
            QString::number(made.PixelHeight) +
            (made.Bold ? QLatin1String("b\n") : QLatin1String("\n"));
  Metrics = std::make_unique<QFontMetrics>(made.Metrics);
  CurrentGlyphs = made.Monospaced;
  CharWidth = made.CharWidth;
  CharHeight = made.CharHeight;
}

const QFont& ConsoleFont() {
  return CurrentFont;
}

int PointsToPixels(int points) {
  const long long magnitude = std::llabs(static_cast<long long>(points));
  return std::clamp<int32_t>(RoundEven(static_cast<long double>(magnitude) * 96 / 72), 1, 1000);
}

QFont MakeFont(const std::string& name, int pixelHeight, bool bold) {
  QString family = QString::fromStdString(name);
  const QString key = family.toLower();
  QFont::StyleHint hint = QFont::AnyStyle;
  if (key == QLatin1String("courier") || key == QLatin1String("courier new")) {
    family = QStringLiteral("Liberation Mono"); // metric-compatible with Courier New
    hint = QFont::TypeWriter;
  } else if (key == QLatin1String("ms sans serif") || key == QLatin1String("arial") ||
             key == QLatin1String("system")) {
    family = QStringLiteral("Liberation Sans");
    hint = QFont::SansSerif;
  } else if (key == QLatin1String("times new roman")) {
    family = QStringLiteral("Liberation Serif");
    hint = QFont::Serif;
  }
  QFont font(family);
  font.setStyleHint(hint, QFont::NoAntialias);
  // Full hinting puts every glyph on whole pixels, as the original's text
  // was: ten letters of a monospaced font are exactly ten CharWidths.
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setPixelSize(std::clamp(pixelHeight, 1, 1000));
  font.setBold(bold);
  return font;
}

void SetTextJustify(int horizontal, int vertical) {
  HorizontalJustify = horizontal;
  VerticalJustify = vertical;
}

void SetTextBackground(int colour) {
  TextBackground = colour;
}

int TextWidth(const std::string& text) {
  return Advance(DrawableText(text));
}

int TextHeight(const std::string& /*text*/) {
  return FontMetrics().height();
}

void OutTextXY(int x, int y, const std::string& text, int colour) {
  if (!ScreenAttached()) return;
  const QFontMetrics& metrics = FontMetrics();
  const QString drawable = DrawableText(text);
  const int w = Advance(drawable);
  const int h = metrics.height();
  long long left = x, top = y;
  if (HorizontalJustify == 1)
    left -= w / 2;
  else if (HorizontalJustify != 0)
    left -= w;
  if (VerticalJustify == 0)
    top -= h; // y is the bottom of the text
  else if (VerticalJustify == 1)
    top -= h / 2;
  if (TextsWatched()) NoteText(drawable, left, top, colour);
  // A text wholly off the framebuffer draws nothing; this also keeps far-off
  // positions (world coordinates mapped to 2147483647) out of int arithmetic.
  if (left + w < 0 || left > MaxX() + 1 || top + h < 0 || top > MaxY() + 1) return;
  const QRect box(static_cast<int>(left), static_cast<int>(top), w, h);
  QPainter& painter = ScreenPainter();
  if (TextBackground != -1 && w > 0) painter.fillRect(box, QColor(ColourOf(TextBackground)));
  UseCurrentFont();
  UseTextPen(ColourOf(colour));
  // The same glyphs as drawText puts there: set one step apart, or shaped,
  // with the shaping kept for the next time the text comes.
  if (SetFromGlyphs(drawable)) {
    DrawFromGlyphs(painter, box.topLeft(), drawable);
    // As far as the font's glyphs reach at most.
    const TMonospacedGlyphs& glyphs = CurrentGlyphs;
    NotifyScreenChanged(FigureBox(left - glyphs.ReachLeft, top - glyphs.ReachTop,
                                  left + w - 1 + glyphs.ReachRight,
                                  top + h - 1 + glyphs.ReachBottom, 0));
    return;
  }
  painter.drawStaticText(box.topLeft(), ShapedText(drawable));
  // Glyphs may reach a little beyond their advance and line height (the
  // slant of an italic, a bold overhang): the damage takes a generous margin.
  NotifyScreenChanged(FigureBox(left, top, left + w - 1, top + h - 1, h));
}
