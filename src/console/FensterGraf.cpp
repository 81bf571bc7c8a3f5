#include "FensterGraf.h"

#include <QApplication>
#include <QBackingStore>
#include <QBuffer>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <QStyle>
#include <QThread>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <vector>

#include "Dateien.h"
#include "Grundfenster.h"
#include "KernGrafIntern.h"

// ---- module state ------------------------------------------------------------------
TGrundfenster* Grundfenster = nullptr;

namespace {

// The event loop of a wait that a key ends (WaitForKeyOrTime), if one runs.
QEventLoop* KeyWait = nullptr;
// Whether the tick that runs waited in the event loop (WaitForKeyOrTime).
bool TickWaited = false;

void (*EndProgramHandler)(int) = nullptr;
std::vector<void (*)()> ExitRoutines;

// The notice over the picture (ShowNotice) and when it goes.
struct TNotice {
  std::string Text;
  int Colour = White;
  QElapsedTimer Shown;
  long long Milliseconds = 0;
};
TNotice Notice;

// What the window must present again: the rectangles drawn into since it
// last presented. Drawing operations come by the thousand between two
// presents, so they are collected, merged by the damage record, and
// presented once, when the event loop next runs: a step presents the few
// rectangles it changed, a tick that drew nothing presents nothing. The
// record keeps as many rectangles as the console's records of a step, so
// the curves of a step stay chains of small rectangles instead of merging
// into large ones; the region of them is made in bands of a few rows.
TDamageRecord ToPresent;
bool PresentQueued = false;
constexpr int PresentStripRows = 64;
constexpr int PresentBandRows = 8;

void PresentDamage() {
  PresentQueued = false;
  if (Grundfenster == nullptr) return;
  const QRegion region = PresentRegion(ToPresent.Rects, PresentBandRows, MaxY() + 1);
  ClearDamage(ToPresent);
  if (!region.isEmpty()) Grundfenster->Present(region);
}

void ScheduleRepaint(const TRect& drawn) {
  if (Grundfenster == nullptr) return;
  AddDamage(ToPresent, drawn);
  if (PresentQueued) return;
  PresentQueued = true;
  QMetaObject::invokeMethod(Grundfenster, PresentDamage, Qt::QueuedConnection);
}

// ---- key codes ----

// Modifiers as the original platform counted them: a held mouse button is one.
bool NoModifier(Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return held == Qt::NoModifier && QGuiApplication::mouseButtons() == Qt::NoButton;
}

bool ShiftAlone(Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return held == Qt::ShiftModifier && QGuiApplication::mouseButtons() == Qt::NoButton;
}

bool CtrlAlone(Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers held =
      modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  return held == Qt::ControlModifier && QGuiApplication::mouseButtons() == Qt::NoButton;
}

// The code of a special key (cursor, editing and function keys), 0 for others.
int SpecialKeyCode(int key, Qt::KeyboardModifiers modifiers) {
  switch (key) {
  case Qt::Key_Left:
    return 13;
  case Qt::Key_Right:
    return 14;
  case Qt::Key_Up:
    return 15;
  case Qt::Key_Down:
    return 16;
  case Qt::Key_Home:
    return 17;
  case Qt::Key_End:
    return 18;
  case Qt::Key_PageUp:
    return 19;
  case Qt::Key_PageDown:
    return 20;
  case Qt::Key_Insert:
    return 21;
  case Qt::Key_Delete:
    return 22;
  default:
    break;
  }
  if (key >= Qt::Key_F1 && key <= Qt::Key_F12) {
    const int number = key - Qt::Key_F1 + 1;
    if (NoModifier(modifiers)) return number;
    if (ShiftAlone(modifiers)) return number + 27;
  }
  return 0;
}

// The one-byte code of a typed character (Windows-1252), 0 if it has none.
int CharacterCode(uint ucs) {
  if (ucs < 0x80 || (ucs >= 0xA0 && ucs <= 0xFF)) return static_cast<int>(ucs);
  const char32_t character32 = ucs;
  const QString character = QString::fromUcs4(&character32, 1);
  const std::string byte = Utf8ToCp1252(character.toStdString());
  return byte.size() == 1 && byte != "?" ? static_cast<unsigned char>(byte[0]) : 0;
}

// The character codes of a key press: Ctrl+letter gives 1..26 (whatever text
// the platform attaches), Alt+key gives nothing (it was a menu key),
// otherwise the characters of the event's text.
std::vector<int> CharacterCodes(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  const bool ctrl = modifiers & Qt::ControlModifier, alt = modifiers & Qt::AltModifier;
  const int key = event.key();
  if (ctrl && !alt && key >= Qt::Key_A && key <= Qt::Key_Z) return {key - Qt::Key_A + 1};
  if (alt && !ctrl) return {};
  std::vector<int> codes;
  const QString text = event.text();
  if (text.isEmpty()) {
    // Key events made without text (synthetic ones, some platforms).
    switch (key) {
    case Qt::Key_Escape:
      return {27};
    case Qt::Key_Backspace:
      return {8};
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      return {9};
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return {13};
    default:
      return {};
    }
  }
  for (const uint ucs : text.toUcs4()) {
    const int code = CharacterCode(ucs);
    if (code != 0) codes.push_back(code);
  }
  return codes;
}

// A character key: Enter (13) becomes 23, and a text screen goes away.
void OnKeyPressed(int code) {
  PutKey(code == 13 ? 23 : code);
  if (TextScreenShown) {
    ClearScreen();
    TextScreenShown = false;
  }
}

void CloseTextScreen() {
  if (!TextScreenShown) return;
  ClearScreen();
  TextScreenShown = false;
}

// True if the name ends in ".png" in any case.
bool NamesPng(const std::string& name) {
  if (name.size() < 4) return false;
  std::string ending = name.substr(name.size() - 4);
  for (char& c : ending)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return ending == ".png";
}

TFileResult PictureFailure(const std::string& fileName, const std::string& reason) {
  TFileResult result;
  result.Ok = false;
  result.Reason = reason;
  result.Message = "Das Bild \"" + fileName + "\" kann nicht geschrieben werden: " + reason + ".";
  return result;
}

} // namespace

