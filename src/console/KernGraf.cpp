#include "KernGraf.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>
#include <memory>

#include "Eingabe.h"
#include "FensterGraf.h"
#include "KernGrafIntern.h"

// ---- module state --------------------------------------------------------------
int ScreenWidth = 0, ScreenHeight = 0;
QRgb ColourTable[256];
int CharWidth = 0, CharHeight = 0;
int TextCursorX = 0, TextCursorY = 0;
int TextColour = Black;

namespace {

QImage Screen; // the framebuffer; null until AttachScreen
void (*ScreenChangedHook)() = nullptr;

// Text state. The metrics belong to CurrentFont and are made on first use,
// because fonts can only be measured once the QGuiApplication exists.
std::string FontName = "Courier";
int FontSize = 10;
bool FontBold = false;
QFont CurrentFont;
std::unique_ptr<QFontMetrics> Metrics;
int HorizontalJustify = 0, VerticalJustify = 0;
int TextBackground = 0;

// Fill state and pen.
QRgb FillColour = qRgb(255, 255, 255);
bool BorderSolid = true;
int BorderColour = 0;
int LineWidth = 1;

// The 16-colour palette, levels 0..63.
const int Palette[16][3] = {{0, 0, 0},    {0, 0, 40},  {0, 40, 0},   {0, 40, 40},
                            {40, 7, 7},   {40, 0, 40}, {40, 30, 0},  {49, 49, 49},
                            {26, 26, 26}, {0, 0, 63},  {9, 63, 9},   {0, 63, 63},
                            {63, 10, 10}, {44, 0, 63}, {63, 63, 18}, {63, 63, 63}};

const QRgb WindowColour = qRgb(255, 255, 255);

// The table holds the palette from the start, so that nothing can draw with
// undefined colours even before ResetPalette.
struct TInitialColours {
  TInitialColours() {
    for (int i = 0; i < 256; ++i)
      ColourTable[i] = qRgb(4 * Palette[i % 16][0], 4 * Palette[i % 16][1], 4 * Palette[i % 16][2]);
    ColourTable[15] = qRgb(255, 255, 255);
  }
} InitialColours;

int ClampToInt(long long v) {
  return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX));
}

int ClampByte(long long v) {
  return static_cast<int>(std::clamp<long long>(v, 0, 255));
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

void ApplyFont() {
  CurrentFont = MakeFont(FontName, PointsToPixels(FontSize), FontBold);
  Metrics = std::make_unique<QFontMetrics>(CurrentFont);
  CharWidth = Metrics->horizontalAdvance(QStringLiteral("T"));
  CharHeight = Metrics->height();
}

const QFontMetrics& FontMetrics() {
  if (!Metrics) ApplyFont();
  return *Metrics;
}

void NewLine() {
  TextCursorX = CharWidth;
  TextCursorY = ClampToInt(static_cast<long long>(TextCursorY) + CharHeight);
}

} // namespace

// ---- internals shared with the other console modules -------------------------------
bool ScreenAttached() {
  return !Screen.isNull();
}

TScreenPainter::TScreenPainter() : QPainter(&Screen) {
  setRenderHint(QPainter::Antialiasing, false);
  setRenderHint(QPainter::TextAntialiasing, false);
}

TScreenPainter::~TScreenPainter() {
  end();
  NotifyScreenChanged();
}

