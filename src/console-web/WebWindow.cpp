// FensterGraf in the browser: the page's canvas as the main window, the
// key queue, the 1 ms tick, text screens, saving pictures, notices, the end
// of the program, and the bridge to the page's script (LunotropPage in
// page.js). The program runs as one sequential routine; where the desktop
// processes window events, the browser console yields to the browser
// (emscripten_sleep under Asyncify) and then takes the events it queued.
#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>
#include <vector>

#include "Dateien.h"
#include "FensterGraf.h"
#include "WebIntern.h"

// ---- module state ------------------------------------------------------------------

namespace {

void (*EndProgramHandler)(int) = nullptr;
std::vector<void (*)()> ExitRoutines;

bool WindowMade = false;
int TickInterval = 1; // ms; 20 while the program waits for a key

// The part of the screen changed since the last present.
TRect Unpresented;

struct TNotice {
  std::string Text;
  double Shown = 0;
  double Milliseconds = 0;
};
TNotice Notice;

// Time spent giving the browser its turn during the current tick, so that
// the tick's own work can be told apart from the waiting.
double YieldedMs = 0;

// Events from the page (LunotropPage.nextEvent).
constexpr int CharacterEvent = 0x100, EndEvent = 0x10000, MouseEvent = 0x20000,
              ResizeEvent = 0x30000;

void CloseTextScreen() {
  if (!TextScreenShown) return;
  ClearScreen();
  TextScreenShown = false;
}

// A character key: Enter (13) becomes 23, and a text screen goes away.
void OnKeyPressed(int code) {
  PutKey(code == 13 ? 23 : code);
  CloseTextScreen();
}

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

void AppendLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

// A 24-bit BMP, rows bottom up, each padded to four bytes.
std::string BmpBytes(int width, int height, const std::vector<uint32_t>& pixels) {
  const uint32_t rowBytes = (static_cast<uint32_t>(width) * 3 + 3) & ~3u;
  const uint32_t dataBytes = rowBytes * static_cast<uint32_t>(height);
  std::string out = "BM";
  AppendLittleEndian(out, 54 + dataBytes, 4);
  AppendLittleEndian(out, 0, 4);
  AppendLittleEndian(out, 54, 4);
  AppendLittleEndian(out, 40, 4);
  AppendLittleEndian(out, static_cast<uint32_t>(width), 4);
  AppendLittleEndian(out, static_cast<uint32_t>(height), 4);
  AppendLittleEndian(out, 1, 2);
  AppendLittleEndian(out, 24, 2);
  AppendLittleEndian(out, 0, 4);
  AppendLittleEndian(out, dataBytes, 4);
  AppendLittleEndian(out, 3780, 4); // 96 DPI
  AppendLittleEndian(out, 3780, 4);
  AppendLittleEndian(out, 0, 4);
  AppendLittleEndian(out, 0, 4);
  for (int row = height - 1; row >= 0; --row) {
    for (int column = 0; column < width; ++column) {
      const uint32_t stored = pixels[static_cast<size_t>(row) * width + column];
      out += static_cast<char>((stored >> 16) & 0xFF); // blue
      out += static_cast<char>((stored >> 8) & 0xFF);  // green
      out += static_cast<char>(stored & 0xFF);         // red
    }
    out.append(rowBytes - static_cast<uint32_t>(width) * 3, '\0');
  }
  return out;
}

} // namespace

// ---- the page's script -----------------------------------------------------------------
EM_JS(void, JsPresent,
      (const uint32_t* pixels, int width, int height, int left, int top, int right, int bottom),
      { LunotropPage.present(pixels, width, height, left, top, right, bottom); });
EM_JS(int, JsNextEvent, (), { return LunotropPage.nextEvent(); });
EM_JS(int, JsScreenWidth, (), { return LunotropPage.screenWidth(); });
EM_JS(int, JsScreenHeight, (), { return LunotropPage.screenHeight(); });
EM_JS(void, JsShowNotice, (const char* text, uint32_t colour, int milliseconds),
      { LunotropPage.showNotice(UTF8ToString(text), colour, milliseconds); });
EM_JS(void, JsProgramEnded, (), { LunotropPage.programEnded(); });
EM_JS(void, JsRunStarted, (int started), { LunotropPage.runStarted(started); });
EM_JS(void, JsTickWork, (double milliseconds), { LunotropPage.tickWork(milliseconds); });
EM_JS(uint8_t*, JsPngBytes, (const uint32_t* pixels, int width, int height, int* length),
      { return LunotropPage.pngBytes(pixels, width, height, length); });
EM_JS(void, JsDownload, (const char* name, const char* bytes, int length),
      { LunotropPage.download(UTF8ToString(name), bytes, length); });

void MarkForPresent(const TRect& drawn) {
  Unpresented = RectUnion(Unpresented, drawn);
}

void PresentScreen() {
  const TFramebuffer& screen = Framebuffer();
  const TRect r{std::max(Unpresented.Left, 0), std::max(Unpresented.Top, 0),
                std::min(Unpresented.Right, screen.Width),
                std::min(Unpresented.Bottom, screen.Height)};
  Unpresented = TRect();
  if (RectIsEmpty(r) || !ScreenAttached()) return;
  JsPresent(screen.Pixels.data(), screen.Width, screen.Height, r.Left, r.Top, r.Right, r.Bottom);
}

void PumpPageEvents() {
  for (int event = JsNextEvent(); event != 0; event = JsNextEvent()) {
    if (event == EndEvent) {
      EndProgram(0);
    } else if (event == MouseEvent) {
      CloseTextScreen();
    } else if (event == ResizeEvent) {
      AttachScreen(JsScreenWidth(), JsScreenHeight());
    } else if (event & CharacterEvent) {
      OnKeyPressed(event & 0xFF);
    } else {
      PutKey(event);
    }
  }
}