// ---- the start -----------------------------------------------------------------------------
int RunMainWindow(int argc, char** argv, bool windowed, void (*mainRoutine)(),
                  void (*keyHandler)()) {
  QApplication application(argc, argv);
  StartFensterGraf(argv[0]);
  // The input dialog is made by the first prompt (InputString).
  TGrundfenster* window = new TGrundfenster(windowed);
  StartConsole(false, false, 0, 10, "Courier");
  MainRoutineSlot = mainRoutine;
  KeyHandlerSlot = keyHandler;
  window->ShowAndActivate();
  const int status = application.exec();
  EndProgram(status);
}

bool ModalDialogOpen() {
  return QApplication::activeModalWidget() != nullptr;
}

// ---- key queue -------------------------------------------------------------------------

void WakeForKey() {
  if (Grundfenster != nullptr) Grundfenster->SetTickInterval(1);
  if (KeyWait != nullptr) KeyWait->quit();
}

void WaitForKeyOrTime(int milliseconds) {
  if (Grundfenster == nullptr || milliseconds <= 0 || KeyPressed()) return;
  // The window's events go on (paints, Ctrl+C, the keys themselves) while
  // the program sleeps in the event loop until a key comes or the time is up.
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(milliseconds);
  QEventLoop* outer = KeyWait;
  KeyWait = &loop;
  loop.exec();
  KeyWait = outer;
  TickWaited = true;
}

void RestUntilKey() {
  // Not stopped altogether: whatever may ever change without a key is
  // still seen within half a second.
  if (Grundfenster != nullptr) Grundfenster->SetTickInterval(500);
}