QRgb ColourOf(int index) {
  return ColourTable[std::clamp(index, 0, 255)];
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

TFillState GetFillState() {
  return {FillColour, BorderSolid, BorderColour};
}

void SetFillState(const TFillState& state) {
  FillColour = state.FillColour;
  BorderSolid = state.BorderSolid;
  BorderColour = state.BorderColour;
}

QBrush FillBrush() {
  return QBrush(QColor(FillColour));
}

QPen BorderPen() {
  return BorderSolid ? LinePen(ColourOf(BorderColour)) : QPen(Qt::NoPen);
}

void NotifyScreenChanged() {
  if (ScreenChangedHook) ScreenChangedHook();
}

// ---- module start ------------------------------------------------------------------
void StartKernGraf() {
  HorizontalJustify = 0;
  VerticalJustify = 0;
  FillColour = WindowColour;
  BorderSolid = true;
  BorderColour = 0;
  TextBackground = 0;
  LineWidth = 1;
}

// ---- screen ------------------------------------------------------------------------
void AttachScreen(int width, int height) {
  width = std::max(width, 1);
  height = std::max(height, 1);
  const bool first = Screen.isNull();
  if (!first && Screen.width() == width && Screen.height() == height) return;
  QImage resized(width, height, QImage::Format_RGB32);
  resized.fill(WindowColour);
  if (!first) {
    QPainter painter(&resized);
    painter.drawImage(0, 0, Screen);
  }
  Screen = resized;
  if (first) {
    // The window's start font and the text cursor one character in.
    ApplyFont();
    TextCursorX = CharWidth;
    TextCursorY = CharHeight;
  }
  NotifyScreenChanged();
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
  return Screen;
}
void SetScreenChangedHook(void (*hook)()) {
  ScreenChangedHook = hook;
}

// ---- colours -----------------------------------------------------------------------
void SetPaletteColour(int index, int factor, int red, int green, int blue) {
  if (index < 0 || index > 255) return;
  // Stored directly: the display shows every colour exactly.
  ColourTable[index] = qRgb(ClampByte(static_cast<long long>(factor) * red),
                            ClampByte(static_cast<long long>(factor) * green),
                            ClampByte(static_cast<long long>(factor) * blue));
}

void ResetPalette() {
  for (int i = 0; i < 256; ++i)
    SetPaletteColour(i, 4, Palette[i % 16][0], Palette[i % 16][1], Palette[i % 16][2]);
  // Only the first White is pure white; its repetitions keep 252.
  SetPaletteColour(White, 1, 255, 255, 255);
  TextBackground = White;
}

// ---- primitives --------------------------------------------------------------------
void ClearScreen() {
  if (!ScreenAttached()) return;
  Screen.fill(WindowColour);
  NotifyScreenChanged();
}

void PutPixel(int x, int y, int colour) {
  if (!Screen.valid(x, y)) return;
  Screen.setPixel(x, y, ColourOf(colour));
  NotifyScreenChanged();
}

QRgb GetPixel(int x, int y) {
  return Screen.valid(x, y) ? Screen.pixel(x, y) : qRgb(0, 0, 0);
}

void DrawLine(int x1, int y1, int x2, int y2, int colour) {
  if (!ScreenAttached()) return;
  // Qt's flat-ended thin lines leave out the lower or right end, whichever
  // way the line runs; the original left out the end point. So the line is
  // drawn with both ends and the end pixel gets its old colour back (which
  // also leaves a line of length 0 undrawn, as before).
  const bool thin = LineWidth <= 1;
  const bool endOnScreen = Screen.valid(x2, y2);
  const QRgb underEnd = endOnScreen ? Screen.pixel(x2, y2) : 0;
  {
    TScreenPainter painter;
    painter.setPen(LinePen(ColourOf(colour)));
    painter.drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }
  if (thin && endOnScreen) Screen.setPixel(x2, y2, underEnd);
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
  {
    TScreenPainter painter;
    painter.fillRect(QRect(left, top, rightEdge - left, bottomEdge - top), QColor(FillColour));
  }
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
  for (int i = 0; i < n; ++i) polygon.setPoint(i, points[i].X, points[i].Y);
  TScreenPainter painter;
  painter.setBrush(FillBrush());
  painter.setPen(BorderPen());
  painter.drawPolygon(polygon, Qt::OddEvenFill);
}

// ---- text --------------------------------------------------------------------------
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
  return FontMetrics().horizontalAdvance(DrawableText(text));
}

int TextHeight(const std::string& /*text*/) {
  return FontMetrics().height();
}

void OutTextXY(int x, int y, const std::string& text, int colour) {
  if (!ScreenAttached()) return;
  const QFontMetrics& metrics = FontMetrics();
  const QString drawable = DrawableText(text);
  const int w = metrics.horizontalAdvance(drawable);
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
  // A text wholly off the framebuffer draws nothing; this also keeps far-off
  // positions (world coordinates mapped to 2147483647) out of int arithmetic.
  if (left + w < 0 || left > Screen.width() || top + h < 0 || top > Screen.height()) return;
  const QRect box(static_cast<int>(left), static_cast<int>(top), w, h);
  TScreenPainter painter;
  if (TextBackground != -1 && w > 0) painter.fillRect(box, QColor(ColourOf(TextBackground)));
  painter.setFont(CurrentFont);
  painter.setPen(QColor(ColourOf(colour)));
  painter.drawText(QPoint(box.left(), box.top() + metrics.ascent()), drawable);
}

void SetFont(const std::string& name, int size, int bold) {
  FontName = name;
  FontSize = size;
  FontBold = bold == 1;
  ApplyFont();
}

void SetFontSize(int size) {
  FontSize = size;
  ApplyFont();
}

void SetTextSize(int size) {
  SetFontSize(size);
}

const std::string& CurrentFontName() {
  return FontName;
}
int CurrentFontSize() {
  return FontSize;
}
bool CurrentFontBold() {
  return FontBold;
}

void SetTextCursor(int x, int y) {
  TextCursorX = x;
  TextCursorY = y;
}

void WriteText(const std::string& text) {
  const int w = TextWidth(text);
  if (static_cast<long long>(MaxX()) < static_cast<long long>(TextCursorX) + w) NewLine();
  OutTextXY(TextCursorX, TextCursorY, text, TextColour);
  TextCursorX = ClampToInt(static_cast<long long>(TextCursorX) + w);
}