void YieldToBrowser(int milliseconds) {
  const double start = NowMs();
  emscripten_sleep(static_cast<unsigned>(std::max(milliseconds, 0)));
  YieldedMs += NowMs() - start;
}

double NowMs() {
  return emscripten_get_now();
}

// ---- the start -----------------------------------------------------------------------------
int RunMainWindow(int /*argc*/, char** argv, bool /*windowed*/, void (*mainRoutine)(),
                  void (*keyHandler)()) {
  StartFensterGraf(argv != nullptr && argv[0] != nullptr ? argv[0] : "lunotrop");
  // The canvas fills the browser window: the screen and the window are one,
  // a screen pixel for every CSS pixel, so that the layout is the desktop's
  // on a screen of the window's size. A high-density display enlarges the
  // picture without smoothing, which keeps every edge sharp.
  WindowMade = true;
  SetScreenSize(JsScreenWidth(), JsScreenHeight());
  AttachScreen(JsScreenWidth(), JsScreenHeight());
  SetTextCursor(CharWidth, CharHeight);
  StartConsole(false, false, 0, 10, "Courier");
  MainRoutineSlot = mainRoutine;
  KeyHandlerSlot = keyHandler;
  bool started = false;
  for (;;) {
    PumpPageEvents();
    if (TimerHookEnabled && KeyHandlerSlot != nullptr) {
      const double start = NowMs();
      YieldedMs = 0;
      const bool drawnBefore = !RectIsEmpty(Unpresented);
      KeyHandlerSlot();
      const bool drew = drawnBefore || !RectIsEmpty(Unpresented);
      PresentScreen();
      if (drew) JsTickWork(NowMs() - start - YieldedMs);
    }
    PresentScreen();
    if (RunStarted != started) {
      started = RunStarted;
      JsRunStarted(started ? 1 : 0);
    }
    YieldToBrowser(TickInterval);
  }
}

bool ModalDialogOpen() {
  return WebDialogOpen();
}

// ---- key queue -------------------------------------------------------------------------

void WakeForKey() {
  TickInterval = 1;
}

void RestUntilKey() {
  TickInterval = 20;
}

// ---- text screen and picture files ----------------------------------------------------------

bool ShowBitmapFile(const std::string& /*fileName*/, int /*x*/, int /*y*/, int& /*width*/,
                    int& /*height*/) {
  // The program shows no picture files; the browser console reads none.
  return false;
}

TFileResult SavePicture(const std::string& fileName, int x1, int y1, int x2, int y2) {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;
  if (!CopyScreen(x1, y1, x2, y2, width, height, pixels))
    return PictureFailure(fileName, "der Bildausschnitt ist leer");
  std::string encoded;
  if (NamesPng(fileName)) {
    int length = 0;
    uint8_t* png = JsPngBytes(pixels.data(), width, height, &length);
    if (png == nullptr) return PictureFailure(fileName, "das Bild lässt sich nicht umwandeln");
    encoded.assign(reinterpret_cast<const char*>(png), static_cast<size_t>(length));
    std::free(png);
  } else {
    encoded = BmpBytes(width, height, pixels);
  }
  TFileResult written = WriteFileAtomically(fileName, encoded);
  if (!written.Ok) written.Message = PictureFailure(fileName, written.Reason).Message;
  return written;
}

// ---- files for the user ------------------------------------------------------------------------
std::string PictureFileExtension() {
  return "png";
}

void HandFileToUser(const std::string& fileName) {
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes).Ok) return;
  const size_t separator = fileName.find_last_of("/\\");
  const std::string shown =
      separator == std::string::npos ? fileName : fileName.substr(separator + 1);
  JsDownload(shown.c_str(), bytes.data(), static_cast<int>(bytes.size()));
}

// ---- notices ------------------------------------------------------------------------------------
void ShowNotice(const std::string& text, int colour, int milliseconds) {
  Notice.Text = text;
  Notice.Shown = NowMs();
  Notice.Milliseconds = std::max(milliseconds, 0);
  if (WindowMade) JsShowNotice(text.c_str(), ColourOf(colour), milliseconds);
}

std::string CurrentNotice() {
  if (Notice.Text.empty() || NowMs() - Notice.Shown >= Notice.Milliseconds) return "";
  return Notice.Text;
}

// ---- waiting and ending ----------------------------------------------------------------------
void WaitForEnter() {
  if (!WindowMade) return;
  const bool hookWasEnabled = TimerHookEnabled;
  TimerHookEnabled = false;
  PresentScreen();
  for (;;) {
    PumpPageEvents();
    while (KeyPressed())
      if (ReadKey() == 23) {
        TimerHookEnabled = hookWasEnabled;
        return;
      }
    YieldToBrowser(10);
  }
}

void EndProgram(int status) {
  static bool ending = false;
  if (!ending) {
    ending = true;
    for (auto routine = ExitRoutines.rbegin(); routine != ExitRoutines.rend(); ++routine)
      (*routine)();
  }
  std::fflush(stdout);
  std::fflush(stderr);
  if (EndProgramHandler != nullptr) EndProgramHandler(status);
  // A page cannot end itself: it says that the program ended and offers a
  // new start; the routine that ended it never goes on.
  PresentScreen();
  JsProgramEnded();
  for (;;) emscripten_sleep(1000000);
}

void SetEndProgramHandler(void (*handler)(int status)) {
  EndProgramHandler = handler;
}

void AddExitRoutine(void (*routine)()) {
  if (routine != nullptr) ExitRoutines.push_back(routine);
}

bool HaveMainWindow() {
  return WindowMade;
}

bool DisplayAvailable() {
  return true; // the page is the display
}