// ---- text screen and bitmap files ----------------------------------------------------------

bool ShowBitmapFile(const std::string& fileName, int x, int y, int& width, int& height) {
  if (!FileIsReadable(fileName)) return false;
  const QImage picture(QString::fromStdString(ResolveFileName(fileName)));
  if (picture.isNull()) return false;
  if (fileName == PictureFileName) {
    x = (MaxX() - picture.width()) / 2;
    y = (MaxY() - picture.height()) / 2;
  }
  width = picture.width();
  height = picture.height();
  DrawImage(picture, x, y);
  return true;
}

TFileResult SavePicture(const std::string& fileName, int x1, int y1, int x2, int y2) {
  const QImage picture = GrabScreen(x1, y1, x2, y2).convertToFormat(QImage::Format_RGB888);
  if (picture.isNull()) return PictureFailure(fileName, "der Bildausschnitt ist leer");
  QByteArray encoded;
  QBuffer buffer(&encoded);
  buffer.open(QIODevice::WriteOnly);
  if (!picture.save(&buffer, NamesPng(fileName) ? "PNG" : "BMP"))
    return PictureFailure(fileName, "das Bild lässt sich nicht umwandeln");
  TFileResult written =
      WriteFileAtomically(fileName, std::string(encoded.constData(), encoded.size()));
  if (!written.Ok) written.Message = PictureFailure(fileName, written.Reason).Message;
  return written;
}

// ---- files for the user --------------------------------------------------------------------
std::string PictureFileExtension() {
  return "bmp";
}

void HandFileToUser(const std::string& /*fileName*/) {
  // The file stays in the working folder, where the notice says it is.
}

// ---- notices ------------------------------------------------------------------------------------
void ShowNotice(const std::string& text, int colour, int milliseconds) {
  Notice.Text = text;
  Notice.Colour = colour;
  Notice.Milliseconds = std::max(milliseconds, 0);
  Notice.Shown.start();
  if (Grundfenster != nullptr) Grundfenster->RefreshNotice(milliseconds);
}

std::string CurrentNotice() {
  if (Notice.Text.empty() || !Notice.Shown.isValid() ||
      Notice.Shown.elapsed() >= Notice.Milliseconds)
    return "";
  return Notice.Text;
}

// ---- waiting and ending ----------------------------------------------------------------------
void WaitForEnter() {
  if (Grundfenster == nullptr) return;
  // The ticks must not start the program's routine again meanwhile.
  const bool hookWasEnabled = TimerHookEnabled;
  TimerHookEnabled = false;
  while (Grundfenster != nullptr) {
    while (KeyPressed())
      if (ReadKey() == 23) {
        TimerHookEnabled = hookWasEnabled;
        return;
      }
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    QThread::msleep(5);
  }
  TimerHookEnabled = hookWasEnabled;
}