void WriteLine(const std::string& text) {
  OutTextXY(TextCursorX, TextCursorY, text, TextColour);
  TextCursorX = CharWidth;
  if (TextCursorY < ScreenHeight) TextCursorY += CharHeight;
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

void DrawPicture(const QImage& picture, int x, int y) {
  if (!ScreenAttached() || picture.isNull()) return;
  TScreenPainter painter;
  painter.drawImage(QPointF(x, y), picture);
}

// ---- start -------------------------------------------------------------------------
void StartConsole(bool showTextScreen, bool showPicture, int bold, int fontSize,
                  const std::string& fontName) {
  SetFont(fontName, fontSize, bold);
  ClearScreen();
  if (showTextScreen) ShowTextFile(HelpTextFileName, 10);
  if (showPicture) {
    int width = 0, height = 0;
    ShowBitmapFile(PictureFileName, 0, 0, width, height);
  }
}

// ---- prompted input ------------------------------------------------------------------
namespace {

// Where the dialog stands: centred on the main window's client area, or on
// the screen when there is no main window.
QRect CentringArea() {
  if (Grundfenster != nullptr)
    return QRect(Grundfenster->mapToGlobal(QPoint(0, 0)), Grundfenster->size());
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

// The widest dialog that still fits on the screen, so that a very long
// default text cannot push the buttons out of reach.
int WidestDialog() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int available = screen != nullptr ? screen->availableGeometry().width() : 1920;
  return std::max(available, 344);
}

// The dialog laid out for a prompt and its default text.
void LayOutDialog(TEingabeDialog& dialog, const QString& prompt, const QString& defaultText) {
  const long long n = defaultText.toUcs4().size();
  const int widest = WidestDialog();
  // 1. The dialog starts at its form width.
  long long dialogWidth = 344;
  // 2. The prompt, measured in the label's font, with 35 pixels either side.
  const int promptWidth = QFontMetrics(dialog.Label1->font()).horizontalAdvance(prompt);
  if (dialogWidth - 70 < promptWidth) dialogWidth = promptWidth + 70;
  // 3. Room for the default text: 15 to 45 pixels a character.
  long long editWidth = dialog.Edit->width();
  if (editWidth < 15 * n + 70)
    editWidth = 15 * n + 70;
  else if (45 * n < editWidth)
    editWidth = 45 * n;
  // 4.
  if (dialogWidth < editWidth + 70) dialogWidth = editWidth + 70;
  dialogWidth = std::min<long long>(dialogWidth, widest);
  const int width = static_cast<int>(dialogWidth);
  // 5. The buttons share the width in thirds.
  const int okLeft = (width - dialog.OKBtn->width() - dialog.EscBtn->width()) / 3;
  dialog.OKBtn->move(okLeft, dialog.OKBtn->y());
  dialog.EscBtn->move(2 * okLeft + dialog.OKBtn->width(), dialog.EscBtn->y());
  // 6. The edit field: 15 pixels a character, at least 150.
  const int fieldWidth =
      static_cast<int>(std::min<long long>(std::max<long long>(15 * n, 150), width - 20));
  dialog.Edit->setGeometry((width - fieldWidth) / 2, dialog.Edit->y(), fieldWidth,
                           dialog.Edit->height());
  // 7.
  dialog.Edit->setText(defaultText);
  dialog.Label1->setText(prompt);
  const int labelWidth = std::min(promptWidth, width);
  dialog.Label1->setGeometry((width - labelWidth) / 2, dialog.Label1->y(), labelWidth,
                             dialog.Label1->height());
  dialog.setFixedSize(width, dialog.height());
  // 8. Centred; the division truncates toward zero like the original's div.
  const QRect area = CentringArea();
  const int dialogHeight = dialog.frameGeometry().height();
  dialog.move(area.x() + (area.width() - width) / 2, area.y() + (area.height() - dialogHeight) / 2);
  dialog.setWindowTitle(QStringLiteral("Eingabe"));
}

} // namespace

void InputString(const std::string& prompt, std::string& text) {
  if (EingabeDialog == nullptr) new TEingabeDialog(Grundfenster); // registers itself
  TEingabeDialog& dialog = *EingabeDialog;
  LayOutDialog(dialog, QString::fromStdString(prompt), QString::fromStdString(text));
  // "Abbruch" and Esc end the program inside exec(); everything else is OK.
  if (dialog.exec() == QDialog::Accepted) text = dialog.Edit->text().toStdString();
  // Without a window manager nobody gives the focus back to the main window.
  if (Grundfenster != nullptr && Grundfenster->isVisible()) {
    Grundfenster->activateWindow();
    Grundfenster->raise();
  }
}

void InputChar(const std::string& prompt, std::string& letter) {
  std::string answer = letter;
  InputString(prompt, answer);
  // An empty answer keeps the default letter.
  if (answer.empty()) return;
  // The last character, which in UTF-8 may take several bytes.
  size_t start = answer.size() - 1;
  while (start > 0 && (static_cast<unsigned char>(answer[start]) & 0xC0) == 0x80) --start;
  letter = answer.substr(start);
}
