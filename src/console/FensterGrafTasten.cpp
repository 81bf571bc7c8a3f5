// FensterGraf, the part both front ends share: the program's slots and
// flags, its file names, the console's start and text screen, and the key
// queue. Plain C++ on the console's interface; a front end takes part in
// the queue's waits through WakeForKey and RestUntilKey.
#include <string>
#include <vector>

#include "Dateien.h"
#include "FensterGraf.h"
#include "KernGraf.h"

// ---- module state ------------------------------------------------------------------
std::string ProgramName;
std::string HelpTextFileName;
std::string PictureFileName;
void (*MainRoutineSlot)() = NoOperation;
void (*KeyHandlerSlot)() = NoOperation;
bool TimerHookEnabled = true;
bool RunStarted = false;
bool TextScreenShown = false;

namespace {

std::string KeyQueue; // oldest code first
constexpr size_t KeyQueueCapacity = 255;

// Position of the last folder separator; Windows paths use '\\'.
size_t LastSeparator(const std::string& path) {
  return path.find_last_of("/\\");
}

// Position of the extension's point in the file name part, or npos.
size_t ExtensionPoint(const std::string& path) {
  const size_t separator = LastSeparator(path);
  const size_t nameStart = separator == std::string::npos ? 0 : separator + 1;
  const size_t point = path.find_last_of('.');
  if (point == std::string::npos || point <= nameStart) return std::string::npos;
  return point;
}

std::string BareProgramName(const std::string& path) {
  const size_t point = ExtensionPoint(path);
  const std::string withoutExtension = point == std::string::npos ? path : path.substr(0, point);
  const size_t separator = LastSeparator(withoutExtension);
  return separator == std::string::npos ? withoutExtension : withoutExtension.substr(separator + 1);
}

// The program path with another extension; a program file without one (as
// on Linux) gets it added.
std::string WithExtension(const std::string& path, const std::string& extension) {
  const size_t point = ExtensionPoint(path);
  return (point == std::string::npos ? path : path.substr(0, point)) + "." + extension;
}

} // namespace

void NoOperation() {}

void StartFensterGraf(const std::string& programPath) {
  // KernGraf's part.
  StartKernGraf();
  ProgramName = BareProgramName(programPath);
  // FensterGraf's part.
  TimerHookEnabled = true;
  MainRoutineSlot = NoOperation;
  KeyHandlerSlot = NoOperation;
  KeyQueue.clear();
  HelpTextFileName = WithExtension(programPath, "txt");
  PictureFileName = WithExtension(programPath, "bmp");
  RunStarted = false;
  TextScreenShown = false;
}

// ---- the start and the text screen ---------------------------------------------------------
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

void ShowTextFile(const std::string& fileName, int fontSize) {
  std::vector<std::string> lines;
  if (!ReadTextLines(fileName, lines).Ok) return;
  SetFillStyle(255, White, White);
  // The whole client area, the last column and row included.
  FillBar(0, 0, MaxX() + 1, MaxY() + 1);
  const std::string oldName = CurrentFontName();
  const int oldSize = CurrentFontSize();
  SetFont("Courier", oldSize, CurrentFontBold() ? 1 : 0);
  SetTextJustify(0, 0);
  SetFontSize(fontSize);
  // The cursor is not reset: this line moves it one down from where it stood.
  WriteLine("");
  for (const std::string& line : lines) WriteLine(Cp1252ToUtf8(line));
  SetFont(oldName, oldSize, CurrentFontBold() ? 1 : 0);
  TextScreenShown = true;
}

// ---- key queue -------------------------------------------------------------------------
int ReadKey() {
  if (KeyQueue.empty()) return 0;
  const int code = static_cast<unsigned char>(KeyQueue.front());
  KeyQueue.erase(0, 1);
  return code;
}

bool KeyPressed() {
  return !KeyQueue.empty();
}

void PutKey(int code) {
  // 0 would read back as "no key"; codes are one byte.
  if (code < 1 || code > 255) return;
  if (KeyQueue.size() < KeyQueueCapacity) KeyQueue.push_back(static_cast<char>(code));
  WakeForKey();
}

void WaitingForKey() {
  if (KeyQueue.empty()) RestUntilKey();
}

void ClearKeyQueue() {
  KeyQueue.clear();
}