void EndProgram(int status) {
  // An exit routine that ends the program itself must not start the
  // routines again.
  static bool ending = false;
  if (!ending) {
    ending = true;
    for (auto routine = ExitRoutines.rbegin(); routine != ExitRoutines.rend(); ++routine)
      (*routine)();
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (EndProgramHandler != nullptr) EndProgramHandler(status);
  // At once: this may run inside a modal dialog or a timer tick, where
  // unwinding Qt's event loops is neither possible nor wanted.
  std::_Exit(status);
}

void SetEndProgramHandler(void (*handler)(int status)) {
  EndProgramHandler = handler;
}

void AddExitRoutine(void (*routine)()) {
  if (routine != nullptr) ExitRoutines.push_back(routine);
}

bool HaveMainWindow() {
  return Grundfenster != nullptr;
}

bool DisplayAvailable() {
  auto set = [](const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
  };
  const char* platforms = std::getenv("QT_QPA_PLATFORM");
  if (platforms == nullptr || *platforms == '\0') return set("DISPLAY") || set("WAYLAND_DISPLAY");
  // A list like "wayland;xcb" is tried in order; options follow a ':'.
  std::string list = platforms;
  size_t start = 0;
  while (start <= list.size()) {
    size_t stop = list.find(';', start);
    if (stop == std::string::npos) stop = list.size();
    std::string name = list.substr(start, stop - start);
    name = name.substr(0, name.find(':'));
    if (name == "xcb") {
      if (set("DISPLAY")) return true;
    } else if (name.rfind("wayland", 0) == 0) {
      if (set("WAYLAND_DISPLAY")) return true;
    } else if (!name.empty()) {
      return true; // offscreen, vnc, linuxfb, eglfs, ... need no display server
    }
    start = stop + 1;
  }
  return false;
}

// ---- the main window ---------------------------------------------------------------------------
TGrundfenster::TGrundfenster(bool windowed)
    : QWidget(nullptr), Timer(new QTimer(this)), NoticeTimer(new QTimer(this)), Windowed(windowed) {
  Grundfenster = this;
  if (!windowed) setWindowFlag(Qt::FramelessWindowHint);
  setAttribute(Qt::WA_OpaquePaintEvent); // the framebuffer covers everything
  setCursor(Qt::CrossCursor);
  setFocusPolicy(Qt::StrongFocus);
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);

  // OnCreate: the display's size, the framebuffer, caption and text cursor.
  const QScreen* display = QGuiApplication::primaryScreen();
  const QRect displayArea = display != nullptr ? display->geometry() : QRect(0, 0, 640, 480);
  const QRect available = display != nullptr ? display->availableGeometry() : displayArea;
  SetScreenSize(displayArea.width(), displayArea.height());
  if (windowed) {
    const QSize size = QSize(1024, 768).boundedTo(available.size());
    setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, available));
  } else {
    setGeometry(available);
  }
  AttachScreen(width(), height());
  SetScreenChangedHook(ScheduleRepaint);
  setWindowTitle(QString::fromStdString(ProgramName));
  SetTextCursor(CharWidth, CharHeight);

  // The heartbeat of the program. Qt never fires it again while its own slot
  // still runs, so a dialog opened inside a tick holds the ticks.
  Timer->setTimerType(Qt::PreciseTimer);
  Timer->setInterval(1);
  connect(Timer, &QTimer::timeout, this, &TGrundfenster::OnTimer);
  Timer->start();
  NoticeTimer->setSingleShot(true);
  connect(NoticeTimer, &QTimer::timeout, this, [this] {
    update(NoticeBox);
    NoticeBox = QRect();
  });
}

namespace {

// The notice's font: bold, a little larger than the status line.
QFont NoticeFont() {
  return MakeFont("Courier", PointsToPixels(12), true);
}

} // namespace

QRect TGrundfenster::NoticeBoxFor(const std::string& text) const {
  // A black box, centred above the status line.
  const QFontMetrics metrics(NoticeFont());
  const int padding = metrics.height() / 2;
  const int boxWidth =
      std::min(metrics.horizontalAdvance(QString::fromStdString(text)) + 2 * padding, width());
  const int boxHeight = metrics.height() + 2 * padding;
  return QRect((width() - boxWidth) / 2, height() - 40 - boxHeight, boxWidth, boxHeight);
}

void TGrundfenster::RefreshNotice(int milliseconds) {
  // Only the boxes of the notice before and of this one are presented again.
  update(NoticeBox);
  NoticeBox = NoticeBoxFor(CurrentNotice());
  update(NoticeBox);
  NoticeTimer->start(std::max(milliseconds, 0) + 1);
}

void TGrundfenster::PaintNotice(QPainter& painter) {
  const std::string text = CurrentNotice();
  if (text.empty()) return;
  // In a black box with a thin frame of its own colour.
  const QFont font = NoticeFont();
  const QString shown = QString::fromStdString(text);
  const QRect box = NoticeBoxFor(text);
  const QColor colour(ColourOf(Notice.Colour));
  painter.fillRect(box, Qt::black);
  painter.setPen(colour);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  painter.setFont(font);
  painter.drawText(box, Qt::AlignCenter, shown);
}

TGrundfenster::~TGrundfenster() {
  if (Grundfenster == this) {
    Grundfenster = nullptr;
    SetScreenChangedHook(nullptr);
    // A present still queued goes with the window.
    ClearDamage(ToPresent);
    PresentQueued = false;
  }
}

void TGrundfenster::ShowAndActivate() {
  if (Windowed) {
    show();
  } else {
    // Without a window manager showMaximized alone leaves the window at its
    // first size; the geometry makes it cover the screen in any case.
    if (const QScreen* display = screen()) setGeometry(display->availableGeometry());
    showMaximized();
  }
  activateWindow();
  raise();
}

void TGrundfenster::SetTickInterval(int milliseconds) {
  if (Timer->interval() == milliseconds) return;
  Timer->start(milliseconds); // a key's tick comes within a millisecond
}

int TGrundfenster::TickInterval() const {
  return Timer->interval();
}

// The backing store's own image when the repaint goes there and may be
// copied into row by row: 32-bit pixels, no scaling, the window at its
// corner. nullptr otherwise (a grab into a pixmap, another format).
QImage* TGrundfenster::DirectTarget(const QRegion& region) const {
  QPoint offset;
  QPaintDevice* device = redirected(&offset);
  if (device == nullptr || !offset.isNull() || sharedPainter() != nullptr) return nullptr;
  return CopyTarget(device, region);
}

namespace {

// The framebuffer's opaque pixels are the same bits in any of these formats.
bool HoldsFramebufferBits(const QImage& image) {
  const QImage::Format format = image.format();
  return format == QImage::Format_RGB32 || format == QImage::Format_ARGB32 ||
         format == QImage::Format_ARGB32_Premultiplied;
}

// Copies the region of the framebuffer into the image row by row, without a
// painter.
void CopyRows(const QImage& picture, QImage& target, const QRegion& region) {
  for (const QRect& area : region) {
    const size_t bytes = static_cast<size_t>(area.width()) * sizeof(QRgb);
    for (int y = area.top(); y <= area.bottom(); ++y)
      std::memcpy(target.scanLine(y) + area.left() * sizeof(QRgb),
                  picture.constScanLine(y) + area.left() * sizeof(QRgb), bytes);
  }
}

} // namespace

QImage* TGrundfenster::CopyTarget(QPaintDevice* device, const QRegion& region) {
  if (device == nullptr || device->devType() != QInternal::Image) return nullptr;
  auto* image = static_cast<QImage*>(device);
  if (!HoldsFramebufferBits(*image) || image->devicePixelRatio() != 1.0 ||
      !image->rect().contains(region.boundingRect()) ||
      !ScreenToPresent().rect().contains(region.boundingRect()))
    return nullptr;
  return image;
}

void TGrundfenster::Present(const QRegion& region) {
  if (!PresentThroughBackingStore(region)) update(region);
}

// The way round Qt's widget repaint: update() posts a request that the
// event loop must wake for once more, and the repaint manager then paints
// the same rectangles through paintEvent. Here the rows go straight into
// the backing store and out to the screen. Only where nothing else must be
// painted over the picture (a notice), the window is on the screen and the
// backing store has the window's size (a resize has been repainted) and
// holds the framebuffer's bits unscaled; false otherwise.
bool TGrundfenster::PresentThroughBackingStore(const QRegion& region) {
  QBackingStore* store = backingStore();
  QWindow* window = windowHandle();
  if (!CurrentNotice().empty() || store == nullptr || window == nullptr || !isVisible() ||
      !window->isExposed() || store->size() != size() || !rect().contains(region.boundingRect()))
    return false;
  store->beginPaint(region);
  QImage* target = CopyTarget(store->paintDevice(), region);
  if (target != nullptr) CopyRows(ScreenToPresent(), *target, region);
  store->endPaint();
  if (target == nullptr) return false; // nothing was copied: repainted instead
  store->flush(region, window);
  emit Presented(region);
  return true;
}

void TGrundfenster::paintEvent(QPaintEvent* event) {
  const QImage& picture = ScreenToPresent();
  QImage* target = CurrentNotice().empty() ? DirectTarget(event->region()) : nullptr;
  if (target != nullptr) {
    CopyRows(picture, *target, event->region());
    emit Presented(event->region());
    return;
  }
  PaintPictureAndNotice(picture, event->region());
  emit Presented(event->region());
}

void TGrundfenster::PaintPictureAndNotice(const QImage& picture, const QRegion& region) {
  QPainter painter(this);
  // Each rectangle of the region by itself: two small ones far apart must
  // not cost the copy of everything between them.
  for (const QRect& area : region) {
    if (!picture.rect().contains(area)) painter.fillRect(area, Qt::white);
    // In strips of a few dozen rows: Qt hands a copy of more rows to its
    // thread pool in pieces, and waking the threads and waiting for them
    // costs more than the copy of a step's few rectangles.
    const QRect shown = area.intersected(picture.rect());
    for (int top = shown.top(); top <= shown.bottom(); top += PresentStripRows) {
      const QRect strip(shown.left(), top, shown.width(),
                        std::min(PresentStripRows, shown.bottom() + 1 - top));
      painter.drawImage(strip.topLeft(), picture, strip);
    }
  }
  PaintNotice(painter);
}

void TGrundfenster::resizeEvent(QResizeEvent* /*event*/) {
  AttachScreen(width(), height());
}

void TGrundfenster::keyPressEvent(QKeyEvent* event) {
  // OnKeyDown: Ctrl+C ends the program; special keys have codes of their own
  // and no character, so one key never gives two codes.
  if (CtrlAlone(event->modifiers()) && event->key() == Qt::Key_C) EndProgram(0);
  const int special = SpecialKeyCode(event->key(), event->modifiers());
  if (special != 0) {
    PutKey(special);
    return;
  }
  if (event->key() >= Qt::Key_F1 && event->key() <= Qt::Key_F35) return; // F-key with modifiers
  // OnKeyPressed: the characters.
  for (const int code : CharacterCodes(*event)) OnKeyPressed(code);
}

void TGrundfenster::mousePressEvent(QMouseEvent* /*event*/) {
  CloseTextScreen();
}

void TGrundfenster::mouseReleaseEvent(QMouseEvent* /*event*/) {
  CloseTextScreen();
}

void TGrundfenster::closeEvent(QCloseEvent* event) {
  event->accept();
  EndProgram(0);
}

bool TGrundfenster::focusNextPrevChild(bool /*next*/) {
  return false;
}

void TGrundfenster::OnTimer() {
  const QString caption = QString::fromStdString(ProgramName);
  if (windowTitle() != caption) setWindowTitle(caption);
  TickWaited = false;
  if (TimerHookEnabled && KeyHandlerSlot != nullptr) {
    // An error inside the program's routine costs the rest of this tick only.
    try {
      KeyHandlerSlot();
    } catch (const std::exception& error) {
      ReportProblem(std::string("Fehler: ") + error.what());
    }
  }
  // A tick that waited in the event loop has let the window work meanwhile
  // (the running animation waits its delay in every tick): the next tick
  // comes at once, without the event loop sleeping and waking once more
  // for it. Any other tick keeps the pace of a millisecond (or the rest
  // while the program waits for a key), so no tick ever follows at once
  // on one that did not wait.
  if (Timer->interval() <= 1) SetTickInterval(TickWaited ? 0 : 1);
}
